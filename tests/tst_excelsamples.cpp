// Diaries in workbooks that Microsoft Excel wrote: each sample, with one of
// its worksheets renamed St_Trimbo, read and saved as a diary.
#include "datetext.h"
#include "diarybook.h"
#include "excelsamples.h"
#include "independent.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>

class TestExcelSamples : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void variantReadsAsXlrdReadsIt_data();
    void variantReadsAsXlrdReadsIt();
    void savesKeepEverythingElse_data();
    void savesKeepEverythingElse();
    void twoLineCommentWrapsNoOtherCell();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString Diary = QStringLiteral("St_Trimbo");

// Every sample, with the worksheet that becomes the diary and a day earlier
// than the sample's own days where it has them, or among them.
void sampleRows()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QString>("earlierDay");
    const auto row = [](const char *name, const QString &file, const QString &sheet, const QString &earlierDay) {
        QTest::newRow(name) << file << sheet << earlierDay;
    };
    row("Japanese text, empty top rows", "poi-12561-1.xls", "作業リスト", "2020/05/05");
    row("1904 dates, XF extensions", "sheetjs-1904.xls", "Sheet1", "2020/05/05");
    row("hyperlinks on column A", "sheetjs-hyperlink_stress_test_2011.xls", "Sheet1", "2020/05/05");
    row("names, an empty sheet", "xlrd-namesdemo.xls", "Sheet2", "2020/05/05");
    row("phonetic guides", "sheetjs-phonetic_text.xls", "Sheet1", "2020/05/05");
    row("charts over another sheet", "poi-WithThreeCharts.xls", "Sheet2", "2020/05/05");
    row("1904 dates in a row", "libxls-dates-1904.xls", "Sheet1", "1999/12/31");
    row("1904 dates and formulas", "phpss_1904_Calendar.xls", "Sheet1", "2022/06/01");
    row("notes, links, a picture on another sheet", "phpss_30template.xls", "Terms and conditions", "2020/05/05");
}

// The lines of one sheet in an xlrd dump ("sheet 'X'" and "X!r,c ...").
QStringList sheetLines(const QStringList &dump, const QString &sheet)
{
    QStringList lines;
    for (const QString &line : dump) {
        if (line.startsWith(sheet + u'!') || line.startsWith(QStringLiteral("sheet '%1' ").arg(sheet)))
            lines.append(line);
    }
    return lines;
}

// The diary sheet's cells outside the diary rows' columns A to H: right
// of H anywhere, and every column below the first diaryRows rows.
QStringList outsideDiary(const QStringList &dump, int diaryRows)
{
    QStringList lines;
    for (const QString &line : dump) {
        if (!line.startsWith(Diary + u'!'))
            continue;
        const QStringList place = line.mid(Diary.size() + 1).section(u' ', 0, 0).split(u',');
        if (place.value(0).toInt() >= diaryRows || place.value(1).toInt() >= 8)
            lines.append(line);
    }
    return lines;
}

// The lines "row,column ..." of the first rows.
QStringList topRows(const QStringList &lines, int rows)
{
    QStringList top;
    for (const QString &line : lines) {
        if (line.section(u',', 0, 0).toInt() <= rows)
            top.append(line);
    }
    return top;
}

// The diary's rows as xlrd reads them, each with its cells' formats, without
// their row numbers: a row moved whole is the same line wherever it went.
QStringList wholeRows(const XlrdDiary &diary)
{
    QMap<int, QStringList> rows;
    for (qsizetype i = 0; i < diary.cells.size(); ++i) {
        const QString place = diary.cells[i].section(u' ', 0, 0);
        const QString column = place.section(u',', 1);
        rows[place.section(u',', 0, 0).toInt()].append(
            QStringLiteral("%1 %2 | %3")
                .arg(column, diary.cells[i].section(u' ', 1), diary.formats[i].section(u' ', 1)));
    }
    QStringList lines;
    for (const QStringList &cells : rows)
        lines.append(cells.join(u"; "));
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Column A's order as the program sorts it: dates and numbers by value,
// then texts.
bool sortedByDate(const QStringList &cells)
{
    std::vector<std::pair<int, QString>> keys; // rank, then the value as a sortable text
    for (const QString &cell : cells) {
        if (cell.section(u' ', 0, 0).section(u',', 1) != u"1")
            continue;
        const QString kind = cell.section(u' ', 1, 1), text = cell.section(u' ', 2);
        if (kind == u"date")
            keys.emplace_back(0, QString::number(oleDayNumber(*parseDateText(text)), 'f', 6).rightJustified(20, u'0'));
        else if (kind == u"number")
            keys.emplace_back(0, QString::number(text.toDouble(), 'f', 6).rightJustified(20, u'0'));
        else
            keys.emplace_back(1, text.toLower());
    }
    return std::is_sorted(keys.begin(), keys.end());
}

DayValues twoLineDay(const QString &date, const QString &weight)
{
    return {date, weight, "21.5", 0, 2, "朝: パン\n夜: 魚", "散歩 30 分", {}};
}

} // namespace

void TestExcelSamples::variantReadsAsXlrdReadsIt_data()
{
    sampleRows();
}

void TestExcelSamples::variantReadsAsXlrdReadsIt()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    const QString path = m_dir.filePath(file);
    writeRenamedSample(excelSamplePath(file), sheet, path);
    if (QTest::currentTestFailed())
        return;

    DiaryBook book(path);
    QVERIFY(!book.open());
    book.firstEmptyRow();
    QCOMPARE(diaryLines(book.table()), xlrdDiary(path, Diary).cells);
}

void TestExcelSamples::savesKeepEverythingElse_data()
{
    sampleRows();
}

// Two saves: a new day at the end, then an earlier day sorted into place,
// both with a two-line comment. After each, as xlrd and Gnumeric read the
// book and record by record: the diary holds the days in date order, its
// rows moved whole with their formats; new rows have the sheet's default
// height; the comment wraps in a cell format added once; every other sheet,
// stream and record is as it was, and XFCRC still matches the XF records.
void TestExcelSamples::savesKeepEverythingElse()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QString, earlierDay);
    const QString path = m_dir.filePath(QStringLiteral("saved-") + file);
    writeRenamedSample(excelSamplePath(file), sheet, path);
    if (QTest::currentTestFailed())
        return;

    const WorkbookRecords records = workbookRecords(path, Diary);
    // Our checksum is the one Excel wrote, before anything is saved.
    QCOMPARE(records.xfCrcMatches, records.hasXfCrc);
    const QStringList dump = xlrdDump(path);
    const XlrdDiary diary = xlrdDiary(path, Diary);
    QMap<QString, QString> csv; // Gnumeric's reading of every other sheet
    for (auto it = records.sheets.cbegin(); it != records.sheets.cend(); ++it) {
        if (it.key() != Diary)
            csv.insert(it.key(), gnumericCsv(path, it.key()));
    }

    int addedXfs = -1;
    const std::vector<DayValues> saves{twoLineDay(QStringLiteral("2030/01/02"), QStringLiteral("65.5")),
                                       twoLineDay(earlierDay, QStringLiteral("66.25"))};
    for (size_t save = 0; save < saves.size(); ++save) {
        const DayValues &day = saves[save];
        const SaveDaysResult result = saveDays(path, {day}, false);
        QVERIFY(result.saved);

        // Text in column A right below the diary's first empty row joins the
        // diary once a day fills that row: the saved days are its top rows.
        const XlrdDiary saved = xlrdDiary(path, Diary);
        QCOMPARE(topRows(saved.cells, result.table.firstEmptyRow() - 1), diaryLines(result.table));
        QVERIFY2(sortedByDate(diaryLines(result.table)), qPrintable(saved.cells.join(u'\n')));
        const int row = result.table.findDate(day.date);
        QVERIFY(row > 0);
        const QString at = QStringLiteral("%1,").arg(row);
        for (const QString &cell : {QStringLiteral("1 date ") + day.date, QStringLiteral("2 number ") + day.weight,
                                    QStringLiteral("6 text ") + day.commentIn})
            QVERIFY2(saved.cells.contains(at + cell), qPrintable(at + cell));
        QVERIFY2(saved.formats.contains(at + QStringLiteral("6 General wraps")), qPrintable(saved.formats.join(u'\n')));
        const QStringList otherFormats = saved.formats.filter(QRegularExpression(QStringLiteral("^%1[2-5] ").arg(at)));
        QVERIFY2(otherFormats.filter(QStringLiteral(" wraps")).isEmpty(), qPrintable(otherFormats.join(u'\n')));
        // The sample's own rows moved whole, formats and all.
        for (const QString &line : wholeRows(diary))
            QVERIFY2(wholeRows(saved).contains(line), qPrintable(line));
        // Rows that had no height of their own take the sheet's default.
        QVERIFY(saved.defaultHeight > 0);
        for (int r = 0; r < result.table.firstEmptyRow() - 1; ++r) {
            if (size_t(r) >= diary.heights.size() || diary.heights[size_t(r)] < 0)
                QCOMPARE(saved.heights.at(size_t(r)), saved.defaultHeight);
        }

        const QStringList savedDump = xlrdDump(path);
        QCOMPARE(outsideDiary(savedDump, result.table.firstEmptyRow() - 1),
                 outsideDiary(dump, result.table.firstEmptyRow() - 1));
        const WorkbookRecords savedRecords = workbookRecords(path, Diary);
        QCOMPARE(savedRecords.otherStreams, records.otherStreams);
        QCOMPARE(savedRecords.sheets.keys(), records.sheets.keys());
        for (auto it = records.sheets.cbegin(); it != records.sheets.cend(); ++it) {
            insertedLines(it.value(), savedRecords.sheets[it.key()], {}); // none inserted either
            if (QTest::currentTestFailed())
                return;
            if (it.key() != Diary) {
                QCOMPARE(sheetLines(savedDump, it.key()), sheetLines(dump, it.key()));
                QCOMPARE(gnumericCsv(path, it.key()), csv[it.key()]);
            }
        }
        // The globals gain cell formats (and their number format and
        // extensions) and nothing else; the first save adds them, the second
        // finds them.
        const QStringList inserted =
            insertedLines(records.globals, savedRecords.globals,
                          {QStringLiteral("041e:"), QStringLiteral("00e0:"), QStringLiteral("087d:")});
        if (QTest::currentTestFailed())
            return;
        const int xfs = int(inserted.filter(QRegularExpression(QStringLiteral("^00e0:"))).size());
        QVERIFY2(xfs >= 1 && xfs <= 2, qPrintable(inserted.join(u'\n')));
        if (save == 0)
            addedXfs = xfs;
        QCOMPARE(xfs, addedXfs);
        QCOMPARE(savedRecords.xfCount, records.xfCount + xfs);
        QCOMPARE(savedRecords.hasXfCrc, records.hasXfCrc);
        QCOMPARE(savedRecords.xfCrcMatches, records.hasXfCrc);
    }
}

// xlrd-namesdemo has text on its other sheets in the book's default cell
// format, which does not wrap. LibreOffice, writing a line break in a cell
// whose format does not wrap, turns wrapping on in that format, for every
// cell that has it: the comment must come in a format of its own.
void TestExcelSamples::twoLineCommentWrapsNoOtherCell()
{
    const QString before = m_dir.filePath(QStringLiteral("wrap-before.xls"));
    const QString path = m_dir.filePath(QStringLiteral("wrap.xls"));
    writeRenamedSample(excelSamplePath(QStringLiteral("xlrd-namesdemo.xls")), QStringLiteral("Sheet2"), before);
    if (QTest::currentTestFailed())
        return;
    QVERIFY(QFile::copy(before, path));
    QVERIFY(saveDays(path, {twoLineDay(QStringLiteral("2030/01/02"), QStringLiteral("65.5"))}, false).saved);
    const std::vector<QMap<QString, QString>> formats = libreOfficeCellFormats({before, path});
    QCOMPARE(formats.size(), size_t(2));

    const QStringList others = formats[0].keys().filter(QRegularExpression(QStringLiteral("^Sheet[13]!")));
    QVERIFY2(others.size() > 40, qPrintable(others.join(u' ')));
    for (const QString &cell : others)
        QVERIFY2(formats[0][cell].contains(u"wrapText=false"), qPrintable(cell + u' ' + formats[0][cell]));
    const QString comment = formats[1].value(Diary + QStringLiteral("!0,5"));
    QVERIFY2(comment.contains(u"wrapText=true"), qPrintable(comment));
    // LibreOffice gives a format an East Asian font once a cell of that
    // format holds Japanese text (the one-line comment is in the default
    // format), whoever wrote the text: fonts are left out.
    static const QRegularExpression font(QStringLiteral(" (applyFont|fontId)=\\S+"));
    for (auto it = formats[0].cbegin(); it != formats[0].cend(); ++it) {
        QCOMPARE(it.key() + u' ' + QString(formats[1].value(it.key())).remove(font),
                 it.key() + u' ' + QString(it.value()).remove(font));
    }
}

QTEST_GUILESS_MAIN(TestExcelSamples)
#include "tst_excelsamples.moc"
