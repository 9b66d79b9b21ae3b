#include "summaries.h"

#include "datetext.h"

#include <algorithm>

namespace {

struct Accumulator
{
    int count = 0;
    double sum = 0;
    double lowest = 0;
    double highest = 0;

    void add(double v)
    {
        lowest = count == 0 ? v : std::min(lowest, v);
        highest = count == 0 ? v : std::max(highest, v);
        sum += v;
        ++count;
    }
    std::optional<ValueStats> stats() const
    {
        if (count == 0)
            return std::nullopt;
        return ValueStats{sum / count, lowest, highest};
    }
};

void addMeasurement(Accumulator &into, const CellValue &cell)
{
    const std::optional<double> value = cell.isEmpty() ? std::nullopt : cell.toReal();
    if (value && *value > 0)
        into.add(*value);
}

int monthIndex(QDate date)
{
    return date.year() * 12 + date.month() - 1;
}

// Which period, counted from the one holding first, a date falls in.
int periodIndex(QDate first, QDate date, SummaryPeriod period)
{
    if (period == SummaryPeriod::Week)
        return int(first.daysTo(periodStart(date, period)) / 7);
    return monthIndex(date) - monthIndex(first);
}

QDate periodEnd(QDate first, SummaryPeriod period)
{
    return period == SummaryPeriod::Week ? first.addDays(6) : first.addMonths(1).addDays(-1);
}

std::optional<double> change(const std::optional<ValueStats> &now, const std::optional<ValueStats> &before)
{
    if (!now || !before)
        return std::nullopt;
    return now->average - before->average;
}

} // namespace

QDate periodStart(QDate date, SummaryPeriod period)
{
    if (period == SummaryPeriod::Week)
        return date.addDays(-(date.dayOfWeek() % 7));
    return QDate(date.year(), date.month(), 1);
}

std::vector<PeriodSummary> summarise(const DiaryTable &diary, SummaryPeriod period, QDate start, QDate end)
{
    if (!start.isValid() || !end.isValid() || end < start)
        return {};
    const QDate first = periodStart(start, period);
    const auto count = std::size_t(periodIndex(first, end, period) + 1);
    std::vector<PeriodSummary> out(count);
    std::vector<Accumulator> weights(count);
    std::vector<Accumulator> fats(count);
    for (std::size_t i = 0; i < count; ++i) {
        out[i].first = period == SummaryPeriod::Week ? first.addDays(7 * qint64(i)) : first.addMonths(int(i));
        out[i].last = periodEnd(out[i].first, period);
    }
    for (int r = 1; r <= diary.rowCount(); ++r) {
        const std::optional<double> day = diary.cell(r, DiaryColumn::Date).toDayNumber();
        if (!day)
            continue;
        const QDate date = dateFromOleDayNumber(*day);
        if (date < first || date > out.back().last)
            continue;
        const auto i = std::size_t(periodIndex(first, date, period));
        ++out[i].daysRecorded;
        addMeasurement(weights[i], diary.cell(r, DiaryColumn::Weight));
        addMeasurement(fats[i], diary.cell(r, DiaryColumn::Fat));
        out[i].intake.add(diary.cell(r, DiaryColumn::IntakeLevel).toText());
        out[i].burn.add(diary.cell(r, DiaryColumn::BurnLevel).toText());
    }
    for (std::size_t i = 0; i < count; ++i) {
        out[i].weight = weights[i].stats();
        out[i].fat = fats[i].stats();
        if (i > 0) {
            out[i].weightChange = change(out[i].weight, out[i - 1].weight);
            out[i].fatChange = change(out[i].fat, out[i - 1].fat);
        }
    }
    return out;
}
