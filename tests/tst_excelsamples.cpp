// Diaries in workbooks that Microsoft Excel wrote: each sample, with one of
// its worksheets renamed St_Trimbo, read and saved as a diary.
#include "biff.h"
#include "compoundfile.h"
#include "datetext.h"
#include "diarybook.h"
#include "excelsamples.h"
#include "helpers.h"
#include "independent.h"

#include <QMap>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <map>

using namespace biff;

class TestExcelSamples : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savesKeepEverythingElse_data();
    void savesKeepEverythingElse();

private:
    QTemporaryDir m_dir;
};

namespace {

const QString Diary = QStringLiteral("St_Trimbo");

// Checks the positions a workbook stream keeps of its own records: each
// INDEX's DEFCOLWIDTH and DBCELL positions, each EXTSST bucket's string
// position and offset in its record. Counts the positions checked and
// returns those that are wrong.
QStringList wrongStreamPositions(const QByteArray &stream, int *checked)
{
    std::map<qsizetype, Record> records; // by offset
    RecordReader reader(stream);
    while (const std::optional<Record> record = reader.next())
        records.emplace(record->offset, *record);
    const auto starts = [&](uint32_t at, uint16_t id) { return records.count(at) && records.at(at).id == id; };
    QStringList wrong;
    for (const auto &[offset, record] : records) {
        const uint32_t defColWidth = record.id == Index ? u32(record.data + 12) : 0;
        if (defColWidth != 0 && !starts(defColWidth, 0x0055))
            wrong << QStringLiteral("DEFCOLWIDTH of the INDEX at %1").arg(offset);
        for (int at = 16; record.id == Index && at + 4 <= record.size; at += 4, ++*checked) {
            if (!starts(u32(record.data + at), DbCell))
                wrong << QStringLiteral("DBCELL %1 of the INDEX at %2").arg(at).arg(offset);
        }
        for (int at = 2; record.id == ExtSst && at + 8 <= record.size; at += 8, ++*checked) {
            const uint32_t position = u32(record.data + at);
            const Record &holder = std::prev(records.upper_bound(position))->second; // the BOF is at 0
            if ((holder.id != Sst && holder.id != Continue) || position >= holder.end()
                || position - holder.offset != u16(record.data + at + 4))
                wrong << QStringLiteral("EXTSST bucket %1").arg(at / 8);
        }
    }
    return wrong;
}

// The diary sheet's cells outside the diary rows' columns A to H: right
// of H anywhere, and every column below the first diaryRows rows.
QStringList outsideDiary(const QStringList &dump, int diaryRows)
{
    static const QRegularExpression place(QStringLiteral("^St_Trimbo!(\\d+),(\\d+) "));
    QStringList lines;
    for (const QString &line : dump) {
        const QRegularExpressionMatch m = place.match(line);
        if (m.hasMatch() && (m.captured(1).toInt() >= diaryRows || m.captured(2).toInt() >= 8))
            lines.append(line);
    }
    return lines;
}

// Column A's order as the program sorts it: dates and numbers by value,
// then texts.
bool sortedByDate(const QStringList &cells)
{
    std::vector<std::tuple<bool, double, QString>> keys; // a text, the value, the text
    for (const QString &cell : cells.filter(QRegularExpression(QStringLiteral("^\\d+,1 ")))) {
        const QString kind = cell.section(u' ', 1, 1), text = cell.section(u' ', 2);
        if (kind == u"date" || kind == u"number")
            keys.emplace_back(false, kind == u"date" ? oleDayNumber(*parseDateText(text)) : text.toDouble(), QString());
        else
            keys.emplace_back(true, 0, text.toLower());
    }
    return std::is_sorted(keys.begin(), keys.end());
}

} // namespace

// Every sample, with the worksheet that becomes the diary and a day earlier
// than the sample's own days where it has them, or among them.
void TestExcelSamples::savesKeepEverythingElse_data()
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

// The sample is read as xlrd reads it. Then two saves: a new day at the
// end, then an earlier day sorted into place, both with a two-line comment.
// After each, as xlrd reads the book and record by record, and
// by the stream positions it keeps of its own records: the diary holds the days in date order, its
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

    const XlrdDiary diary = xlrdDiary(path, Diary);
    DiaryBook book(path);
    QVERIFY(!book.open());
    book.firstEmptyRow();
    QCOMPARE(diaryLines(book.table()), diary.cells);

    const WorkbookRecords records = workbookRecords(path, Diary);
    // Our checksum is the one Excel wrote, before anything is saved.
    QCOMPARE(records.xfCrcMatches, records.hasXfCrc);
    const QStringList dump = xlrdDump(path);
    // Gnumeric, a reader of its own, is to see the other sheets as they were.
    QMap<QString, QString> csv;
    for (const QString &other : records.sheets.keys())
        csv.insert(other, other == Diary ? QString() : gnumericCsv(path, other));

    int addedXfs = -1;
    for (const QString &date : {QStringLiteral("2030/01/02"), earlierDay}) {
        const DayValues day{date, date == earlierDay ? "66.25" : "65.5", "21.5", 0, 2, "朝: パン\n夜: 魚", "散歩", {}};
        const SaveDaysResult result = saveDays(path, {day}, false);
        QVERIFY(result.saved);

        // Text in column A right below the diary's first empty row joins the
        // diary once a day fills that row: the saved days are its top rows.
        const XlrdDiary saved = xlrdDiary(path, Diary);
        const QStringList ours = diaryLines(result.table);
        QCOMPARE(saved.cells.mid(0, ours.size()), ours);
        QVERIFY(saved.cells.value(ours.size()).section(u',', 0, 0).toInt() != result.table.firstEmptyRow() - 1);
        QVERIFY2(sortedByDate(ours), qPrintable(saved.cells.join(u'\n')));
        // A day not found is row 0, none of the saved rows: the next check fails.
        const QString at = QStringLiteral("%1,").arg(result.table.findDate(day.date));
        QVERIFY2(saved.formats.contains(at + QStringLiteral("6 General wraps")), qPrintable(saved.formats.join(u'\n')));
        const QStringList otherFormats = saved.formats.filter(QRegularExpression(QStringLiteral("^%1[2-5] ").arg(at)));
        QVERIFY2(otherFormats.filter(QStringLiteral(" wraps")).isEmpty(), qPrintable(otherFormats.join(u'\n')));
        // Rows that had no height of their own take the sheet's default.
        QVERIFY(saved.defaultHeight > 0);
        for (size_t r = 0; r + 1 < size_t(result.table.firstEmptyRow()); ++r)
            QVERIFY((r < diary.heights.size() && diary.heights[r] >= 0)
                    || (r < saved.heights.size() && saved.heights[r] == saved.defaultHeight));

        QCOMPARE(outsideDiary(xlrdDump(path), result.table.firstEmptyRow() - 1),
                 outsideDiary(dump, result.table.firstEmptyRow() - 1));
        const WorkbookRecords savedRecords = workbookRecords(path, Diary);
        QCOMPARE(savedRecords.otherStreams, records.otherStreams);
        QCOMPARE(savedRecords.sheets.keys(), records.sheets.keys());
        for (auto it = records.sheets.cbegin(); it != records.sheets.cend(); ++it) {
            insertedLines(it.value(), savedRecords.sheets[it.key()], {}); // none inserted either
            if (QTest::currentTestFailed())
                return;
            if (it.key() != Diary)
                QCOMPARE(gnumericCsv(path, it.key()), csv[it.key()]);
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
        if (addedXfs < 0)
            addedXfs = xfs;
        QCOMPARE(xfs, addedXfs);
        QCOMPARE(savedRecords.xfCount, records.xfCount + xfs);
        QCOMPARE(savedRecords.hasXfCrc, records.hasXfCrc);
        QCOMPARE(savedRecords.xfCrcMatches, records.hasXfCrc);
        std::optional<CompoundEntry> savedFile = readWorkbookFile(path);
        if (!savedFile)
            return;
        int checked = 0;
        const QStringList wrong = wrongStreamPositions(savedFile->findStream("Workbook")->data, &checked);
        QVERIFY2(wrong.isEmpty() && checked > 0, qPrintable(wrong.join(", ")));
    }
}

QTEST_GUILESS_MAIN(TestExcelSamples)
#include "tst_excelsamples.moc"
