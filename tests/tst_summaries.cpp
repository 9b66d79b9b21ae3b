#include "datetext.h"
#include "summaries.h"

#include <QTest>

namespace {

DiaryRow day(QDate date, double weight, double fat, int intake, int burn)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    if (weight > 0)
        row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight);
    if (fat > 0)
        row[columnIndex(DiaryColumn::Fat)] = CellValue::number(fat);
    row[columnIndex(DiaryColumn::IntakeLevel)] = CellValue::number(intake);
    row[columnIndex(DiaryColumn::BurnLevel)] = CellValue::number(burn);
    return row;
}

// One line per period: first, last, days, weight avg/min/max, change,
// fat avg, intake and burn counts (little/standard/much).
QString line(const PeriodSummary &s)
{
    auto number = [](const std::optional<double> &v) { return v ? QString::number(*v, 'f', 2) : QStringLiteral("-"); };
    auto stats = [&](const std::optional<ValueStats> &v) {
        return v ? QStringLiteral("%1/%2/%3").arg(number(v->average), number(v->lowest), number(v->highest))
                 : QStringLiteral("-");
    };
    auto counts = [](const LevelCounts &c) {
        return QStringLiteral("%1%2%3").arg(c.little).arg(c.standard).arg(c.many);
    };
    return QStringLiteral("%1-%2 %3 w%4 %5 f%6 %7 i%8 b%9")
        .arg(dateText(s.first), dateText(s.last))
        .arg(s.daysRecorded)
        .arg(stats(s.weight), number(s.weightChange), stats(s.fat), number(s.fatChange), counts(s.intake),
             counts(s.burn));
}

// 2026/03/01 is a Sunday, the 7th a Saturday of the same week, the 8th starts
// a new one; on the 10th only body fat; 2026/04/04 a Saturday in April.
DiaryTable march()
{
    return DiaryTable({day(QDate(2026, 3, 7), 71, 25, 0, 1), day(QDate(2026, 3, 1), 72, 26, 2, 1),
                       day(QDate(2026, 3, 8), 70, 0, 1, 2), day(QDate(2026, 3, 10), 0, 24, 1, 0),
                       day(QDate(2026, 3, 31), 69, 23, 2, 2), day(QDate(2026, 4, 4), 68.5, 0, 0, 0),
                       day(QDate(2026, 5, 20), 67, 22, 1, 1)});
}

} // namespace

class SummariesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periodStart()
    {
        const auto week = SummaryPeriod::Week;
        const std::tuple<QDate, SummaryPeriod, QDate> starts[] = {{{2026, 3, 1}, week, {2026, 3, 1}},
                                                                  {{2026, 3, 7}, week, {2026, 3, 1}},
                                                                  {{2027, 1, 1}, week, {2026, 12, 27}},
                                                                  {{2026, 2, 28}, SummaryPeriod::Month, {2026, 2, 1}}};
        for (const auto &[date, period, start] : starts)
            QVERIFY2(::periodStart(date, period) == start, qPrintable(dateText(date)));
    }

    void summarise()
    {
        const QString empty = " 0 w- - f- - i000 b000";
        const std::tuple<const char *, SummaryPeriod, QDate, QDate, QStringList> periods[] = {
            {"weeks from Sunday",
             SummaryPeriod::Week,
             {2026, 3, 3},
             {2026, 4, 4},
             {"2026/03/01-2026/03/07 2 w71.50/71.00/72.00 - f25.50/25.00/26.00 - i101 b020",
              "2026/03/08-2026/03/14 2 w70.00/70.00/70.00 -1.50 f24.00/24.00/24.00 -1.50 i020 b101",
              "2026/03/15-2026/03/21" + empty, "2026/03/22-2026/03/28" + empty,
              "2026/03/29-2026/04/04 2 w68.75/68.50/69.00 - f23.00/23.00/23.00 - i101 b101"}},
            {"months, one without days",
             SummaryPeriod::Month,
             {2026, 3, 15},
             {2026, 6, 1},
             {"2026/03/01-2026/03/31 5 w70.50/69.00/72.00 - f24.50/23.00/26.00 - i122 b122",
              "2026/04/01-2026/04/30 1 w68.50/68.50/68.50 -2.00 f- - i100 b100",
              "2026/05/01-2026/05/31 1 w67.00/67.00/67.00 -1.50 f22.00/22.00/22.00 - i010 b010",
              "2026/06/01-2026/06/30" + empty}},
            {"before the first day",
             SummaryPeriod::Month,
             {2025, 12, 1},
             {2026, 1, 31},
             {"2025/12/01-2025/12/31" + empty, "2026/01/01-2026/01/31" + empty}},
            {"end before start", SummaryPeriod::Week, {2026, 3, 8}, {2026, 3, 1}, {}}};
        for (const auto &[row, period, start, end, lines] : periods) {
            QStringList got;
            for (const PeriodSummary &s : ::summarise(march(), period, start, end))
                got << line(s);
            QVERIFY2(got == lines, qPrintable(QString(row) + ":\n" + got.join('\n')));
        }
    }
};

QTEST_GUILESS_MAIN(SummariesTest)
#include "tst_summaries.moc"
