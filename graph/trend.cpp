#include "trend.h"

#include "datetext.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Below this many units a week the trend is called flat; a goal further than
// this many days away is no forecast either.
constexpr double FlatPerWeek = 0.01;
constexpr double FurthestForecastDays = 3650;

// The last of each day's values, in date order.
std::vector<DayValue> onePerDay(std::vector<DayValue> days)
{
    std::stable_sort(days.begin(), days.end(), [](const DayValue &a, const DayValue &b) { return a.day < b.day; });
    std::vector<DayValue> out;
    for (const DayValue &d : days) {
        if (!out.empty() && out.back().day == d.day)
            out.back() = d;
        else
            out.push_back(d);
    }
    return out;
}

// The first trend value on or after a day, as an index; trend.size() when none.
std::size_t firstOnOrAfter(const std::vector<DayValue> &trend, double day)
{
    return std::size_t(
        std::lower_bound(trend.begin(), trend.end(), day, [](const DayValue &d, double x) { return d.day < x; })
        - trend.begin());
}

} // namespace

std::vector<DayValue> trendLine(std::vector<DayValue> days)
{
    std::vector<DayValue> trend = onePerDay(std::move(days));
    for (std::size_t i = 1; i < trend.size(); ++i) {
        const double gap = trend[i].day - trend[i - 1].day;
        const double moved = 1.0 - std::pow(1.0 - TrendSmoothing, gap);
        trend[i].value = trend[i - 1].value + moved * (trend[i].value - trend[i - 1].value);
    }
    return trend;
}

std::optional<double> trendOn(const std::vector<DayValue> &trend, double day)
{
    const std::size_t after = firstOnOrAfter(trend, day + 1);
    if (after == 0)
        return std::nullopt;
    return trend[after - 1].value;
}

int recordedDaysInRateWindow(const std::vector<DayValue> &trend, double today)
{
    return int(firstOnOrAfter(trend, today + 1) - firstOnOrAfter(trend, today - RateWindowDays + 1));
}

std::optional<double> weeklyRate(const std::vector<DayValue> &trend, double today)
{
    const std::size_t first = firstOnOrAfter(trend, today - RateWindowDays + 1);
    const std::size_t end = firstOnOrAfter(trend, today + 1);
    if (first == end)
        return std::nullopt;
    const std::size_t from = first > 0 ? first - 1 : first;
    const std::size_t to = end - 1;
    if (from == to)
        return std::nullopt;
    return (trend[to].value - trend[from].value) / (trend[to].day - trend[from].day) * 7.0;
}

Forecast forecastGoal(const std::vector<DayValue> &trend, double today, double goal, double start)
{
    if (goal <= 0 || trend.empty() || !trendOn(trend, today))
        return {};
    const DayValue latest = trend[firstOnOrAfter(trend, today + 1) - 1];
    const double comingFrom = start > 0 && start != goal ? start : latest.value;
    const double towardsGoal = goal < comingFrom ? -1.0 : 1.0;
    if ((goal - latest.value) * towardsGoal <= 0)
        return {Forecast::Reached, {}};
    const std::optional<double> rate = weeklyRate(trend, today);
    if (recordedDaysInRateWindow(trend, today) < ForecastMinimumDays || !rate)
        return {Forecast::TooFewDays, {}};
    if (std::abs(*rate) < FlatPerWeek)
        return {Forecast::Flat, {}};
    if (*rate * towardsGoal < 0)
        return {Forecast::Away, {}};
    const double days = std::ceil((goal - latest.value) / (*rate / 7.0));
    if (days > FurthestForecastDays)
        return {Forecast::Flat, {}};
    return {Forecast::Towards, dateFromOleDayNumber(latest.day + days)};
}

QString forecastText(const Forecast &forecast)
{
    switch (forecast.kind) {
    case Forecast::NoGoal: return QStringLiteral("目標が未設定です");
    case Forecast::TooFewDays: return QStringLiteral("記録が足りないため予想できません（直近28日で14日以上必要です）");
    case Forecast::Reached: return QStringLiteral("目標に到達しています");
    case Forecast::Flat: return QStringLiteral("ほぼ横ばいのため予想できません");
    case Forecast::Away: return QStringLiteral("目標から離れる向きに進んでいます");
    case Forecast::Towards: break;
    }
    return QStringLiteral("目標到達予想 ") + dateText(forecast.date);
}

QString rateText(std::optional<double> perWeek, const QString &unit)
{
    if (!perWeek)
        return QStringLiteral("－");
    return QStringLiteral("%1%2 %3/週")
        .arg(*perWeek > 0 ? QStringLiteral("+") : QString())
        .arg(*perWeek, 0, 'f', 2)
        .arg(unit);
}

std::vector<DayValue> dayValues(const Series &series)
{
    std::vector<DayValue> days;
    days.reserve(series.dayNumbers.size());
    for (std::size_t i = 0; i < series.dayNumbers.size(); ++i)
        days.push_back({series.dayNumbers[i], series.numbers[i]});
    return days;
}

QString trendFigures(const std::vector<DayValue> &trend, double today, double goal, double start, const QString &name,
                     const QString &unit)
{
    const std::optional<double> now = trendOn(trend, today);
    if (!now)
        return QStringLiteral("%1　記録がありません").arg(name);
    return QStringLiteral("%1　トレンド %2 %3（%4）\n　%5")
        .arg(name, QString::number(*now, 'f', 1), unit, rateText(weeklyRate(trend, today), unit),
             forecastText(forecastGoal(trend, today, goal, start)));
}

namespace {

constexpr double EveryDay = std::numeric_limits<double>::max();

} // namespace

std::vector<DayValue> weightTrend(const DiaryTable &diary)
{
    return trendLine(dayValues(GetContrastData_W(diary, -EveryDay, EveryDay)));
}

std::vector<DayValue> fatTrend(const DiaryTable &diary)
{
    return trendLine(dayValues(GetContrastData_F(diary, -EveryDay, EveryDay)));
}
