#include "axisartwork.h"
#include "datetext.h"
#include "plot.h"
#include "readout.h"

#include <QTest>

Q_DECLARE_METATYPE(DateSpan)

namespace {

DiaryRow weighing(QDate date, double weight, double fat)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight);
    row[columnIndex(DiaryColumn::Fat)] = CellValue::number(fat);
    row[columnIndex(DiaryColumn::IntakeLevel)] = CellValue::number(1);
    row[columnIndex(DiaryColumn::BurnLevel)] = CellValue::number(2);
    return row;
}

// January 2010, weighed each day, the weight swinging between 61 and 63,
// body fat between 21 and 23; and some days before the window.
DiaryTable swinging()
{
    std::vector<DiaryRow> rows;
    for (QDate d(2009, 12, 20); d <= QDate(2010, 1, 31); d = d.addDays(1))
        rows.push_back(weighing(d, d.day() % 2 ? 61 : 63, d.day() % 2 ? 23 : 21));
    return DiaryTable(rows);
}

GraphWindow january(int mode)
{
    GraphWindow w = GraphWindow::fromDates(QDate(2010, 1, 1), QDate(2010, 1, 31));
    w.weight = ValueRange{60, 70};
    w.fat = ValueRange{15, 25};
    w.mode = mode;
    return w;
}

GraphPicture render(const DiaryTable &diary, const GraphWindow &w, const TrendOverlay &overlay)
{
    return renderGraph({&diary, w, QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue}, overlay);
}

QList<int> columnsOf(const QImage &image, int y, const QColor &colour)
{
    QList<int> columns;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == colour)
            columns << x;
    return columns;
}

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += columnsOf(image, y, colour).size();
    return count;
}

} // namespace

class TrendPlotTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void allOffDrawsNothingNew_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("weight") << 0;
        QTest::newRow("body fat") << 1;
        QTest::newRow("both") << 2;
    }
    void allOffDrawsNothingNew()
    {
        QFETCH(int, mode);
        const DiaryTable diary = swinging();
        const GraphPicture plain =
            renderGraph({&diary, january(mode), QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue});
        const GraphPicture off = render(diary, january(mode), {false, false, 62.0, 20.0});
        QCOMPARE(off.picture, plain.picture);
        QCOMPARE(off.crossStrip, plain.crossStrip);
        QVERIFY(off.weightTrend.empty() && off.fatTrend.empty());
    }

    void trendLinesWhereTheMappingPutsThem_data() { allOffDrawsNothingNew_data(); }
    void trendLinesWhereTheMappingPutsThem()
    {
        QFETCH(int, mode);
        const GraphWindow w = january(mode);
        const GraphPicture picture = render(swinging(), w, {true, false, {}, {}});
        // The trend runs from the first recorded day, before the window.
        QCOMPARE(picture.weightTrend.front().day, oleDayNumber(QDate(2009, 12, 20)));
        const struct
        {
            bool shown;
            const std::vector<DayValue> &trend;
            ValueRange range;
            QColor colour;
        } measures[] = {{mode != 1, picture.weightTrend, *w.weight, QColor(255, 127, 127)},
                        {mode != 0, picture.fatTrend, *w.fat, QColor(127, 127, 255)}};
        for (const auto &m : measures) {
            if (!m.shown) {
                QCOMPARE(pixelsOf(picture.picture, m.colour), 0);
                continue;
            }
            int points = 0;
            for (const DayValue &d : m.trend) {
                if (!w.contains(d.day))
                    continue;
                const QPoint p(w.x(w.dayIndex(d.day)), valueY(m.range, d.value));
                QVERIFY2(picture.picture.pixelColor(p) == m.colour, qPrintable(dateText(dateFromOleDayNumber(d.day))));
                ++points;
            }
            QCOMPARE(points, 30); // 2 to 31 January; the 1st is the start day, outside
            // A thin line: in each day's column, only a few rows of it.
            const int x = w.x(w.dayIndex(oleDayNumber(QDate(2010, 1, 15))));
            int rows = 0;
            for (int y = 0; y < picture.picture.height(); ++y)
                rows += picture.picture.pixelColor(x, y) == m.colour;
            QVERIFY2(rows >= 1 && rows <= 3, qPrintable(QString::number(rows)));
        }
    }

    // A redraw takes the trend from the previous redraw of the same diary
    // (the marked value shows it was not worked out again), never from
    // another diary's, nor from a redraw without trend.
    void trendIsKeptUntilTheDiaryIsReplaced()
    {
        const DiaryTable diary = swinging();
        const TrendOverlay on{true, false, {}, {}};
        const auto redraw = [&](const DiaryTable &d, const TrendOverlay &overlay, const GraphPicture *previous) {
            return renderGraph({&d, january(2), QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue}, overlay,
                               previous);
        };
        GraphPicture first = redraw(diary, on, nullptr);
        first.weightTrend.back().value = 99;
        QCOMPARE(redraw(diary, on, &first).weightTrend.back().value, 99.0);
        const DiaryTable copy = diary; // the same days
        QCOMPARE(redraw(copy, on, &first).weightTrend.back().value, 99.0);
        DiaryTable moved = swinging();
        const DiaryTable replaced = std::move(moved);
        QCOMPARE(redraw(replaced, on, &first).weightTrend, weightTrend(replaced));
        const GraphPicture ofReplaced = redraw(replaced, on, nullptr);
        QVERIFY(redraw(moved, on, &ofReplaced).weightTrend.empty()); // what is left of a table moved away
        QCOMPARE(redraw(replaced, on, &first).fatTrend, fatTrend(replaced));
        const GraphPicture off = redraw(diary, {}, &first);
        QCOMPARE(redraw(diary, on, &off).weightTrend, weightTrend(diary));
    }

    void dashedGoalLines_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("goalWeight");
        QTest::addColumn<double>("goalFat");
        QTest::addColumn<int>("redRow"); // -1: no line
        QTest::addColumn<int>("blueRow");
        // 65 in 60..70 and 20 in 15..25: half way down the 312 rows
        QTest::newRow("weight") << 0 << 65.0 << 20.0 << 156 << -1;
        QTest::newRow("body fat") << 1 << 65.0 << 20.0 << -1 << 156;
        QTest::newRow("both, at their own heights") << 2 << 67.5 << 17.5 << 78 << 234;
        QTest::newRow("goal below the lower limit") << 0 << 55.0 << 20.0 << -1 << -1;
        QTest::newRow("no goal") << 2 << 0.0 << 0.0 << -1 << -1;
    }
    void dashedGoalLines()
    {
        QFETCH(int, mode);
        QFETCH(double, goalWeight);
        QFETCH(double, goalFat);
        QFETCH(int, redRow);
        QFETCH(int, blueRow);
        const DiaryTable diary({weighing(QDate(2010, 1, 10), 69.5, 15.5)}); // markers far from the goals
        TrendOverlay overlay{false, true, {}, {}};
        if (goalWeight > 0)
            overlay.goalWeight = goalWeight;
        if (goalFat > 0)
            overlay.goalFat = goalFat;
        const QImage picture = render(diary, january(mode), overlay).picture;
        for (const auto &[row, colour] : {std::pair{redRow, QColor(Qt::red)}, std::pair{blueRow, QColor(Qt::blue)}}) {
            if (row < 0) {
                QCOMPARE(pixelsOf(picture, colour), mode == 2 || (colour == Qt::red) == (mode == 0) ? 16 : 0);
                continue;
            }
            const int dashes = int(columnsOf(picture, row, colour).size());
            QVERIFY2(dashes > 774 / 3 && dashes < 774 * 4 / 5, qPrintable(QString::number(dashes)));
            QCOMPARE(columnsOf(picture, row - 1, colour), QList<int>());
            QCOMPARE(columnsOf(picture, row + 1, colour), QList<int>());
        }
    }

    void dayAtX_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<QDate>("day");
        // 31 days over 774 pixels: 15 January (day 14 after the start) at 349
        QTest::newRow("on the day") << 349 << QDate(2010, 1, 15);
        QTest::newRow("nearer the day") << 360 << QDate(2010, 1, 15);
        QTest::newRow("nearer the next") << 363 << QDate(2010, 1, 16);
        QTest::newRow("left edge: the first day drawn") << 0 << QDate(2010, 1, 2);
        QTest::newRow("right edge: the end day") << 773 << QDate(2010, 1, 31);
    }
    void dayAtX()
    {
        QFETCH(int, x);
        QFETCH(QDate, day);
        QCOMPARE(::dayAtX(january(0), x), std::optional<QDate>(day));
    }

    void readOutOfAKnownDay()
    {
        DiaryRow known = weighing(QDate(2010, 1, 15), 63, 21);
        known[columnIndex(DiaryColumn::IntakeLevel)] = CellValue::number(0);
        known[columnIndex(DiaryColumn::IntakeComment)] = CellValue::text("朝はパン\r\n昼は麺");
        known[columnIndex(DiaryColumn::BurnComment)] = CellValue::text("散歩30分");
        DiaryRow noFat = weighing(QDate(2010, 1, 16), 62, 0);
        noFat[columnIndex(DiaryColumn::Fat)] = CellValue();
        const DiaryTable diary({noFat, known, weighing(QDate(2010, 1, 14), 64, 22)});
        // trends: 64 + 0.1 * (63 - 64) = 63.9; 22 + 0.1 * (21 - 22) = 21.9
        QCOMPARE(readOutText(diary, QDate(2010, 1, 15)),
                 QString("2010/01/15\n体重 63 kg（トレンド 63.9 kg）\n体脂肪率 21 %（トレンド 21.9 %）\n"
                         "摂取カロリー 少ない　消費カロリー 多い\n摂取：朝はパン\n消費：散歩30分"));
        QCOMPARE(readOutText(diary, QDate(2010, 1, 16)),
                 QString("2010/01/16\n体重 62 kg（トレンド 63.7 kg）\n体脂肪率 －（トレンド 21.9 %）\n"
                         "摂取カロリー ふつう　消費カロリー 多い"));
        QCOMPARE(readOutText(diary, QDate(2010, 1, 17)), QString());
    }

    // The read-out quotes the trend the graph drew (the marked value shows it
    // was not worked out again), and works it out itself where the graph
    // keeps none of this diary: drawn with the trend off, or of another diary.
    void readOutQuotesTheDrawnTrend()
    {
        const DiaryTable diary = swinging();
        const QDate day(2010, 1, 15);
        const TrendOverlay on{true, false, {}, {}};
        GraphPicture drawn = render(diary, january(2), on);
        QVERIFY(readOutText(diary, day).contains(QStringLiteral("トレンド")));
        QCOMPARE(readOutText(diary, day, drawn), readOutText(diary, day));
        drawn.fatTrend = {{oleDayNumber(day), 30}};
        QVERIFY(readOutText(diary, day, drawn).contains(QStringLiteral("（トレンド 30.0 %）")));
        GraphPicture ofAnother = render(swinging(), january(2), on);
        ofAnother.fatTrend = drawn.fatTrend;
        QCOMPARE(readOutText(diary, day, ofAnother), readOutText(diary, day));
        QCOMPARE(readOutText(diary, day, render(diary, january(2), {})), readOutText(diary, day));
    }

    void endingToday_data()
    {
        QTest::addColumn<DateSpan>("window");
        QTest::addColumn<QDate>("today");
        QTest::addColumn<DateSpan>("moved");
        QTest::newRow("a month, years ago") << DateSpan{QDate(2010, 1, 1), QDate(2010, 1, 31)} << QDate(2026, 12, 7)
                                            << DateSpan{QDate(2026, 11, 7), QDate(2026, 12, 7)};
        QTest::newRow("ending in the future") << DateSpan{QDate(2026, 12, 1), QDate(2027, 1, 10)} << QDate(2026, 12, 7)
                                              << DateSpan{QDate(2026, 10, 28), QDate(2026, 12, 7)};
        QTest::newRow("over a leap day") << DateSpan{QDate(2023, 2, 1), QDate(2023, 3, 31)} << QDate(2024, 3, 31)
                                         << DateSpan{QDate(2024, 2, 2), QDate(2024, 3, 31)};
    }
    void endingToday()
    {
        QFETCH(DateSpan, window);
        QFETCH(QDate, today);
        QFETCH(DateSpan, moved);
        QCOMPARE(::endingToday(window, today), moved);
        QCOMPARE(moved.start.daysTo(moved.end), window.start.daysTo(window.end));
    }
};

QTEST_MAIN(TrendPlotTest)
#include "tst_trendplot.moc"
