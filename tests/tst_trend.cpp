#include "datetext.h"
#include "series.h"
#include "trend.h"

#include <QTest>

using Days = std::vector<DayValue>;
Q_DECLARE_METATYPE(Days)
Q_DECLARE_METATYPE(Forecast::Kind)

namespace {

DiaryRow weighing(QDate date, double weight)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight);
    return row;
}

// A trend falling 0.125 a day (0.875 a week) from 80 over 28 days ending on
// 2027/02/28, every value exact in binary.
Days fallingTrend(int everyNthDay = 1)
{
    const double first = oleDayNumber(QDate(2027, 2, 1));
    Days trend;
    for (int d = 27; d >= 0; d -= everyNthDay)
        trend.insert(trend.begin(), {first + d, 80 - 0.125 * d});
    return trend;
}

Days flatTrend()
{
    Days trend = fallingTrend();
    for (DayValue &d : trend)
        d.value = 70;
    return trend;
}

double lastDay()
{
    return oleDayNumber(QDate(2027, 2, 28));
}

} // namespace

class TrendTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void trendLine_data()
    {
        QTest::addColumn<Days>("days");
        QTest::addColumn<Days>("expected");
        QTest::newRow("none") << Days{} << Days{};
        QTest::newRow("one day") << Days{{100, 70}} << Days{{100, 70}};
        // 70 + 0.1 * (71 - 70) = 70.1; 70.1 + 0.1 * (69 - 70.1) = 69.99
        QTest::newRow("day after day") << Days{{0, 70}, {1, 71}, {2, 69}} << Days{{0, 70}, {1, 70.1}, {2, 69.99}};
        // three days apart: 1 - 0.9^3 = 0.271 of the way from 70 to 80
        QTest::newRow("gap of three days") << Days{{0, 70}, {3, 80}} << Days{{0, 70}, {3, 72.71}};
        QTest::newRow("gap, then the next day")
            << Days{{0, 70}, {3, 80}, {4, 70}} << Days{{0, 70}, {3, 72.71}, {4, 72.71 - 0.271}};
        QTest::newRow("rows in any order") << Days{{3, 80}, {0, 70}} << Days{{0, 70}, {3, 72.71}};
        QTest::newRow("the later of one day's values") << Days{{0, 70}, {0, 72}, {1, 72}} << Days{{0, 72}, {1, 72}};
    }
    void trendLine()
    {
        QFETCH(Days, days);
        QFETCH(Days, expected);
        const Days trend = ::trendLine(days);
        QCOMPARE(trend.size(), expected.size());
        for (std::size_t i = 0; i < trend.size(); ++i) {
            QCOMPARE(trend[i].day, expected[i].day);
            QVERIFY2(qAbs(trend[i].value - expected[i].value) < 1e-9, qPrintable(QString::number(trend[i].value)));
        }
    }

    void trendOfShuffledSheet()
    {
        // The sheet's rows out of date order give the trend of the sorted days.
        const QDate d0(2026, 5, 1);
        const DiaryTable diary({weighing(d0.addDays(3), 80), weighing(d0, 70), weighing(d0.addDays(4), 70)});
        const Days trend = ::trendLine(dayValues(GetContrastData_W(diary, 0, 1e6)));
        QCOMPARE(trend.size(), 3u);
        QCOMPARE(trend.front().day, oleDayNumber(d0));
        QVERIFY(qAbs(trend[1].value - 72.71) < 1e-9);
        QVERIFY(qAbs(trend[2].value - 72.439) < 1e-9);
        QCOMPARE(trendOn(trend, oleDayNumber(d0.addDays(2))), std::optional<double>(70));
        QCOMPARE(trendOn(trend, oleDayNumber(d0.addDays(-1))), std::nullopt);
    }

    void weeklyRate_data()
    {
        QTest::addColumn<Days>("trend");
        QTest::addColumn<double>("today");
        QTest::addColumn<double>("expected"); // -99: no rate
        const Days sparse{{0, 80}, {10, 79}, {20, 78}, {30, 77}};
        // from day 0 (the last before the window 3..30) to day 30
        QTest::newRow("from the day before the window") << sparse << 30.0 << -0.7;
        QTest::newRow("window 13..40") << sparse << 40.0 << -0.7;
        QTest::newRow("nothing in the window") << sparse << 100.0 << -99.0;
        QTest::newRow("one day") << Days{{5, 70}} << 5.0 << -99.0;
        QTest::newRow("only inside the window") << Days{{10, 70}, {17, 69}} << 20.0 << -1.0;
        QTest::newRow("rising") << Days{{0, 60}, {14, 61}} << 14.0 << 0.5;
    }
    void weeklyRate()
    {
        QFETCH(Days, trend);
        QFETCH(double, today);
        QFETCH(double, expected);
        const std::optional<double> rate = ::weeklyRate(trend, today);
        if (expected == -99.0) {
            QCOMPARE(rate, std::nullopt);
            return;
        }
        QVERIFY(rate);
        QVERIFY2(qAbs(*rate - expected) < 1e-9, qPrintable(QString::number(*rate)));
    }

    void forecast_data()
    {
        QTest::addColumn<Days>("trend");
        QTest::addColumn<double>("goal");
        QTest::addColumn<double>("start");
        QTest::addColumn<Forecast::Kind>("kind");
        QTest::addColumn<QString>("text");
        // 76.625 on 2027/02/28, falling 0.125 a day: 75 is 13 days on.
        QTest::newRow("towards") << fallingTrend() << 75.0 << 82.0 << Forecast::Towards << "目標到達予想 2027/03/13";
        QTest::newRow("towards, no start")
            << fallingTrend() << 75.0 << 0.0 << Forecast::Towards << "目標到達予想 2027/03/13";
        QTest::newRow("away: gaining diet, falling trend")
            << fallingTrend() << 78.0 << 76.0 << Forecast::Away << "目標から離れる向きに進んでいます";
        QTest::newRow("flat") << flatTrend() << 65.0 << 72.0 << Forecast::Flat << "ほぼ横ばいのため予想できません";
        QTest::newRow("goal passed") << fallingTrend() << 77.0 << 82.0 << Forecast::Reached << "目標に到達しています";
        QTest::newRow("goal passed, too few days")
            << fallingTrend(3) << 77.0 << 82.0 << Forecast::Reached << "目標に到達しています";
        QTest::newRow("10 of 28 days") << fallingTrend(3) << 75.0 << 82.0 << Forecast::TooFewDays
                                       << "記録が足りないため予想できません（直近28日で14日以上必要です）";
        QTest::newRow("14 of 28 days") << fallingTrend(2) << 75.0 << 82.0 << Forecast::Towards
                                       << "目標到達予想 2027/03/13";
        QTest::newRow("no goal") << fallingTrend() << 0.0 << 82.0 << Forecast::NoGoal << "目標が未設定です";
        QTest::newRow("no days") << Days{} << 75.0 << 82.0 << Forecast::NoGoal << "目標が未設定です";
    }
    void forecast()
    {
        QFETCH(Days, trend);
        QFETCH(double, goal);
        QFETCH(double, start);
        QFETCH(Forecast::Kind, kind);
        QFETCH(QString, text);
        const Forecast f = forecastGoal(trend, lastDay(), goal, start);
        QCOMPARE(f.kind, kind);
        QCOMPARE(forecastText(f), text);
    }

    void rateText()
    {
        QCOMPARE(::rateText(-0.4567, "kg"), QString("-0.46 kg/週"));
        QCOMPARE(::rateText(0.5, "%"), QString("+0.50 %/週"));
        QCOMPARE(::rateText(0.0, "kg"), QString("0.00 kg/週"));
        QCOMPARE(::rateText(std::nullopt, "kg"), QStringLiteral("－"));
    }
};

QTEST_GUILESS_MAIN(TrendTest)
#include "tst_trend.moc"
