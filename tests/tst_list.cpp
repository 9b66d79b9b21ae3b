#include "datetext.h"
#include "helpers.h"
#include "listrules.h"
#include "startup.h"
#include "recordlistdialog.h"

#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {

DiaryRow day(QDate date, const QString &intake = "1", const QString &burn = "1", const QString &commentIn = {},
             const QString &commentOut = {}, const QString &photo = {})
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    row[columnIndex(DiaryColumn::Weight)] = CellValue::number(65.5);
    if (!intake.isEmpty())
        row[columnIndex(DiaryColumn::IntakeLevel)] = CellValue::number(intake.toDouble());
    if (!burn.isEmpty())
        row[columnIndex(DiaryColumn::BurnLevel)] = CellValue::number(burn.toDouble());
    if (!commentIn.isEmpty())
        row[columnIndex(DiaryColumn::IntakeComment)] = CellValue::text(commentIn);
    if (!commentOut.isEmpty())
        row[columnIndex(DiaryColumn::BurnComment)] = CellValue::text(commentOut);
    if (!photo.isEmpty())
        row[columnIndex(DiaryColumn::Photo)] = CellValue::text(photo);
    return row;
}

// Ten pixels a character: lines break at predictable places.
int tenPixelsEach(QStringView piece)
{
    return int(piece.size()) * 10;
}

} // namespace

class TestList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { prepareApplication(); } // the program's fonts
    void wrapping_data();
    void wrapping();
    void photoBoxes();
    void levelsAndCounts();
    void windowIncludesBothEnds();
    void wrappedCommentsSetTheRowHeight();
    void photosSetTheRowHeight();
    void clickingAToggle();
    void textStaysInsideItsCells();
    void summariesAndBackToTheDays_data();
    void summariesAndBackToTheDays();
};

void TestList::wrapping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("wrapped");
    QTest::addColumn<int>("height");
    QTest::newRow("fits") << "short"
                          << "short" << 20;
    QTest::newRow("one break") << "abcdefghijkl"
                               << "abcdefghij\r\nkl" << 36;
    QTest::newRow("two breaks") << QString(25, u'x')
                                << QString(10, u'x') + "\r\n" + QString(10, u'x') + "\r\n" + QString(5, u'x') << 52;
    QTest::newRow("a carriage return starts a line") << "ab\r\ncd"
                                                     << "ab\r\ncd" << 36;
    QTest::newRow("two carriage returns") << "a\r\nb\r\nc"
                                          << "a\r\nb\r\nc" << 52;
    QTest::newRow("a full line after a break") << "ab\r\n" + QString(10, u'x') << "ab\r\n" + QString(10, u'x') << 36;
}

void TestList::wrapping()
{
    QFETCH(QString, text);
    QFETCH(QString, wrapped);
    QFETCH(int, height);
    const Wrapped result = WrapCell(text, 100, tenPixelsEach);
    QCOMPARE(result.text, wrapped);
    QCOMPARE(result.height, height);
}

void TestList::photoBoxes()
{
    const PhotoBox wide = fitPhotoBox(QSize(640, 480));
    QCOMPARE(wide.fit, PhotoBox::ByHeight);
    QCOMPARE(wide.size, QSize(164, 123));
    QCOMPARE(wide.rowHeight, 123);
    const PhotoBox panorama = fitPhotoBox(QSize(800, 200));
    QCOMPARE(panorama.fit, PhotoBox::ByWidth);
    QCOMPARE(panorama.size, QSize(220, 55));
    QCOMPARE(panorama.rowHeight, 55);
    QCOMPARE(fitPhotoBox(QSize(2000, 100)).rowHeight, 17);
    QCOMPARE(fitPhotoBox(QSize(500, 250)).size, QSize(220, 110)); // 246 wide by height: too wide
    QCOMPARE(fitPhotoBox(QSize()).fit, PhotoBox::None);
}

void TestList::levelsAndCounts()
{
    QCOMPARE(levelWord("0"), QString("少ない"));
    QCOMPARE(levelWord("1"), QString("ふつう"));
    QCOMPARE(levelWord("2"), QString("多い"));
    QCOMPARE(levelWord(""), QString("多い"));

    const DiaryTable diary({day(QDate(2010, 1, 2), "", "0"), day(QDate(2010, 1, 3), "1", "2")});
    RecordListDialog list(&diary, QDate(2010, 1, 1), QDate(2010, 1, 31), "/none/");
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    QCOMPARE(grid->item(0, 3)->text(), QString("多い"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_CalIn_Many")->text(), QString("1"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_CalIn_Stand")->text(), QString("1"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_CalIn_Little")->text(), QString("0"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_CalOut_Little")->text(), QString("1"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_CalOut_Many")->text(), QString("1"));
}

void TestList::windowIncludesBothEnds()
{
    std::vector<DiaryRow> rows{day(QDate(2009, 12, 31), "0"), day(QDate(2010, 1, 1)),      day(QDate(2010, 1, 15)),
                               day(QDate(2010, 1, 31)),       day(QDate(2010, 2, 1), "0"), day(QDate(2010, 2, 2)),
                               day(QDate(2010, 2, 3))};
    // Dates as a spreadsheet may hold them too: as a bare number, as text, as no date.
    rows[2][columnIndex(DiaryColumn::Date)] = CellValue::number(oleDayNumber(QDate(2010, 1, 15)));
    rows[3][columnIndex(DiaryColumn::Date)] = CellValue::text("2010/01/31");
    rows[5][columnIndex(DiaryColumn::Date)] = CellValue::text("some day");
    const DiaryTable diary(rows);
    RecordListDialog list(&diary, QDate(2010, 1, 1), QDate(2010, 1, 31), "/none/");
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    QCOMPARE(grid->rowCount(), 3);
    QCOMPARE(grid->item(0, 0)->text(), QString("2010/01/01"));
    QCOMPARE(grid->item(2, 0)->text(), QString("2010/01/31"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_CalIn_Little")->text(), QString("0"));
    QCOMPARE(list.findChild<QLineEdit *>("Edt_StartDay")->text(), QString("2010/01/01"));
}

void TestList::wrappedCommentsSetTheRowHeight()
{
    const DiaryTable none;
    RecordListDialog probe(&none, QDate(), QDate(), "/none/");
    // A burn comment of three lines at the width of its column.
    QString threeLines = "歩";
    while (probe.wrap(threeLines, 6).height < 52)
        threeLines += u'歩';
    const DiaryTable diary({day(QDate(2010, 1, 2), "1", "1", "短い", threeLines)});
    RecordListDialog list(&diary, QDate(2010, 1, 1), QDate(2010, 1, 31), "/none/");
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    QCOMPARE(grid->rowHeight(0), 16);
    QTest::mouseClick(list.findChild<QPushButton *>("BtBtn_Wrap"), Qt::LeftButton);
    QCOMPARE(list.mode(), RecordListDialog::WrappedComments);
    QCOMPARE(grid->rowHeight(0), 52);
    QCOMPARE(grid->item(0, 6)->text().count("\r\n"), 2);
    QTest::mouseClick(list.findChild<QPushButton *>("BtBtn_One"), Qt::LeftButton);
    QCOMPARE(grid->rowHeight(0), 16);
}

void TestList::photosSetTheRowHeight()
{
    TempProgramFolder folder;
    QDir().mkpath(folder.filePath("Picture"));
    QImage(640, 480, QImage::Format_RGB32).save(folder.filePath("Picture/20100102.bmp"), "BMP");
    QImage(800, 200, QImage::Format_RGB32).save(folder.filePath("Picture/20100103.bmp"), "BMP");
    folder.write("Picture/20100104.bmp", "not a picture");
    const DiaryTable diary({day(QDate(2010, 1, 2), "1", "1", {}, {}, "20100102.bmp"),
                            day(QDate(2010, 1, 3), "1", "1", {}, {}, "20100103.bmp"),
                            day(QDate(2010, 1, 4), "1", "1", {}, {}, "20100104.bmp"),
                            day(QDate(2010, 1, 5), "1", "1", {}, {}, "20100105.bmp")});
    RecordingResponder messages;
    RecordListDialog list(&diary, QDate(2010, 1, 1), QDate(2010, 1, 31), folder.filePath("Picture/"));
    QTest::mouseClick(list.findChild<QPushButton *>("BtBtn_Picture"), Qt::LeftButton);
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    QCOMPARE(grid->rowHeight(0), 123);
    QCOMPARE(grid->rowHeight(1), 55);
    QCOMPARE(grid->rowHeight(2), 16); // a file that is no picture shows as none
    QCOMPARE(grid->rowHeight(3), 16); // a missing file too
    QVERIFY(list.drawsPicture(0, 7));
    QVERIFY(messages.shown.isEmpty());

    // One line again, then a click on one photo shows that photo alone.
    QTest::mouseClick(list.findChild<QPushButton *>("BtBtn_One"), Qt::LeftButton);
    list.StrGrdClick(1, 7);
    QCOMPARE(list.mode(), RecordListDialog::OnePicture);
    QVERIFY(list.drawsPicture(1, 7));
    QVERIFY(!list.drawsPicture(0, 7));
    QCOMPARE(grid->rowHeight(1), 55);
    list.StrGrdClick(1, 7); // expanded: back to the file name
    QCOMPARE(list.mode(), RecordListDialog::OnePhotoText);
    QCOMPARE(grid->rowHeight(1), 16);
}

// A click on a long comment opens it to its full height and a second closes
// it; each of two rows of one date keeps its own comment.
void TestList::clickingAToggle()
{
    const QString first = QString(60, u'朝'), second = QString(60, u'夜');
    const DiaryTable diary({day(QDate(2010, 1, 2), "1", "1", first), day(QDate(2010, 1, 2), "1", "1", second)});
    RecordListDialog list(&diary, QDate(2010, 1, 1), QDate(2010, 1, 31), "/none/");
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    list.StrGrdClick(1, 5);
    QVERIFY(grid->rowHeight(1) > 16);
    QCOMPARE(grid->rowHeight(0), 16);
    QVERIFY(grid->item(1, 5)->text().contains("\r\n"));
    list.StrGrdClick(1, 5);
    QCOMPARE(grid->rowHeight(1), 16);
    QCOMPARE(grid->item(1, 5)->text(), second);
    list.StrGrdClick(0, 6); // an empty cell: nothing changes
    QCOMPARE(grid->rowHeight(0), 16);
}

// The rows of an image that hold anything but its background, and the
// columns, counted from its left edge.
struct Ink
{
    QList<int> rows, columns;
};
static Ink inkOf(const QImage &image, const QRect &area, const QColor &background)
{
    Ink ink;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixelColor(x, y) == background)
                continue;
            if (!ink.rows.contains(y))
                ink.rows << y;
            ink.columns << x - area.left();
        }
    }
    return ink;
}

// Every cell of a one-line row, as drawn on screen: its text keeps all of
// its ink in the 16-pixel row and stays clear of the next column.
void TestList::textStaysInsideItsCells()
{
    DiaryRow row = day(QDate(2026, 11, 1), "2", "0", "ぎょうざ定食とご飯大盛り", "ジョギング30分、公園を一周");
    row[columnIndex(DiaryColumn::Weight)] = CellValue::number(64.2);
    row[columnIndex(DiaryColumn::Fat)] = CellValue::number(22.75);
    const DiaryTable diary({row});
    RecordListDialog list(&diary, QDate(2026, 11, 1), QDate(2026, 11, 30), "/none/");
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    const QImage drawn = grid->viewport()->grab().toImage();
    QVERIFY(list.textFont().pixelSize() >= 11); // smaller only as far as it must be
    for (int column = 0; column < 7; ++column) {
        const QString text = grid->item(0, column)->text();
        const QRect cell = grid->visualRect(grid->model()->index(0, column));
        const QColor background = drawn.pixelColor(cell.topLeft());
        const Ink inCell = inkOf(drawn, cell, background);
        QVERIFY2(!inCell.rows.isEmpty(), qPrintable(text));
        // The same text with room all round: no row of its ink is lost in the cell.
        QImage free(cell.width() * 2, 80, QImage::Format_RGB32);
        free.fill(Qt::white);
        QPainter painter(&free);
        painter.setFont(list.textFont());
        painter.setPen(Qt::black);
        painter.drawText(10, 40, text);
        painter.end();
        // (A line narrowed to fit may blur into one row more, never fewer.)
        const qsizetype freeRows = inkOf(free, free.rect(), Qt::white).rows.size();
        QVERIFY2(inCell.rows.size() >= freeRows, qPrintable(text));
        QVERIFY2(*std::min_element(inCell.columns.begin(), inCell.columns.end()) >= 2, qPrintable(text));
        QVERIFY2(*std::max_element(inCell.columns.begin(), inCell.columns.end()) < cell.width() - 2, qPrintable(text));
    }
}

QTEST_MAIN(TestList)
#include "tst_list.moc"

void TestList::summariesAndBackToTheDays_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QStringList>("rows"); // the cells of each row, joined by |
    // 2026/03/01 is a Sunday; weeks from Sunday, each period counts all its days.
    QTest::newRow("weeks") << "Ctrl+2"
                           << QStringList{"2026/03/01～03/07|2|71.50|71|72||25.50|25|26||1|0|1|0|2|0",
                                          "2026/03/08～03/14|2|70.00|70|70|-1.50|24.00|24|24|-1.50|0|2|0|1|0|1",
                                          "2026/03/15～03/21|0|||||||||0|0|0|0|0|0",
                                          "2026/03/22～03/28|0|||||||||0|0|0|0|0|0",
                                          "2026/03/29～04/04|2|68.75|68.5|69||23.00|23|23||1|0|1|1|0|1"};
    QTest::newRow("months") << "Ctrl+3"
                            << QStringList{"2026/03|5|70.50|69|72||24.50|23|26||1|2|2|1|2|2",
                                           "2026/04|2|68.00|67.5|68.5|-2.50|||||2|0|0|1|0|1"};
}

// The summaries of a known diary through the window's shortcuts (the same
// actions as its context menu), and the days again exactly as they were.
void TestList::summariesAndBackToTheDays()
{
    QFETCH(QString, keys);
    QFETCH(QStringList, rows);
    const auto weighed = [](QDate date, const QString &intake, const QString &burn, double weight, double fat) {
        DiaryRow row = day(date, intake, burn);
        row[columnIndex(DiaryColumn::Weight)] = weight > 0 ? CellValue::number(weight) : CellValue();
        row[columnIndex(DiaryColumn::Fat)] = fat > 0 ? CellValue::number(fat) : CellValue();
        return row;
    };
    const DiaryTable diary({weighed(QDate(2026, 3, 1), "2", "1", 72, 26), weighed(QDate(2026, 3, 7), "0", "1", 71, 25),
                            weighed(QDate(2026, 3, 8), "1", "2", 70, 0), weighed(QDate(2026, 3, 10), "1", "0", 0, 24),
                            weighed(QDate(2026, 3, 31), "2", "2", 69, 23),
                            weighed(QDate(2026, 4, 4), "0", "0", 68.5, 0),
                            weighed(QDate(2026, 4, 20), "0", "2", 67.5, 0)}); // after the window, in its month
    RecordListDialog list(&diary, QDate(2026, 3, 3), QDate(2026, 4, 4), "/none/");
    list.DataToStrGrd(RecordListDialog::Pictures); // whose photo column is the summaries' 最低 of body fat
    list.show();
    QVERIFY(QTest::qWaitForWindowActive(&list));
    auto *grid = list.findChild<QTableWidget *>("StrGrd");
    QCOMPARE(grid->contextMenuPolicy(), Qt::ActionsContextMenu);
    QCOMPARE(grid->actions().size(), 3);
    const QImage days = list.grab().toImage();

    QTest::keySequence(&list, QKeySequence(keys));
    QCOMPARE(list.view(), keys == "Ctrl+2" ? RecordListDialog::Weeks : RecordListDialog::Months);
    QCOMPARE(grid->horizontalHeaderItem(2)->text(), QString("体重平均"));
    QStringList shown;
    for (int r = 0; r < grid->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid->columnCount(); ++c)
            cells << grid->item(r, c)->text();
        shown << cells.join(u'|');
    }
    QCOMPARE(shown, rows);
    QVERIFY(list.grab().toImage() != days);
    QVERIFY(!list.drawsPicture(0, 7));
    list.StrGrdClick(0, 5); // cells of a summary do not open like comments
    QCOMPARE(grid->rowHeight(0), 16);

    QTest::keySequence(&list, QKeySequence("Ctrl+1"));
    QCOMPARE(list.view(), RecordListDialog::Days);
    QCOMPARE(grid->rowCount(), 5);
    QCOMPARE(list.mode(), RecordListDialog::Pictures);
    QCOMPARE(list.grab().toImage(), days);
    QVERIFY(list.findChild<QAction *>("Act_Days")->isChecked());
}
