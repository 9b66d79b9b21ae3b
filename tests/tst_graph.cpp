#include "axisartwork.h"
#include "captions.h"
#include "datetext.h"
#include "limitrules.h"
#include "plot.h"
#include "readout.h"
#include "series.h"
#include "summaries.h"
#include "trend.h"
#include "trendplot.h"

#include <QPainter>
#include <QTest>
#include <limits>

// QCOMPARE inside a loop over a table: a failure names the row.
#define ROW_COMPARE(row, actual, expected) \
    if (!QTest::qCompare(actual, expected, qPrintable(row), #expected, __FILE__, __LINE__)) \
    return

namespace {

using Days = std::vector<DayValue>;

// A recorded day; a weight or body fat of 0, a level below 0, is left empty.
DiaryRow day(QDate date, double weight, double fat = 0, int intake = 1, int burn = 1)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    if (weight > 0)
        row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight);
    if (fat > 0)
        row[columnIndex(DiaryColumn::Fat)] = CellValue::number(fat);
    if (intake >= 0)
        row[columnIndex(DiaryColumn::IntakeLevel)] = CellValue::number(intake);
    if (burn >= 0)
        row[columnIndex(DiaryColumn::BurnLevel)] = CellValue::number(burn);
    return row;
}

// January 2010, weighed each day, the weight swinging between 61 and 63,
// body fat between 21 and 23; and some days before the window.
DiaryTable swinging()
{
    std::vector<DiaryRow> rows;
    for (QDate d(2009, 12, 20); d <= QDate(2010, 1, 31); d = d.addDays(1))
        rows.push_back(day(d, d.day() % 2 ? 61 : 63, d.day() % 2 ? 23 : 21));
    return DiaryTable(rows);
}

GraphWindow january(int mode = 0)
{
    GraphWindow w = GraphWindow::fromDates(QDate(2010, 1, 1), QDate(2010, 1, 31));
    w.weight = ValueRange{60, 70};
    w.fat = ValueRange{15, 25};
    w.mode = mode;
    return w;
}

GraphPicture render(const DiaryTable &diary, const GraphWindow &w, const TrendOverlay &overlay = {},
                    const QImage &background = {}, const GraphPicture *previous = nullptr)
{
    return renderGraph({&diary, w, background, AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue}, overlay, previous);
}

// Columns of a pixel row where the image has a colour, left of a limit.
QList<int> columnsOf(const QImage &image, int y, const QColor &colour, int before = GraphWidth)
{
    QList<int> columns;
    for (int x = 0; x < std::min(before, image.width()); ++x) {
        if (image.pixelColor(x, y) == colour)
            columns << x;
    }
    return columns;
}

int pixelsOf(const QImage &image, const QColor &colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        count += columnsOf(image, y, colour).size();
    return count;
}

// How many captions, then the first of them as text@pixel.
QString shown(const std::vector<Caption> &captions, std::size_t first = 100)
{
    QStringList out{QString::number(captions.size()) + ":"};
    for (std::size_t i = 0; i < std::min(first, captions.size()); ++i)
        out << captions[i].text + "@" + QString::number(captions[i].pixel);
    return out.join(' ');
}

QString shown(const Days &days)
{
    QStringList out;
    for (const DayValue &d : days)
        out << QString::number(d.day) + ":" + QString::number(d.value, 'g', 10);
    return out.join(' ');
}

// A trend falling 0.125 a day (0.875 a week) from 80 over 28 days ending on
// 2027/02/28, every value exact in binary.
Days fallingTrend(int everyNthDay = 1, double slope = 0.125)
{
    const double first = oleDayNumber(QDate(2027, 2, 1));
    Days trend;
    for (int d = 27; d >= 0; d -= everyNthDay)
        trend.insert(trend.begin(), {first + d, 80 - slope * d});
    return trend;
}

// One line per period: first, last, days, weight avg/min/max, change,
// fat avg, intake and burn counts (little/standard/much).
QString line(const PeriodSummary &s)
{
    auto number = [](const std::optional<double> &v) { return v ? QString::number(*v, 'f', 2) : QString("-"); };
    auto stats = [&](const std::optional<ValueStats> &v) {
        return v ? number(v->average) + "/" + number(v->lowest) + "/" + number(v->highest) : QString("-");
    };
    auto counts = [](const LevelCounts &c) { return QString("%1%2%3").arg(c.little).arg(c.standard).arg(c.many); };
    return QString("%1-%2 %3 w%4 %5 f%6 %7 i%8 b%9")
        .arg(dateText(s.first), dateText(s.last), QString::number(s.daysRecorded), stats(s.weight),
             number(s.weightChange), stats(s.fat), number(s.fatChange), counts(s.intake), counts(s.burn));
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

class TestGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mapping()
    {
        const double inf = std::numeric_limits<double>::infinity();
        // Far beyond the limits only the direction shows.
        QCOMPARE((QList<int>{GetPixel(0, 5, 774), GetPixel(10, 4.5, 312), GetPixel(10, -0.02, 312),
                             GetPixel(10, -1e308, 312), GetPixel(1e-300, 1e10, 312), GetPixel(inf, inf, 312)}),
                 (QList<int>{0, 140, 0, -MaxPixel, MaxPixel, 0}));

        const GraphWindow w = january();
        const auto on = [](int month, int day) { return oleDayNumber(QDate(2010, month, day)); };
        QVERIFY(!w.contains(on(1, 1))); // the start day's own rows are outside
        QVERIFY(w.contains(on(1, 31)) && !w.contains(on(2, 1)));
        const auto days = [](QDate end) { return GraphWindow::fromDates(QDate(2010, 1, 1), end).dayCount(); };
        QCOMPARE((QList<int>{w.dayCount(), days(QDate(2010, 1, 8)), days(QDate(2010, 1, 1)), w.dayIndex(on(1, 2)),
                             w.x(w.dayIndex(on(1, 2))), w.x(w.dayIndex(on(1, 31))), valueY({60, 70}, 60),
                             valueY({60, 70}, 71)}),
                 (QList<int>{31, 8, 1, 1, 24, 749, 312, -31}));
        QCOMPARE((QList<int>{barHalfWidth(89), barHalfWidth(90), barHalfWidth(139), barHalfWidth(140)}),
                 (QList<int>{3, 2, 2, 1}));
        QCOMPARE((QList<int>{barSpan(BarRow::Intake, "0").top, barSpan(BarRow::Intake, "1").top,
                             barSpan(BarRow::Intake, "2").top, barSpan(BarRow::Intake, "").height,
                             barSpan(BarRow::Burn, "0").top, barSpan(BarRow::Burn, "1").top,
                             barSpan(BarRow::Burn, "x").top}),
                 (QList<int>{38, 32, 26, 18, 64, 58, 52}));
    }

    void bands()
    {
        // days in the window: the date band and the step between the dates asked about
        const std::tuple<int, int, int> dates[] = {{1, 0, 1},    {31, 0, 1},   {32, 1, 7},  {90, 1, 7},  {91, 2, 1},
                                                   {300, 2, 1},  {301, 3, 1},  {540, 3, 1}, {541, 4, 1}, {1080, 4, 1},
                                                   {1081, 5, 1}, {2500, 5, 1}, {2501, 6, 1}};
        for (const auto &[days, band, step] : dates)
            ROW_COMPARE(QString("%1 days").arg(days), std::pair(dateBand(days).band, dateBand(days).step),
                        std::pair(band, step));
        // range of the limits: the weight band and the body-fat band
        const std::tuple<double, int, int> values[] = {{2.0, 0, 0}, {2.1, 1, 1}, {6, 2, 2},   {10, 3, 3}, {20, 4, 4},
                                                       {50, 5, 5},  {100, 6, 6}, {200, 7, 6}, {201, 8, 6}};
        for (const auto &[range, weight, fat] : values)
            ROW_COMPARE(QString("range %1").arg(range), std::pair(weightBand(range), fatBand(range)),
                        std::pair(weight, fat));
    }

    void captions()
    {
        // the window: how many date captions, the first three as text@pixel
        const std::tuple<QDate, QDate, QString> windows[] = {
            {{2010, 1, 20}, {2010, 2, 20}, "5: 1/20@0 1/27@169 2/3@338"},   // every 7th day
            {{2010, 1, 1}, {2010, 4, 1}, "7: 1/1@0 1/15@119 2/1@263"},      // the 1st and the 15th
            {{2010, 1, 1}, {2010, 12, 1}, "12: 10年1月@0 2月@71 3月@136"},  // every month
            {{2010, 1, 1}, {2011, 12, 31}, "12: 10年1月@0 3月@62 5月@127"}, // odd months
            {{2010, 1, 1}, {2014, 12, 31}, "10: 10年1月@0 10年7月@76 11年1月@154"},
            {{2010, 1, 10}, {2010, 1, 1}, "0:"}};
        for (const auto &[start, end, first] : windows)
            ROW_COMPARE(dateText(start) + " to " + dateText(end),
                        shown(dateAxisCaptions(GraphWindow::fromDates(start, end)), 3), first);

        // Stepped by repeated addition: 62.0 itself is passed over.
        QCOMPARE(shown(weightAxisCaptions({60, 62})), "10: 60.0@312 60.2@280 60.4@249 60.6@218 60.8@187 61.0@156 "
                                                      "61.2@124 61.4@93 61.6@62 61.8@31");
        QCOMPARE(shown(fatAxisCaptions({10, 20})), "11: 10@312 11@280 12@249 13@218 14@187 15@156 16@124 17@93 18@62 "
                                                   "19@31 20@0");
        QCOMPARE((QStringList{shown(weightAxisCaptions({40, 100}), 3), shown(weightAxisCaptions({0, 1000}), 3),
                              shown(fatAxisCaptions({0, 300}), 3), shown(weightAxisCaptions({1000, 1002}), 1)}),
                 (QStringList{"6: 40@312 50@260 60@207", "20: 0@312 50@296 100@280", "31: 0@312 10@301 20@291",
                              "10: 1,000.0@312"}));
        QVERIFY(weightAxisCaptions({60, 60}).empty() && weightAxisCaptions({60, 50}).empty());
    }

    // Limits no body can weigh, as a damaged file or a diary from elsewhere could
    // still bring them: the captions are bounded by the strip's pixel rows (one
    // caption per row at most), whatever the range, and stay on the strip.
    void captionsOfAnyRangeAreBounded()
    {
        const std::tuple<double, double, QString> ranges[] = {
            {0, 1e20, "0"}, {60, 20261207, "100"}, {-1e308, 1e308, ""}, {0, 1000.5, "0"}};
        for (const auto &[lower, upper, first] : ranges) {
            const QString row = QString("%1 to %2").arg(lower).arg(upper);
            for (const std::vector<Caption> &captions :
                 {weightAxisCaptions({lower, upper}), fatAxisCaptions({lower, upper})}) {
                QVERIFY2(int(captions.size()) <= GraphHeight + 1, qPrintable(row));
                for (const Caption &caption : captions)
                    QVERIFY2(caption.pixel >= 0 && caption.pixel <= GraphHeight, qPrintable(row));
            }
            const std::vector<Caption> weight = weightAxisCaptions({lower, upper});
            ROW_COMPARE(row, weight.empty() ? QString() : weight.front().text, first);
            QVERIFY2(first.isEmpty() || weight.size() > 2, qPrintable(row));
        }
    }

    void seriesOfAWindow()
    {
        std::vector<DiaryRow> rows;
        for (QDate d(2009, 12, 31); d <= QDate(2010, 1, 9); d = d.addDays(1))
            rows.push_back(day(d, d == QDate(2010, 1, 5) ? 0 : 60.5, d == QDate(2010, 1, 4) ? 0 : 20));
        rows[6][columnIndex(DiaryColumn::IntakeLevel)] = CellValue();
        // Dates as a spreadsheet may hold them too: as text, as a bare number, as no date.
        rows[7][columnIndex(DiaryColumn::Date)] = CellValue::text("2010/01/07");
        rows[8][columnIndex(DiaryColumn::Date)] = CellValue::number(oleDayNumber(QDate(2010, 1, 8)));
        rows.push_back(day(QDate(2010, 1, 3), 61, 20));
        rows.back()[columnIndex(DiaryColumn::Date)] = CellValue::text("last Sunday");
        const DiaryTable diary(rows);
        const GraphWindow w = GraphWindow::fromDates(QDate(2010, 1, 1), QDate(2010, 1, 8));
        const auto daysOf = [](const Series &series) {
            QStringList days;
            for (double day : series.dayNumbers)
                days << QString::number(dateFromOleDayNumber(day).day());
            return days.join(' ');
        };
        const Series intake = GetContrastData_CalIn(diary, w.start, w.end);
        QCOMPARE(daysOf(intake), QString("2 3 4 5 6 7 8"));
        QCOMPARE(intake.levels, (QStringList{"1", "1", "1", "1", "", "1", "1"}));
        const Series weight = GetContrastData_W(diary, w.start, w.end);
        QCOMPARE(daysOf(weight), QString("2 3 4 6 7 8"));
        QCOMPARE(weight.numbers.front(), 60.5);
        QCOMPARE(daysOf(GetContrastData_F(diary, w.start, w.end)), QString("2 3 5 6 7 8"));
        QCOMPARE(GetContrastData_W(DiaryTable(), w.start, w.end).size(), 0);
    }

    // Leaving a limit edit: the limit taken, put back, or the text left as typed;
    // a limit not taken says the rule it breaks.
    void limitExits()
    {
        const QString bounds = "は使えません。体重は 0 から 1000 kg までの数値です。";
        const auto accept = LimitExit::Accept, putBack = LimitExit::PutBack, ignore = LimitExit::Ignore;
        // upper or lower edit, typed, the accepted limit on the other side: what becomes of it
        const std::tuple<bool, QString, QString, int, QString, QString> exits[] = {
            {true, "61.5", "60", accept, "61.5", {}},
            {true, " 80 ", "60", accept, "80", {}},
            {true, "８０", "60", accept, "80", {}},
            {false, "69", "70", accept, "69", {}},
            {true, "1000", "60", accept, "1000", {}},
            {true, "1e20", "60", putBack, {}, "「1e20」" + bounds},
            {false, "-3", "70", putBack, {}, "「-3」" + bounds},
            {true, "61", "60", putBack, {}, "「61」は使えません。体重の上限は下限 60 より 1 を超えて大きい数値です。"},
            {false, "69.5", "70", putBack, {}, "「69.5」は使えません。体重の下限は上限 70 より 1 以上小さい数値です。"},
            {true, "heavy", "60", ignore, {}, "「heavy」は使えません。体重の上限は 0 以外の数値です。"},
            {false, "0", "70", ignore, {}, "「0」は使えません。体重の下限は 0 以外の数値です。"},
            {true, "", "60", ignore, {}, "空欄は使えません。体重の上限は 0 以外の数値です。"}};
        for (const auto &[upper, typed, other, kind, text, rule] : exits) {
            const LimitExit got =
                upper ? upperLimitExit(typed, other, WeightBounds) : lowerLimitExit(typed, other, WeightBounds);
            ROW_COMPARE((upper ? "upper " : "lower ") + typed, std::tuple(int(got.kind), got.text, got.rule),
                        std::tuple(kind, text, rule));
        }
    }

    void stepButtons()
    {
        const auto step = [](const std::optional<QString> &limit) { return limit.value_or("no step"); };
        // Steps stop at the bounds: 99.5 % goes up to 100, not 100.5.
        QCOMPARE((QStringList{step(upperStepDown("61.5", "60")), step(upperStepDown("60.5", "60")),
                              step(upperStepUp("99.5", FatBounds)), step(upperStepUp("100", FatBounds)),
                              step(upperStepUp("250", WeightBounds)), step(upperStepUp("999.5", WeightBounds)),
                              step(upperStepUp("1000", WeightBounds)), lowerStepDown("1.5", WeightBounds),
                              lowerStepDown("0.5", WeightBounds), lowerStepDown("-0.5", FatBounds),
                              step(lowerStepUp("60", "61.5")), step(lowerStepUp("61", "61.5"))}),
                 (QStringList{"60.5", "no step", "100", "no step", "251", "1000", "no step", "0.5", "0", "0", "61",
                              "no step"}));
        QVERIFY(datesAccepted(QDate(2010, 1, 1), QDate(2010, 1, 8)));
        QVERIFY(!datesAccepted(QDate(2010, 1, 1), QDate(2010, 1, 7)));
    }

    void barsAndMarkersOnTheirPixels()
    {
        const DiaryTable diary({day(QDate(2010, 1, 2), 65.5, 0, 1, 0), day(QDate(2010, 1, 20), 66, 0, 2, -1)});
        const GraphPicture picture = render(diary, january());
        // 2 January: intake bar columns 17 to 22, rows 32 to 43 (level 1).
        QCOMPARE(columnsOf(picture.crossStrip, 32, Qt::red, 100), (QList<int>{17, 18, 19, 20, 21, 22}));
        QCOMPARE(columnsOf(picture.crossStrip, 43, Qt::red).first(), 17);
        QVERIFY(columnsOf(picture.crossStrip, 31, Qt::red, 100).isEmpty());
        // Burn level 0: rows 64 to 69 only; the tallest burn bar (empty level) from row 52.
        QVERIFY(columnsOf(picture.crossStrip, 63, Qt::blue).contains(GetPixel(31, 19, 774) - 4));
        QCOMPARE(columnsOf(picture.crossStrip, 64, Qt::blue).first(), 17);
        QVERIFY(!columnsOf(picture.crossStrip, 63, Qt::blue).contains(17));
        // The band between the rows of bars.
        QCOMPARE(columnsOf(picture.crossStrip, 45, QColor(166, 202, 240)).size(), 774);
        QCOMPARE(columnsOf(picture.crossStrip, 46, QColor(166, 202, 240)).size(), 774);
        // The weight marker of 2 January: columns 22 to 25 around (24, 140).
        QCOMPARE((QList<QColor>{picture.picture.pixelColor(22, 138), picture.picture.pixelColor(25, 141),
                                picture.picture.pixelColor(21, 138)}),
                 (QList<QColor>{Qt::red, Qt::red, Qt::white}));
    }

    void bodyFatLineLiesOverWeightLine()
    {
        // Weight rises and body fat falls on the same scale: the lines cross mid-window.
        const DiaryTable diary({day(QDate(2010, 1, 2), 61, 69), day(QDate(2010, 1, 30), 69, 61)});
        GraphWindow w = january(2);
        w.fat = ValueRange{60, 70};
        const QImage both = render(diary, w).picture;
        w.mode = 1;
        const QImage fatOnly = render(diary, w).picture;
        w.mode = 0;
        const QImage weightOnly = render(diary, w).picture;
        // Where the lines cross, body fat is on top.
        int crossing = 0;
        for (int y = 0; y < both.height(); ++y) {
            for (int x : columnsOf(fatOnly, y, Qt::blue)) {
                QCOMPARE(both.pixelColor(x, y), QColor(Qt::blue));
                crossing += weightOnly.pixelColor(x, y) == QColor(Qt::red);
            }
        }
        QVERIFY(crossing > 0);
        QCOMPARE(pixelsOf(weightOnly, Qt::blue), 0);
        QCOMPARE(pixelsOf(fatOnly, Qt::red), 0);
    }

    void unusableLimitsSkipTheLine()
    {
        GraphWindow w = january(2); // both lines, but the weight limits are unusable
        w.weight.reset();
        const GraphPicture picture = render(DiaryTable({day(QDate(2010, 1, 2), 61, 20)}), w);
        QVERIFY(picture.weightCaptions.empty() && !picture.fatCaptions.empty());
        QCOMPARE((QList<qsizetype>{picture.weight.size(), picture.fat.size(), picture.intake.size()}),
                 (QList<qsizetype>{0, 1, 1}));
    }

    // The points sit on their axis values whatever the background's size: the
    // background is brought to the graph's size before the lines are drawn.
    void backgroundOfAnotherSize()
    {
        for (const QSize size : {QSize(387, 156), QSize(1000, 200)}) {
            QImage background(size, QImage::Format_RGB32);
            background.fill(Qt::green);
            QPainter(&background).fillRect(size.width() / 2, 0, size.width(), size.height(), Qt::yellow);
            const QImage picture =
                render(DiaryTable({day(QDate(2010, 1, 2), 65.5)}), january(), {}, background).picture;
            QCOMPARE(picture.size(), QSize(774, 312));
            // One day alone: its marker of 4 by 4 pixels around (24, 140), no line.
            QCOMPARE(columnsOf(picture, 138, Qt::red), (QList<int>{22, 23, 24, 25}));
            QCOMPARE(pixelsOf(picture, Qt::red), 16);
            // The whole background is there, squeezed or stretched.
            const QColor green(Qt::green), yellow(Qt::yellow);
            QCOMPARE((QList<QColor>{picture.pixelColor(5, 5), picture.pixelColor(380, 300), picture.pixelColor(394, 5),
                                    picture.pixelColor(770, 308)}),
                     (QList<QColor>{green, green, yellow, yellow}));
        }
    }

    void trendLine()
    {
        // 70 + 0.1 * (71 - 70) = 70.1; three days apart: 1 - 0.9^3 = 0.271 of the way from 70 to 80.
        const std::pair<Days, QString> lines[] = {{{}, ""},
                                                  {{{100, 70}}, "100:70"},
                                                  {{{0, 70}, {1, 71}, {2, 69}}, "0:70 1:70.1 2:69.99"},
                                                  {{{0, 70}, {3, 80}, {4, 70}}, "0:70 3:72.71 4:72.439"},
                                                  {{{3, 80}, {0, 70}}, "0:70 3:72.71"},
                                                  {{{0, 70}, {0, 72}, {1, 72}}, "0:72 1:72"}};
        for (const auto &[days, trend] : lines)
            ROW_COMPARE(shown(days), shown(::trendLine(days)), trend);

        // The sheet's rows out of date order give the trend of the sorted days.
        const QDate d0(2026, 5, 1);
        const DiaryTable diary({day(d0.addDays(3), 80), day(d0, 70), day(d0.addDays(4), 70)});
        const Days trend = ::trendLine(dayValues(GetContrastData_W(diary, 0, 1e6)));
        const double first = oleDayNumber(d0);
        QCOMPARE(trend.front().day, first);
        QCOMPARE(trend.back().value, 72.439);
        QCOMPARE(trendOn(trend, first + 2), std::optional<double>(70));
        QCOMPARE(trendOn(trend, first - 1), std::nullopt);
    }

    void weeklyRate()
    {
        const Days sparse{{0, 80}, {10, 79}, {20, 78}, {30, 77}};
        // On day 30: from day 0, the last before the window 3..30, to day 30; only inside the window; rising.
        const std::tuple<Days, double, QString> rates[] = {{sparse, 30, "-0.70 kg/週"},
                                                           {sparse, 40, "-0.70 kg/週"},
                                                           {sparse, 100, "－"},
                                                           {{{5, 70}}, 5, "－"},
                                                           {{{10, 70}, {17, 69}}, 20, "-1.00 kg/週"},
                                                           {{{0, 60}, {14, 61}}, 14, "+0.50 kg/週"}};
        for (const auto &[trend, today, rate] : rates)
            ROW_COMPARE(shown(trend) + " on " + QString::number(today), rateText(::weeklyRate(trend, today), "kg"),
                        rate);
        // From day 2, the last before the window, not from day 1.
        QCOMPARE(rateText(::weeklyRate({{1, 80}, {2, 79}, {30, 77}}, 30), "kg"), QString("-0.50 kg/週"));
        QCOMPARE(rateText(-0.4567, "%"), QString("-0.46 %/週"));
        QCOMPARE(rateText(0.0, "kg"), QString("0.00 kg/週"));
    }

    void forecast()
    {
        // 76.625 on 2027/02/28, falling 0.125 a day: 75 is 13 days on.
        const QString towards = "目標到達予想 2027/03/13", reached = "目標に到達しています";
        const std::tuple<const char *, Days, double, double, QString> forecasts[] = {
            {"towards", fallingTrend(), 75, 82, towards},
            {"towards, no start", fallingTrend(), 75, 0, towards},
            {"away: gaining diet, falling trend", fallingTrend(), 78, 76, "目標から離れる向きに進んでいます"},
            {"flat", fallingTrend(1, 0), 65, 82, "ほぼ横ばいのため予想できません"},
            {"goal passed", fallingTrend(), 77, 82, reached},
            {"goal passed, too few days", fallingTrend(3), 77, 82, reached},
            {"10 of 28 days", fallingTrend(3), 75, 82,
             "記録が足りないため予想できません（直近28日で14日以上必要です）"},
            {"14 of 28 days", fallingTrend(2), 75, 82, towards},
            {"no goal", fallingTrend(), 0, 82, "目標が未設定です"},
            {"no days", {}, 75, 82, "目標が未設定です"}};
        const double today = oleDayNumber(QDate(2027, 2, 28));
        for (const auto &[row, trend, goal, start, text] : forecasts)
            ROW_COMPARE(row, forecastText(forecastGoal(trend, today, goal, start)), text);
    }

    // All off draws the graph as it always was; on, the trend runs from the
    // first recorded day and lies where the mapping puts each day.
    void trendLinesWhereTheMappingPutsThem()
    {
        const DiaryTable diary = swinging();
        for (int mode : {0, 1, 2}) {
            const GraphWindow w = january(mode);
            const GraphPicture plain = render(diary, w), off = render(diary, w, {false, false, 62.0, 20.0});
            QCOMPARE(off.picture, plain.picture);
            QCOMPARE(off.crossStrip, plain.crossStrip);
            QVERIFY(off.weightTrend.empty() && off.fatTrend.empty());

            const GraphPicture picture = render(diary, w, {true, false, {}, {}});
            QCOMPARE(picture.weightTrend.front().day, oleDayNumber(QDate(2009, 12, 20)));
            const std::tuple<bool, const Days &, ValueRange, QColor> measures[] = {
                {mode != 1, picture.weightTrend, *w.weight, QColor(255, 127, 127)},
                {mode != 0, picture.fatTrend, *w.fat, QColor(127, 127, 255)}};
            for (const auto &[drawn, trend, range, colour] : measures) {
                const QString row = QString("mode %1, %2").arg(mode).arg(colour.name());
                if (!drawn) {
                    ROW_COMPARE(row, pixelsOf(picture.picture, colour), 0);
                    continue;
                }
                int points = 0;
                for (const DayValue &d : trend) {
                    if (w.contains(d.day)) {
                        const QPoint p(w.x(w.dayIndex(d.day)), valueY(range, d.value));
                        QVERIFY2(picture.picture.pixelColor(p) == colour,
                                 qPrintable(row + " " + QString::number(d.day)));
                        ++points;
                    }
                }
                ROW_COMPARE(row, points, 30); // 2 to 31 January; the 1st is the start day, outside
                // A thin line: in a day's column, only a few rows of it.
                const int x = w.x(w.dayIndex(oleDayNumber(QDate(2010, 1, 15))));
                int rows = 0;
                for (int y = 0; y < picture.picture.height(); ++y)
                    rows += picture.picture.pixelColor(x, y) == colour;
                QVERIFY2(rows >= 1 && rows <= 3, qPrintable(row + QString(": %1 rows").arg(rows)));
            }
        }
    }

    // A redraw takes the trend from the previous redraw of the same diary
    // (the marked value shows it was not worked out again), never from
    // another diary's, nor from a redraw without trend.
    void trendIsKeptUntilTheDiaryIsReplaced()
    {
        const DiaryTable diary = swinging();
        const TrendOverlay on{true, false, {}, {}};
        const auto redraw = [](const DiaryTable &d, const TrendOverlay &overlay, const GraphPicture *previous) {
            return render(d, january(2), overlay, {}, previous);
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

    void dashedGoalLines()
    {
        // mode, the goals (0: none): the rows of the red and the blue dashes (-1: no line);
        // 65 in 60..70 and 20 in 15..25 lie half way down the 312 rows
        const std::tuple<int, double, double, int, int> goals[] = {{0, 65, 20, 156, -1},
                                                                   {1, 65, 20, -1, 156},
                                                                   {2, 67.5, 17.5, 78, 234},
                                                                   {0, 55, 20, -1, -1},
                                                                   {2, 0, 0, -1, -1}};
        const DiaryTable diary({day(QDate(2010, 1, 10), 69.5, 15.5)}); // markers far from the goals
        for (const auto &[mode, goalWeight, goalFat, redRow, blueRow] : goals) {
            const auto goal = [](double value) { return value > 0 ? std::optional(value) : std::nullopt; };
            const TrendOverlay overlay{false, true, goal(goalWeight), goal(goalFat)};
            const QImage picture = render(diary, january(mode), overlay).picture;
            for (const auto &[y, colour] : {std::pair{redRow, QColor(Qt::red)}, std::pair{blueRow, QColor(Qt::blue)}}) {
                const QString row = QString("mode %1, goals %2 and %3, %4").arg(mode).arg(goalWeight).arg(goalFat);
                if (y < 0) {
                    const bool marker = mode == 2 || (colour == Qt::red) == (mode == 0);
                    ROW_COMPARE(row.arg(colour.name()), pixelsOf(picture, colour), marker ? 16 : 0);
                    continue;
                }
                const int dashes = int(columnsOf(picture, y, colour).size());
                QVERIFY2(dashes > 774 / 3 && dashes < 774 * 4 / 5, qPrintable(row.arg(dashes)));
                ROW_COMPARE(row.arg(colour.name()),
                            columnsOf(picture, y - 1, colour) + columnsOf(picture, y + 1, colour), QList<int>());
            }
        }
    }

    void dayAtXAndEndingToday()
    {
        // 31 days over 774 pixels: 15 January (day 14 after the start) at 349
        const std::pair<int, QDate> days[] = {
            {349, {2010, 1, 15}}, {360, {2010, 1, 15}}, {363, {2010, 1, 16}}, {0, {2010, 1, 2}}, {773, {2010, 1, 31}}};
        for (const auto &[x, day] : days)
            ROW_COMPARE(QString("x %1").arg(x), ::dayAtX(january(), x), std::optional<QDate>(day));

        // the window, today: the window moved to end today
        const std::tuple<DateSpan, QDate, DateSpan> windows[] = {
            {{{2010, 1, 1}, {2010, 1, 31}}, {2026, 12, 7}, {{2026, 11, 7}, {2026, 12, 7}}},
            {{{2026, 12, 1}, {2027, 1, 10}}, {2026, 12, 7}, {{2026, 10, 28}, {2026, 12, 7}}}, // from the future
            {{{2023, 2, 1}, {2023, 3, 31}}, {2024, 3, 31}, {{2024, 2, 2}, {2024, 3, 31}}}};   // over a leap day
        for (const auto &[window, today, moved] : windows) {
            const DateSpan got = endingToday(window, today);
            ROW_COMPARE(dateText(window.start), std::pair(got.start, got.end), std::pair(moved.start, moved.end));
        }
    }

    void readOutOfAKnownDay()
    {
        DiaryRow known = day(QDate(2010, 1, 15), 63, 21, 0, 2);
        known[columnIndex(DiaryColumn::IntakeComment)] = CellValue::text("朝はパン\r\n昼は麺");
        known[columnIndex(DiaryColumn::BurnComment)] = CellValue::text("散歩30分");
        const DiaryTable diary({day(QDate(2010, 1, 16), 62, 0, 1, 2), known, day(QDate(2010, 1, 14), 64, 22)});
        // trends: 64 + 0.1 * (63 - 64) = 63.9; 22 + 0.1 * (21 - 22) = 21.9
        QCOMPARE(readOutText(diary, QDate(2010, 1, 15), GraphPicture()),
                 QString("2010/01/15\n体重 63 kg（トレンド 63.9 kg）\n体脂肪率 21 %（トレンド 21.9 %）\n"
                         "摂取カロリー 少ない　消費カロリー 多い\n摂取：朝はパン\n消費：散歩30分"));
        QCOMPARE(readOutText(diary, QDate(2010, 1, 16), GraphPicture()),
                 QString("2010/01/16\n体重 62 kg（トレンド 63.7 kg）\n体脂肪率 －（トレンド 21.9 %）\n"
                         "摂取カロリー ふつう　消費カロリー 多い"));
        QCOMPARE(readOutText(diary, QDate(2010, 1, 17), GraphPicture()), QString());
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
        const QString workedOut = readOutText(diary, day, GraphPicture());
        QVERIFY(workedOut.contains(QStringLiteral("トレンド")));
        QCOMPARE(readOutText(diary, day, drawn), workedOut);
        drawn.fatTrend = {{oleDayNumber(day), 30}};
        QVERIFY(readOutText(diary, day, drawn).contains(QStringLiteral("（トレンド 30.0 %）")));
        GraphPicture ofAnother = render(swinging(), january(2), on);
        ofAnother.fatTrend = drawn.fatTrend;
        QCOMPARE(readOutText(diary, day, ofAnother), workedOut);
        QCOMPARE(readOutText(diary, day, render(diary, january(2))), workedOut);
    }

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

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
