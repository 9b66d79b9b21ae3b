#include "axisartwork.h"
#include "captions.h"
#include "datetext.h"
#include "limitrules.h"
#include "plot.h"

#include <QPainter>
#include <QTest>
#include <limits>

namespace {

GraphWindow window(QDate start, QDate end)
{
    return GraphWindow::fromDates(start, end);
}

QStringList texts(const std::vector<Caption> &captions)
{
    QStringList out;
    for (const Caption &c : captions)
        out << c.text;
    return out;
}

QList<int> pixels(const std::vector<Caption> &captions)
{
    QList<int> out;
    for (const Caption &c : captions)
        out << c.pixel;
    return out;
}

DiaryRow day(QDate date, const QString &weight, const QString &fat = QString(), const QString &intake = "1",
             const QString &burn = "1")
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    if (!weight.isEmpty())
        row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight.toDouble());
    if (!fat.isEmpty())
        row[columnIndex(DiaryColumn::Fat)] = CellValue::number(fat.toDouble());
    if (!intake.isEmpty())
        row[columnIndex(DiaryColumn::IntakeLevel)] = CellValue::number(intake.toDouble());
    if (!burn.isEmpty())
        row[columnIndex(DiaryColumn::BurnLevel)] = CellValue::number(burn.toDouble());
    return row;
}

QStringList datesOf(const Series &series)
{
    QStringList dates;
    for (double day : series.dayNumbers)
        dates << dateText(dateFromOleDayNumber(day));
    return dates;
}

// Columns of a pixel row where the image has a colour, left of a limit.
QList<int> columnsOf(const QImage &image, int y, const QColor &colour, int before = 774)
{
    QList<int> columns;
    for (int x = 0; x < std::min(before, image.width()); ++x) {
        if (image.pixelColor(x, y) == colour)
            columns << x;
    }
    return columns;
}

struct LimitCase
{
    bool upperEdit;
    QString typed;
    QString other; // the accepted limit on the other side
    LimitExit::Kind kind;
    QString text;
    QString rule;
};

struct DateCaptionCase
{
    QDate start;
    QDate end;
    QStringList firstCaptions;
    QList<int> firstPixels;
    int count;
};

} // namespace

Q_DECLARE_METATYPE(LimitCase)
Q_DECLARE_METATYPE(DateCaptionCase)

class TestGraph : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void getPixel_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("part");
        QTest::addColumn<double>("size");
        QTest::addColumn<int>("pixel");
        QTest::newRow("no total") << 0.0 << 5.0 << 774.0 << 0;
        QTest::newRow("day 1 of 31") << 31.0 << 1.0 << 774.0 << 24;
        QTest::newRow("day 30 of 31") << 31.0 << 30.0 << 774.0 << 749;
        QTest::newRow("65.5 kg between 60 and 70") << 10.0 << 4.5 << 312.0 << 140;
        QTest::newRow("above the top truncates toward zero") << 10.0 << -0.02 << 312.0 << 0;
        QTest::newRow("1 kg above a 10 kg range") << 10.0 << -1.0 << 312.0 << -31;
        QTest::newRow("1e308 kg in a 10 kg range: held above") << 10.0 << -1e308 << 312.0 << -MaxPixel;
        QTest::newRow("far below: held below") << 1e-300 << 1e10 << 312.0 << MaxPixel;
        QTest::newRow("infinite range: no number")
            << std::numeric_limits<double>::infinity() << std::numeric_limits<double>::infinity() << 312.0 << 0;
    }

    void getPixel()
    {
        QFETCH(double, total);
        QFETCH(double, part);
        QFETCH(double, size);
        QFETCH(int, pixel);
        QCOMPARE(GetPixel(total, part, size), pixel);
    }

    void windowRules()
    {
        const GraphWindow january = window(QDate(2010, 1, 1), QDate(2010, 1, 31));
        QCOMPARE(january.dayCount(), 31);
        QCOMPARE(january.dayIndex(oleDayNumber(QDate(2010, 1, 2))), 1);
        QCOMPARE(january.x(january.dayIndex(oleDayNumber(QDate(2010, 1, 2)))), 24);
        QCOMPARE(january.x(january.dayIndex(oleDayNumber(QDate(2010, 1, 31)))), 749);
        QVERIFY(!january.contains(oleDayNumber(QDate(2010, 1, 1)))); // the start day's own rows are outside
        QVERIFY(january.contains(oleDayNumber(QDate(2010, 1, 31))));
        QVERIFY(!january.contains(oleDayNumber(QDate(2010, 2, 1))));
        QCOMPARE(window(QDate(2010, 1, 1), QDate(2010, 1, 8)).dayCount(), 8);
        QCOMPARE(window(QDate(2010, 1, 1), QDate(2010, 1, 1)).dayCount(), 1);
        QCOMPARE(valueY({60, 70}, 60), 312);
        QCOMPARE(valueY({60, 70}, 71), -31);
    }

    void dateBands_data()
    {
        QTest::addColumn<int>("days");
        QTest::addColumn<int>("band");
        QTest::addColumn<int>("step");
        const QList<std::tuple<int, int, int>> rows{{1, 0, 1},    {31, 0, 1},   {32, 1, 7},  {90, 1, 7},  {91, 2, 1},
                                                    {300, 2, 1},  {301, 3, 1},  {540, 3, 1}, {541, 4, 1}, {1080, 4, 1},
                                                    {1081, 5, 1}, {2500, 5, 1}, {2501, 6, 1}};
        for (const auto &[days, band, step] : rows)
            QTest::addRow("%d days", days) << days << band << step;
    }

    void dateBands()
    {
        QFETCH(int, days);
        QFETCH(int, band);
        QFETCH(int, step);
        QCOMPARE(dateBand(days).band, band);
        QCOMPARE(dateBand(days).step, step);
    }

    void dateCaptions_data()
    {
        QTest::addColumn<DateCaptionCase>("window");
        QTest::newRow("32 days: every 7th day")
            << DateCaptionCase{{2010, 1, 20}, {2010, 2, 20}, {"1/20", "1/27", "2/3"}, {0, 169, 338}, 5};
        QTest::newRow("91 days: the 1st and the 15th")
            << DateCaptionCase{{2010, 1, 1}, {2010, 4, 1}, {"1/1", "1/15", "2/1"}, {0, 119, 263}, 7};
        QTest::newRow("band 3 from 1 January")
            << DateCaptionCase{{2010, 1, 1}, {2010, 12, 1}, {"10年1月", "2月", "3月"}, {0, 71, 136}, 12};
        QTest::newRow("band 4: odd months")
            << DateCaptionCase{{2010, 1, 1}, {2011, 12, 31}, {"10年1月", "3月", "5月"}, {0, 62, 127}, 12};
        QTest::newRow("band 5: January and July")
            << DateCaptionCase{{2010, 1, 1}, {2014, 12, 31}, {"10年1月", "10年7月", "11年1月"}, {0, 76, 154}, 10};
        QTest::newRow("end before start") << DateCaptionCase{{2010, 1, 10}, {2010, 1, 1}, {}, {}, 0};
    }

    void dateCaptions()
    {
        QFETCH(DateCaptionCase, window);
        const std::vector<Caption> captions = dateAxisCaptions(GraphWindow::fromDates(window.start, window.end));
        QCOMPARE(int(captions.size()), window.count);
        QCOMPARE(texts(captions).mid(0, window.firstCaptions.size()), window.firstCaptions);
        QCOMPARE(pixels(captions).mid(0, window.firstPixels.size()), window.firstPixels);
    }

    void valueCaptions()
    {
        // Stepped by repeated addition: 62.0 itself is passed over.
        const std::vector<Caption> weight = weightAxisCaptions({60, 62});
        QCOMPARE(texts(weight),
                 (QStringList{"60.0", "60.2", "60.4", "60.6", "60.8", "61.0", "61.2", "61.4", "61.6", "61.8"}));
        QCOMPARE(pixels(weight), (QList<int>{312, 280, 249, 218, 187, 156, 124, 93, 62, 31}));

        const std::vector<Caption> fat = fatAxisCaptions({10, 20});
        QCOMPARE(texts(fat), (QStringList{"10", "11", "12", "13", "14", "15", "16", "17", "18", "19", "20"}));
        QCOMPARE(pixels(fat), (QList<int>{312, 280, 249, 218, 187, 156, 124, 93, 62, 31, 0}));

        QCOMPARE(texts(weightAxisCaptions({40, 100})).mid(0, 3), (QStringList{"40", "50", "60"}));
        QCOMPARE(texts(weightAxisCaptions({0, 1000})).mid(0, 3), (QStringList{"0", "50", "100"}));
        QCOMPARE(texts(fatAxisCaptions({0, 300})).mid(0, 3), (QStringList{"0", "10", "20"}));
        QCOMPARE(texts(weightAxisCaptions({1000, 1002})).first(), QString("1,000.0"));
        QVERIFY(weightAxisCaptions({60, 60}).empty());
        QVERIFY(weightAxisCaptions({60, 50}).empty());
    }

    // Limits no body can weigh, as a damaged file or a diary from elsewhere could
    // still bring them: the captions are bounded by the strip's pixel rows (one
    // caption per row at most), whatever the range, and stay on the strip.
    void captionsOfAnyRangeAreBounded_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<QString>("first");
        QTest::newRow("1e20 kg") << 0.0 << 1e20 << "0";
        QTest::newRow("a date typed as digits") << 60.0 << 20261207.0 << "100";
        QTest::newRow("1e308 kg") << -1e308 << 1e308 << "";
        QTest::newRow("just wider than the widest limits") << 0.0 << 1000.5 << "0";
    }

    void captionsOfAnyRangeAreBounded()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        QFETCH(QString, first);
        for (const std::vector<Caption> &captions :
             {weightAxisCaptions({lower, upper}), fatAxisCaptions({lower, upper})}) {
            QVERIFY(int(captions.size()) <= GraphHeight + 1);
            for (const Caption &caption : captions)
                QVERIFY(caption.pixel >= 0 && caption.pixel <= GraphHeight);
        }
        const std::vector<Caption> weight = weightAxisCaptions({lower, upper});
        QCOMPARE(weight.empty() ? QString() : weight.front().text, first);
        if (!first.isEmpty())
            QVERIFY(weight.size() > 2);
    }

    void valueBands_data()
    {
        QTest::addColumn<double>("range");
        QTest::addColumn<int>("weight");
        QTest::addColumn<int>("fat");
        const QList<std::tuple<double, int, int>> rows{{2.0, 0, 0}, {2.1, 1, 1}, {6, 2, 2},   {10, 3, 3}, {20, 4, 4},
                                                       {50, 5, 5},  {100, 6, 6}, {200, 7, 6}, {201, 8, 6}};
        for (const auto &[range, weight, fat] : rows)
            QTest::addRow("%g", range) << range << weight << fat;
    }

    void valueBands()
    {
        QFETCH(double, range);
        QFETCH(int, weight);
        QFETCH(int, fat);
        QCOMPARE(weightBand(range), weight);
        QCOMPARE(fatBand(range), fat);
    }

    void seriesOfAWindow()
    {
        std::vector<DiaryRow> rows;
        for (QDate d(2009, 12, 31); d <= QDate(2010, 1, 9); d = d.addDays(1))
            rows.push_back(day(d, "60.5", d == QDate(2010, 1, 4) ? QString() : "20"));
        rows[5][columnIndex(DiaryColumn::Weight)] = CellValue(); // 2010/01/05: no weight that day
        rows[6][columnIndex(DiaryColumn::IntakeLevel)] = CellValue();
        // Dates as a spreadsheet may hold them too: as text, as a bare number, as no date.
        rows[7][columnIndex(DiaryColumn::Date)] = CellValue::text("2010/01/07");
        rows[8][columnIndex(DiaryColumn::Date)] = CellValue::number(oleDayNumber(QDate(2010, 1, 8)));
        rows.push_back(day(QDate(2010, 1, 3), "61", "20"));
        rows.back()[columnIndex(DiaryColumn::Date)] = CellValue::text("last Sunday");
        const DiaryTable diary(rows);
        const GraphWindow w = window(QDate(2010, 1, 1), QDate(2010, 1, 8));

        const Series intake = GetContrastData_CalIn(diary, w.start, w.end);
        QCOMPARE(datesOf(intake), (QStringList{"2010/01/02", "2010/01/03", "2010/01/04", "2010/01/05", "2010/01/06",
                                               "2010/01/07", "2010/01/08"}));
        QCOMPARE(intake.levels, (QStringList{"1", "1", "1", "1", "", "1", "1"}));
        const Series weight = GetContrastData_W(diary, w.start, w.end);
        QCOMPARE(weight.size(), 6);
        QVERIFY(!datesOf(weight).contains("2010/01/05"));
        QCOMPARE(weight.numbers.front(), 60.5);
        QVERIFY(!datesOf(GetContrastData_F(diary, w.start, w.end)).contains("2010/01/04"));
        QCOMPARE(GetContrastData_W(DiaryTable(), w.start, w.end).size(), 0);
    }

    void barGeometry()
    {
        QCOMPARE(barHalfWidth(89), 3);
        QCOMPARE(barHalfWidth(90), 2);
        QCOMPARE(barHalfWidth(139), 2);
        QCOMPARE(barHalfWidth(140), 1);
        QCOMPARE(barSpan(BarRow::Intake, "0").top, 38);
        QCOMPARE(barSpan(BarRow::Intake, "1").top, 32);
        QCOMPARE(barSpan(BarRow::Intake, "2").top, 26);
        QCOMPARE(barSpan(BarRow::Intake, "").height, 18);
        QCOMPARE(barSpan(BarRow::Burn, "0").top, 64);
        QCOMPARE(barSpan(BarRow::Burn, "1").top, 58);
        QCOMPARE(barSpan(BarRow::Burn, "x").top, 52);
    }

    // Leaving a limit edit: the limit taken, put back, or the text left as typed;
    // a limit not taken says the rule it breaks.
    void limitExits_data()
    {
        QTest::addColumn<LimitCase>("exit");
        const QString weight = "は使えません。体重は 0 から 1000 kg までの数値です。";
        const auto accept = LimitExit::Accept;
        const auto putBack = LimitExit::PutBack;
        const auto ignore = LimitExit::Ignore;
        QTest::newRow("upper 61.5 over 60") << LimitCase{true, "61.5", "60", accept, "61.5", {}};
        QTest::newRow("upper with blanks") << LimitCase{true, " 80 ", "60", accept, "80", {}};
        QTest::newRow("full-width upper") << LimitCase{true, "８０", "60", accept, "80", {}};
        QTest::newRow("lower 69 under 70") << LimitCase{false, "69", "70", accept, "69", {}};
        QTest::newRow("upper 1000: the highest") << LimitCase{true, "1000", "60", accept, "1000", {}};
        QTest::newRow("upper 1e20") << LimitCase{true, "1e20", "60", putBack, {}, "「1e20」" + weight};
        QTest::newRow("upper as a date") << LimitCase{true, "20261207", "60", putBack, {}, "「20261207」" + weight};
        QTest::newRow("lower below 0") << LimitCase{false, "-3", "70", putBack, {}, "「-3」" + weight};
        QTest::newRow("upper within 1 of the lower") << LimitCase{
            true, "61", "60", putBack, {}, "「61」は使えません。体重の上限は下限 60 より 1 を超えて大きい数値です。"};
        QTest::newRow("lower within 1 of the upper") << LimitCase{
            false, "69.5", "70", putBack, {}, "「69.5」は使えません。体重の下限は上限 70 より 1 以上小さい数値です。"};
        QTest::newRow("upper in words") << LimitCase{
            true, "heavy", "60", ignore, {}, "「heavy」は使えません。体重の上限は 0 以外の数値です。"};
        QTest::newRow("lower 0") << LimitCase{false,  "0", "70",
                                              ignore, {},  "「0」は使えません。体重の下限は 0 以外の数値です。"};
        QTest::newRow("upper emptied") << LimitCase{true,   "", "60",
                                                    ignore, {}, "空欄は使えません。体重の上限は 0 以外の数値です。"};
    }

    void limitExits()
    {
        QFETCH(LimitCase, exit);
        const LimitExit result = exit.upperEdit ? upperLimitExit(exit.typed, exit.other, WeightBounds)
                                                : lowerLimitExit(exit.typed, exit.other, WeightBounds);
        QCOMPARE(int(result.kind), int(exit.kind));
        QCOMPARE(result.text, exit.text);
        QCOMPARE(result.rule, exit.rule);
    }

    void stepButtons()
    {
        QCOMPARE(upperStepDown("61.5", "60"), std::optional<QString>("60.5"));
        QCOMPARE(upperStepDown("60.5", "60"), std::nullopt);
        // Steps stop at the bounds: 99.5 % goes up to 100, not 100.5.
        QCOMPARE(upperStepUp("99.5", FatBounds), std::optional<QString>("100"));
        QCOMPARE(upperStepUp("100", FatBounds), std::nullopt);
        QCOMPARE(upperStepUp("250", WeightBounds), std::optional<QString>("251"));
        QCOMPARE(upperStepUp("999.5", WeightBounds), std::optional<QString>("1000"));
        QCOMPARE(upperStepUp("1000", WeightBounds), std::nullopt);
        QCOMPARE(lowerStepDown("1.5", WeightBounds), QString("0.5"));
        QCOMPARE(lowerStepDown("0.5", WeightBounds), QString("0"));
        QCOMPARE(lowerStepDown("-0.5", FatBounds), QString("0"));
        QCOMPARE(lowerStepUp("60", "61.5"), std::optional<QString>("61"));
        QCOMPARE(lowerStepUp("61", "61.5"), std::nullopt);
        QVERIFY(datesAccepted(QDate(2010, 1, 1), QDate(2010, 1, 8)));
        QVERIFY(!datesAccepted(QDate(2010, 1, 1), QDate(2010, 1, 7)));
    }

    void barsAndMarkersOnTheirPixels()
    {
        const QColor weightColour(0, 128, 0);
        const DiaryTable diary(
            {day(QDate(2010, 1, 2), "65.5", "", "1", "0"), day(QDate(2010, 1, 20), "66", "", "2", "")});
        GraphWindow w = window(QDate(2010, 1, 1), QDate(2010, 1, 31));
        w.weight = ValueRange{60, 70};
        const GraphPicture picture =
            renderGraph({&diary, w, QImage(), AxisArtwork().Img_CrossAxle2, weightColour, Qt::blue});

        // 2 January: intake bar columns 17 to 22, rows 32 to 43 (level 1).
        QCOMPARE(columnsOf(picture.crossStrip, 32, Qt::red, 100), (QList<int>{17, 18, 19, 20, 21, 22}));
        QCOMPARE(columnsOf(picture.crossStrip, 43, Qt::red).first(), 17);
        QVERIFY(columnsOf(picture.crossStrip, 31, Qt::red, 100).isEmpty());
        // Burn level 0: rows 64 to 69 only; the tallest burn bar (empty level) from row 52.
        QVERIFY(columnsOf(picture.crossStrip, 63, Qt::blue).contains(int(GetPixel(31, 19, 774)) - 4));
        QCOMPARE(columnsOf(picture.crossStrip, 64, Qt::blue).first(), 17);
        QVERIFY(!columnsOf(picture.crossStrip, 63, Qt::blue).contains(17));
        // The band between the rows of bars.
        QCOMPARE(columnsOf(picture.crossStrip, 45, QColor(166, 202, 240)).size(), 774);
        QCOMPARE(columnsOf(picture.crossStrip, 46, QColor(166, 202, 240)).size(), 774);
        // The weight marker of 2 January: columns 22 to 25 around (24, 140).
        QCOMPARE(picture.picture.pixelColor(22, 138), weightColour);
        QCOMPARE(picture.picture.pixelColor(25, 141), weightColour);
        QCOMPARE(picture.picture.pixelColor(21, 138), QColor(Qt::white));
    }

    void bodyFatLineLiesOverWeightLine()
    {
        // Weight rises and body fat falls on the same scale: the lines cross mid-window.
        const DiaryTable diary({day(QDate(2010, 1, 2), "61", "69"), day(QDate(2010, 1, 30), "69", "61")});
        GraphWindow w = window(QDate(2010, 1, 1), QDate(2010, 1, 31));
        w.weight = ValueRange{60, 70};
        w.fat = ValueRange{60, 70};
        w.mode = 2;
        const GraphPicture picture =
            renderGraph({&diary, w, QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue});
        const int crossY = valueY({60, 70}, 65);
        // The pixels each line alone covers; those both cover are the crossing,
        // and there body fat is on top.
        w.mode = 1;
        const QImage fatOnly =
            renderGraph({&diary, w, QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue}).picture;
        w.mode = 0;
        const QImage weightAlone =
            renderGraph({&diary, w, QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue}).picture;
        int crossing = 0;
        for (int y = 0; y < weightAlone.height(); ++y) {
            for (int x : columnsOf(weightAlone, y, Qt::red)) {
                if (fatOnly.pixelColor(x, y) == QColor(Qt::blue)) {
                    QCOMPARE(picture.picture.pixelColor(x, y), QColor(Qt::blue));
                    ++crossing;
                }
            }
        }
        QVERIFY(crossing > 0);
        // Mode 0 draws the weight line alone.
        QVERIFY(columnsOf(weightAlone, crossY, Qt::blue).isEmpty());
        QVERIFY(!columnsOf(weightAlone, crossY, Qt::red).isEmpty());
    }

    void unusableLimitsSkipTheLine()
    {
        const DiaryTable diary({day(QDate(2010, 1, 2), "61", "20")});
        GraphWindow w = window(QDate(2010, 1, 1), QDate(2010, 1, 31));
        w.fat = ValueRange{10, 30};
        w.mode = 2; // both lines, but the weight limits are unusable
        const GraphPicture picture =
            renderGraph({&diary, w, QImage(), AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue});
        QVERIFY(picture.weightCaptions.empty());
        QCOMPARE(picture.weight.size(), 0);
        QCOMPARE(picture.fat.size(), 1);
        QVERIFY(!picture.fatCaptions.empty());
        QCOMPARE(picture.intake.size(), 1);
    }

    void backgroundOfAnotherSize_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("half as large") << QSize(387, 156);
        QTest::newRow("other proportions") << QSize(1000, 200);
    }

    // The points sit on their axis values whatever the background's size: the
    // background is brought to the graph's size before the lines are drawn.
    void backgroundOfAnotherSize()
    {
        QFETCH(QSize, size);
        QImage background(size, QImage::Format_RGB32);
        background.fill(Qt::green);
        QPainter(&background).fillRect(size.width() / 2, 0, size.width() - size.width() / 2, size.height(), Qt::yellow);

        const DiaryTable diary({day(QDate(2010, 1, 2), "65.5")});
        GraphWindow w = window(QDate(2010, 1, 1), QDate(2010, 1, 31));
        w.weight = ValueRange{60, 70};
        const GraphPicture picture =
            renderGraph({&diary, w, background, AxisArtwork().Img_CrossAxle2, Qt::red, Qt::blue});
        QCOMPARE(picture.picture.size(), QSize(774, 312));
        // The marker of 2 January, 65.5 kg: columns 22 to 25 around (24, 140).
        QCOMPARE(columnsOf(picture.picture, 138, Qt::red), (QList<int>{22, 23, 24, 25}));
        QCOMPARE(columnsOf(picture.picture, 141, Qt::red), (QList<int>{22, 23, 24, 25}));
        // One day alone: its marker (4 by 4 pixels) and no line.
        int coloured = 0;
        for (int y = 0; y < picture.picture.height(); ++y)
            coloured += columnsOf(picture.picture, y, Qt::red).size();
        QCOMPARE(coloured, 16);
        // The whole background is there, squeezed or stretched.
        QCOMPARE(picture.picture.pixelColor(5, 5), QColor(Qt::green));
        QCOMPARE(picture.picture.pixelColor(380, 300), QColor(Qt::green));
        QCOMPARE(picture.picture.pixelColor(394, 5), QColor(Qt::yellow));
        QCOMPARE(picture.picture.pixelColor(770, 308), QColor(Qt::yellow));
    }
};

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
