#pragma once

#include "graphwindow.h"
#include "trend.h"

#include <QColor>
#include <QImage>
#include <optional>
#include <vector>

// The trend tab's additions to the graph: the trend lines and the goals.

// What the trend tab adds to a redraw; nothing when all is off.
struct TrendOverlay
{
    bool trend = false;
    bool goalLines = false;
    std::optional<double> goalWeight; // nullopt: no goal set
    std::optional<double> goalFat;
};

// A lighter shade of a line's colour: halfway to white.
QColor lighterShade(const QColor &colour);

// A thin line through the trend of the days that lie in the window.
void drawTrendLine(QImage &picture, const std::vector<DayValue> &trend, const GraphWindow &window,
                   const ValueRange &range, const QColor &colour);

// A dashed line across the picture at the goal, when the goal lies within the range.
void drawGoalLine(QImage &picture, double goal, const ValueRange &range, const QColor &colour);

// A goal as typed in the setup dialog: a number above 0, or none.
std::optional<double> goalValue(const QString &typed);

// The graph's window moved to end on today, keeping its length in days.
struct DateSpan
{
    QDate start;
    QDate end;
    bool operator==(const DateSpan &) const = default;
};
DateSpan endingToday(DateSpan window, QDate today);
