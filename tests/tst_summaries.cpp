#include "datetext.h"
#include "summaries.h"

#include <QTest>

Q_DECLARE_METATYPE(SummaryPeriod)

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

// 2026/03/01 is a Sunday.
DiaryTable march()
{
    return DiaryTable({
        day(QDate(2026, 3, 7), 71, 25, 0, 1),  // Saturday: the week of 03/01
        day(QDate(2026, 3, 1), 72, 26, 2, 1),  // Sunday
        day(QDate(2026, 3, 8), 70, 0, 1, 2),   // Sunday: a new week
        day(QDate(2026, 3, 10), 0, 24, 1, 0),  // body fat only
        day(QDate(2026, 3, 31), 69, 23, 2, 2), // Tuesday
        day(QDate(2026, 4, 4), 68.5, 0, 0, 0), // Saturday, April
        day(QDate(2026, 5, 20), 67, 22, 1, 1),
    });
}

} // namespace

class SummariesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void periodStart_data()
    {
        QTest::addColumn<QDate>("date");
        QTest::addColumn<SummaryPeriod>("period");
        QTest::addColumn<QDate>("start");
        QTest::newRow("Sunday") << QDate(2026, 3, 1) << SummaryPeriod::Week << QDate(2026, 3, 1);
        QTest::newRow("Saturday") << QDate(2026, 3, 7) << SummaryPeriod::Week << QDate(2026, 3, 1);
        QTest::newRow("Monday over a year's end") << QDate(2027, 1, 1) << SummaryPeriod::Week << QDate(2026, 12, 27);
        QTest::newRow("month") << QDate(2026, 2, 28) << SummaryPeriod::Month << QDate(2026, 2, 1);
    }
    void periodStart()
    {
        QFETCH(QDate, date);
        QFETCH(SummaryPeriod, period);
        QFETCH(QDate, start);
        QCOMPARE(::periodStart(date, period), start);
    }

    void summarise_data()
    {
        QTest::addColumn<SummaryPeriod>("period");
        QTest::addColumn<QDate>("start");
        QTest::addColumn<QDate>("end");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("weeks from Sunday")
            << SummaryPeriod::Week << QDate(2026, 3, 3) << QDate(2026, 4, 4)
            << QStringList{
                   "2026/03/01-2026/03/07 2 w71.50/71.00/72.00 - f25.50/25.00/26.00 - i101 b020",
                   "2026/03/08-2026/03/14 2 w70.00/70.00/70.00 -1.50 f24.00/24.00/24.00 -1.50 i020 b101",
                   "2026/03/15-2026/03/21 0 w- - f- - i000 b000",
                   "2026/03/22-2026/03/28 0 w- - f- - i000 b000",
                   "2026/03/29-2026/04/04 2 w68.75/68.50/69.00 - f23.00/23.00/23.00 - i101 b101",
               };
        QTest::newRow("months, one without days")
            << SummaryPeriod::Month << QDate(2026, 3, 15) << QDate(2026, 6, 1)
            << QStringList{
                   "2026/03/01-2026/03/31 5 w70.50/69.00/72.00 - f24.50/23.00/26.00 - i122 b122",
                   "2026/04/01-2026/04/30 1 w68.50/68.50/68.50 -2.00 f- - i100 b100",
                   "2026/05/01-2026/05/31 1 w67.00/67.00/67.00 -1.50 f22.00/22.00/22.00 - i010 b010",
                   "2026/06/01-2026/06/30 0 w- - f- - i000 b000",
               };
        QTest::newRow("before the first day") << SummaryPeriod::Month << QDate(2025, 12, 1) << QDate(2026, 1, 31)
                                              << QStringList{"2025/12/01-2025/12/31 0 w- - f- - i000 b000",
                                                             "2026/01/01-2026/01/31 0 w- - f- - i000 b000"};
        QTest::newRow("end before start")
            << SummaryPeriod::Week << QDate(2026, 3, 8) << QDate(2026, 3, 1) << QStringList{};
    }
    void summarise()
    {
        QFETCH(SummaryPeriod, period);
        QFETCH(QDate, start);
        QFETCH(QDate, end);
        QFETCH(QStringList, lines);
        QStringList got;
        for (const PeriodSummary &s : ::summarise(march(), period, start, end))
            got << line(s);
        QCOMPARE(got, lines);
    }
};

QTEST_GUILESS_MAIN(SummariesTest)
#include "tst_summaries.moc"
