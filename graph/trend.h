#pragma once

#include "series.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

// The trend through the daily weighings: an exponentially weighted moving
// average that moves 10 % of the way to each day's value. A gap of n days
// moves it as n days of the new value would (1 - 0.9^n of the way), so a
// week without weighing counts as a week, not as one row.

struct DayValue
{
    double day = 0; // OLE day number, whole days
    double value = 0;
    bool operator==(const DayValue &) const = default;
};

inline constexpr double TrendSmoothing = 0.1;

// The trend on each recorded day, in date order, whatever order the days
// come in. Of two values for one day the later in the list counts.
std::vector<DayValue> trendLine(std::vector<DayValue> days);

// The trend on a day: the trend of the last recorded day on or before it;
// nullopt before the first.
std::optional<double> trendOn(const std::vector<DayValue> &trend, double day);

inline constexpr int RateWindowDays = 28;
inline constexpr int ForecastMinimumDays = 14;

// How fast the trend moves over the 28 days that end on today: from the trend
// just before those days (or their first recorded day) to the last recorded
// one, per week. nullopt with fewer than two trend values to compare.
std::optional<double> weeklyRate(const std::vector<DayValue> &trend, double today);

// The recorded days among the 28 that end on today.
int recordedDaysInRateWindow(const std::vector<DayValue> &trend, double today);

// When the trend reaches the goal at its present rate.
struct Forecast
{
    enum Kind {
        NoGoal,     // no goal, or no trend yet
        TooFewDays, // fewer than 14 of the last 28 days recorded
        Reached,    // the trend is at or past the goal
        Flat,       // the trend hardly moves: no day can be named
        Away,       // the trend moves away from the goal
        Towards,    // the goal is reached on date
    } kind = NoGoal;
    QDate date;
    bool operator==(const Forecast &) const = default;
};

// start is the value the diet began at (0 when unknown): it says which side
// of the goal the diet comes from; without it the trend's side counts.
Forecast forecastGoal(const std::vector<DayValue> &trend, double today, double goal, double start);

// The forecast in words: "目標到達予想 2027/03/14" and the like.
QString forecastText(const Forecast &forecast);
// A rate in words, e.g. "-0.45 kg/週"; unit is "kg" or "%".
QString rateText(std::optional<double> perWeek, const QString &unit);

// The days and values of a weight or body-fat series, as the trend takes them.
std::vector<DayValue> dayValues(const Series &series);

// The trend of every recorded weight, or body fat, of the diary.
std::vector<DayValue> weightTrend(const DiaryTable &diary);
std::vector<DayValue> fatTrend(const DiaryTable &diary);

// The trend's figures in words for one measure, e.g. "体重　トレンド 68.3 kg
// (-0.45 kg/週)" and, on a second line, the forecast for its goal.
// goal and start as for forecastGoal.
QString trendFigures(const std::vector<DayValue> &trend, double today, double goal, double start, const QString &name,
                     const QString &unit);
