#include "datetext.h"
#include "helpers.h"
#include "listrules.h"
#include "startup.h"
#include "recordlistdialog.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

// Levels are numbers, an empty text a blank cell; the texts fill the comments and the photo, in that order.
DiaryRow day(QDate date, const QString &intake = "1", const QString &burn = "1", const QStringList &texts = {},
             double weight = 65.5, double fat = 0)
{
    const auto number = [](bool present, double value) { return present ? CellValue::number(value) : CellValue(); };
    DiaryRow row{CellValue::date(oleDayNumber(date)), number(weight > 0, weight), number(fat > 0, fat),
                 number(!intake.isEmpty(), intake.toDouble()), number(!burn.isEmpty(), burn.toDouble())};
    for (qsizetype i = 0; i < texts.size(); ++i)
        row[columnIndex(DiaryColumn::IntakeComment) + i] = CellValue::textOrBlank(texts[i]);
    return row;
}

QTableWidget *grid(const RecordListDialog &list)
{
    return control<QTableWidget>(list, "StrGrd");
}

// Each row of the grid as its cells' texts joined by |, from the first column given to the last (or every column).
QStringList rowTexts(const QTableWidget *grid, int first = 0, int last = -1)
{
    QStringList rows;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = first; c <= (last < 0 ? grid->columnCount() - 1 : last); ++c)
            cells << (grid->item(r, c) ? grid->item(r, c)->text() : QStringLiteral("(no item)"));
        rows << cells.join(u'|');
    }
    return rows;
}

} // namespace

class TestList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { prepareApplication(); } // the program's fonts

    // Comments wrap at a column's width; photos fit 220 x 123 (the window shows the common fits).
    void wrappingAndPhotoBoxes()
    {
        QCOMPARE(fitPhotoBox({2000, 100}).rowHeight, 17);
        QCOMPARE(fitPhotoBox({500, 250}).size, QSize(220, 110)); // 246 wide by height: too wide
        QCOMPARE(fitPhotoBox({}).fit, PhotoBox::None);
        // Ten pixels a character, a hundred to a line: lines break at predictable places.
        const auto tenPixelsEach = [](QStringView piece) { return int(piece.size()) * 10; };
        const QString ten(10, u'x');
        QStringList wrapped;
        for (const QString &text :
             QStringList{"short", "abcdefghijkl", ten + ten + "xxxxx", "ab\r\ncd", "a\r\nb\r\nc", "ab\r\n" + ten}) {
            const Wrapped result = WrapCell(text, 100, tenPixelsEach);
            wrapped << result.text + ' ' + QString::number(result.height);
        }
        // A carriage return always starts a line.
        QCOMPARE(wrapped, (QStringList{"short 20", "abcdefghij\r\nkl 36", ten + "\r\n" + ten + "\r\nxxxxx 52",
                                       "ab\r\ncd 36", "a\r\nb\r\nc 52", "ab\r\n" + ten + " 36"}));
    }

    // The days of the window, both ends included, with their level words and
    // counts; their comments opened by a click or all at once, their photos.
    void daysOfTheWindow()
    {
        const DiaryTable none;
        RecordListDialog probe(&none, QDate(), QDate(), "/none/");
        QString threeLines = "歩"; // a burn comment of three lines at the width of its column
        while (probe.wrap(threeLines, 6).height < 52)
            threeLines += u'歩';
        const QString second(60, u'夜');
        TempProgramFolder folder;
        QDir().mkpath(folder.filePath("Picture"));
        QImage(640, 480, QImage::Format_RGB32).save(folder.filePath("Picture/wide.bmp"), "BMP");
        QImage(800, 200, QImage::Format_RGB32).save(folder.filePath("Picture/panorama.bmp"), "BMP");
        folder.write("Picture/text.bmp", "not a picture");
        std::vector<DiaryRow> rows{day(QDate(2009, 12, 31), "0"),
                                   day(QDate(2010, 1, 1), "1", "1", {{}, {}, "text.bmp"}),
                                   day(QDate(2010, 1, 2), "", "0", {"短い", threeLines}),
                                   day(QDate(2010, 1, 2), "1", "2", {second}),
                                   day(QDate(2010, 1, 15), "1", "1", {{}, {}, "wide.bmp"}),
                                   day(QDate(2010, 1, 20), "1", "1", {{}, {}, "panorama.bmp"}),
                                   day(QDate(2010, 1, 31), "1", "1", {{}, {}, "missing.bmp"}),
                                   day(QDate(2010, 2, 1), "0"),
                                   day(QDate(2010, 2, 2)),
                                   day(QDate(2010, 2, 3))};
        // Dates as a spreadsheet may hold them too: as a bare number, as text, as no date.
        rows[4][columnIndex(DiaryColumn::Date)] = CellValue::number(oleDayNumber(QDate(2010, 1, 15)));
        rows[6][columnIndex(DiaryColumn::Date)] = CellValue::text("2010/01/31");
        rows[8][columnIndex(DiaryColumn::Date)] = CellValue::text("some day");
        const DiaryTable diary(rows);
        RecordingResponder messages;
        RecordListDialog list(&diary, QDate(2010, 1, 1), QDate(2010, 1, 31), folder.filePath("Picture/"));
        QTableWidget *shown = grid(list);
        QCOMPARE(rowTexts(shown, 3, 4), (QStringList{"ふつう|ふつう", "多い|少ない", "ふつう|多い", "ふつう|ふつう",
                                                     "ふつう|ふつう", "ふつう|ふつう"}));
        QCOMPARE(shown->item(0, 0)->text() + shown->item(5, 0)->text(), QString("2010/01/012010/01/31"));
        QStringList counts;
        for (const char *edit : {"Edt_CalIn_Little", "Edt_CalIn_Stand", "Edt_CalIn_Many", "Edt_CalOut_Little",
                                 "Edt_CalOut_Stand", "Edt_CalOut_Many"})
            counts << control<QLineEdit>(list, edit)->text();
        QCOMPARE(counts, (QStringList{"0", "5", "1", "1", "4", "1"}));
        QCOMPARE(control<QLineEdit>(list, "Edt_StartDay")->text(), QString("2010/01/01"));

        // Each of two rows of one date opens its own comment.
        list.StrGrdClick(2, 5);
        QVERIFY(shown->rowHeight(2) > 16);
        QCOMPARE(shown->rowHeight(1), 16);
        QVERIFY(shown->item(2, 5)->text().contains("\r\n"));
        list.StrGrdClick(2, 5);
        QCOMPARE(shown->rowHeight(2), 16);
        QCOMPARE(shown->item(2, 5)->text(), second);
        list.StrGrdClick(2, 6); // an empty cell: nothing changes
        QCOMPARE(shown->rowHeight(2), 16);
        QTest::mouseClick(control<QPushButton>(list, "BtBtn_Wrap"), Qt::LeftButton);
        QCOMPARE(shown->rowHeight(1), 52);
        QCOMPARE(shown->item(1, 6)->text().count("\r\n"), 2);
        QTest::mouseClick(control<QPushButton>(list, "BtBtn_One"), Qt::LeftButton);
        QCOMPARE(shown->rowHeight(1), 16);

        // A file that is no picture shows as none, and a missing file too.
        QTest::mouseClick(control<QPushButton>(list, "BtBtn_Picture"), Qt::LeftButton);
        QCOMPARE((QList<int>{shown->rowHeight(0), shown->rowHeight(3), shown->rowHeight(4), shown->rowHeight(5)}),
                 (QList<int>{16, 123, 55, 16}));
        QVERIFY(list.drawsPicture(3, 7));
        QVERIFY(messages.shown.isEmpty());
        // One line again, then a click on one photo shows that photo alone.
        QTest::mouseClick(control<QPushButton>(list, "BtBtn_One"), Qt::LeftButton);
        list.StrGrdClick(4, 7);
        QVERIFY(list.drawsPicture(4, 7));
        QVERIFY(!list.drawsPicture(3, 7));
        QCOMPARE(shown->rowHeight(4), 55);
        list.StrGrdClick(4, 7); // expanded: back to the file name
        QCOMPARE(shown->rowHeight(4), 16);
    }

    // The summaries of a known diary through the window's shortcuts (the same
    // actions as its context menu), and the days again exactly as they were.
    void summariesAndBackToTheDays()
    {
        const DiaryTable diary(
            {day(QDate(2026, 3, 1), "2", "1", {}, 72, 26), day(QDate(2026, 3, 7), "0", "1", {}, 71, 25),
             day(QDate(2026, 3, 8), "1", "2", {}, 70), day(QDate(2026, 3, 10), "1", "0", {}, 0, 24),
             day(QDate(2026, 3, 31), "2", "2", {}, 69, 23), day(QDate(2026, 4, 4), "0", "0", {}, 68.5),
             day(QDate(2026, 4, 20), "0", "2", {}, 67.5)}); // after the window, in its month
        RecordListDialog list(&diary, QDate(2026, 3, 3), QDate(2026, 4, 4), "/none/");
        list.DataToStrGrd(RecordListDialog::Pictures); // whose photo column is the summaries' 最低 of body fat
        list.show();
        QVERIFY(QTest::qWaitForWindowActive(&list));
        QTableWidget *shown = grid(list);
        QCOMPARE(shown->contextMenuPolicy(), Qt::ActionsContextMenu);
        QCOMPARE(shown->actions().size(), 3);
        const QImage days = list.grab().toImage();

        // 2026/03/01 is a Sunday; weeks from Sunday, each period counts all its days.
        QTest::keySequence(&list, QKeySequence("Ctrl+2"));
        QCOMPARE(rowTexts(shown),
                 (QStringList{"2026/03/01～03/07|2|71.50|71|72||25.50|25|26||1|0|1|0|2|0",
                              "2026/03/08～03/14|2|70.00|70|70|-1.50|24.00|24|24|-1.50|0|2|0|1|0|1",
                              "2026/03/15～03/21|0|||||||||0|0|0|0|0|0", "2026/03/22～03/28|0|||||||||0|0|0|0|0|0",
                              "2026/03/29～04/04|2|68.75|68.5|69||23.00|23|23||1|0|1|1|0|1"}));
        QTest::keySequence(&list, QKeySequence("Ctrl+3"));
        QCOMPARE(rowTexts(shown), (QStringList{"2026/03|5|70.50|69|72||24.50|23|26||1|2|2|1|2|2",
                                               "2026/04|2|68.00|67.5|68.5|-2.50|||||2|0|0|1|0|1"}));
        QVERIFY(!list.drawsPicture(0, 7));
        list.StrGrdClick(0, 5); // cells of a summary do not open like comments
        QCOMPARE(shown->rowHeight(0), 16);

        QTest::keySequence(&list, QKeySequence("Ctrl+1"));
        QCOMPARE(list.grab().toImage(), days); // in the photo mode they were shown in
        QVERIFY(control<QAction>(list, "Act_Days")->isChecked());
    }
};

QTEST_MAIN(TestList)
#include "tst_list.moc"
