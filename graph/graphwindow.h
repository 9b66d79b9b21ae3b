#pragma once

#include <QDate>
#include <optional>

// The dates and value ranges the graph covers, and the one mapping from days
// and values to pixels that every part of the graph uses.

// The proportional position of part within total on a scale of size pixels:
// 0 when total is 0, otherwise part / total * size truncated toward zero,
// held within MaxPixel either way. A value far beyond the limits (a weight
// of 1e308 in the diary, say) lies that far outside the picture: only its
// direction shows, and the arithmetic of drawing it cannot overflow.
inline constexpr int MaxPixel = 1 << 20;
int GetPixel(double total, double part, double size);

// The graph pickers show only a date but carry a time of day, fixed when the
// window was made; the window rules follow from it: the start day's own rows
// lie outside the window, the end day's inside.
inline constexpr double StartTimeOfDay = 0.66457417824; // 15:56:59
inline constexpr double EndTimeOfDay = 0.66565179398;   // 15:58:32

inline constexpr int GraphWidth = 774;
inline constexpr int GraphHeight = 312;

struct ValueRange
{
    double lower = 0;
    double upper = 0;
    double range() const { return upper - lower; }
};

struct GraphWindow
{
    double start = 0; // OLE day numbers with the pickers' times of day
    double end = 0;
    std::optional<ValueRange> weight; // nullopt: no usable limits, the line is skipped
    std::optional<ValueRange> fat;
    int mode = 0; // 0 weight, 1 body fat, anything else both

    static GraphWindow fromDates(QDate startDay, QDate endDay);

    // Calendar days from the start day to the end day, both counted.
    int dayCount() const;
    bool contains(double dayNumber) const { return start <= dayNumber && dayNumber <= end; }
    // 1 for the day after the start day, dayCount() - 1 for the end day.
    int dayIndex(double dayNumber) const;
    int x(int dayIndex, int width = GraphWidth) const;
};

// y of a value within a range, the lower limit at height, the upper at 0.
int valueY(const ValueRange &range, double value, int height = GraphHeight);
