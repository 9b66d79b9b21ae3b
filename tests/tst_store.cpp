#include "biff.h"
#include "compoundfile.h"
#include "datetext.h"
#include "diarybook.h"
#include "excelsamples.h"
#include "helpers.h"
#include "independent.h"
#include "newworkbook.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QProcess>
#include <algorithm>
#include <QTest>

using namespace biff;

namespace {

// Cells for Gnumeric to write: a date in column A, a weight in B.
GnumericCell on(int row, const char *date)
{
    return {row, 0, GnumericCell::Date, QString::number(oleDayNumber(*parseDateText(QString(date))))};
}

GnumericCell kg(int row, const char *weight)
{
    return {row, 1, GnumericCell::Number, weight};
}

// The diary as a table of texts, a row a line, for short comparisons.
QStringList rowsOf(const DiaryTable &table)
{
    QStringList rows;
    for (int r = 1; r < table.firstEmptyRow(); ++r) {
        QStringList cells;
        for (const DiaryColumn c : diaryColumns)
            cells << table.cell(r, c).toText();
        rows << cells.join(u'|');
    }
    return rows;
}

// The diary in a file as rowsOf() gives it.
QStringList rowsIn(const QString &path)
{
    DiaryBook book(path);
    if (const DiaryFailure unusable = book.open())
        return {QStringLiteral("unusable, code %1").arg(int(unusable->code))};
    book.firstEmptyRow();
    return rowsOf(book.table());
}

// A compound file of one stream.
QByteArray compoundFile(const QByteArray &name, const QByteArray &stream)
{
    return writeCompoundFile({"", true, {}, {}, {{name, false, stream, {}, {}}}}).value_or(QByteArray());
}

QByteArray utf16(const QString &text) // little-endian, as the records hold it
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

// A workbook put together record by record, for what the spreadsheet
// programs at hand do not write: MULRK, RSTRING, phonetic blocks, a string
// split across CONTINUE with a change of width, the 1904 date system. Its
// sheet St_Trimbo is of the kind sheetType (a BOUNDSHEET's) and substream
// (its BOF's) give, a worksheet by default.
QByteArray handBuiltWorkbook(const QByteArray &extraGlobals = {}, const QByteArray &extraCells = {},
                             char sheetType = 0x00, uint16_t substream = 0x0010)
{
    QByteArray globals;
    appendRecord(globals, Bof, bofData(0x0005));
    globals += extraGlobals;
    appendRecord(globals, DateMode, QByteArray("\x01\x00", 2));
    for (int i = 0; i < 4; ++i)
        appendRecord(globals, 0x0031, fontData());
    appendRecord(globals, Format, QByteArray::fromHex("a400") + unicodeString("yyyy/mm/dd"));
    for (int i = 0; i < 15; ++i)
        appendRecord(globals, Xf, xfData(0, true));
    // Cell formats 15 to 18: General, yyyy/mm/dd, the built-in short date, the built-in "0.00".
    for (const int format : {0, 164, 14, 2})
        appendRecord(globals, Xf, xfData(uint16_t(format), false));
    const qsizetype boundSheetAt = globals.size();
    appendRecord(globals, BoundSheet, QByteArray(5, '\0') + sheetType + QByteArray("\x09\x00St_Trimbo", 11));
    // Three strings: rich text (a run from its first character in font 1),
    // one with a phonetic block, kept as it is, and one whose characters run
    // on into a CONTINUE record that switches to one byte each.
    appendRecord(globals, Sst,
                 QByteArray::fromHex("04000000030000000200090100") + utf16("朝食") + QByteArray::fromHex("00000100")
                     + QByteArray::fromHex("0300050a000000") + utf16("夕食だ")
                     + QByteArray::fromHex("0100060000000000ffff") + QByteArray::fromHex("0a0001")
                     + utf16("あいうえお"));
    appendRecord(globals, Continue, QByteArray("\0ABCDE", 6));
    appendRecord(globals, Eof, {});
    setU32(globals, boundSheetAt + 4, uint32_t(globals.size()));

    QByteArray sheet;
    appendRecord(sheet, Bof, bofData(substream));
    appendRecord(sheet, Index, QByteArray::fromHex("00000000000000000400000099999999"));
    appendRecord(sheet, Dimensions, QByteArray::fromHex("0000000004000000000000000b00"));
    // Printer settings long enough to run on into a CONTINUE record.
    appendRecord(sheet, 0x004D, QByteArray(MaxRecordData, 'p'));
    appendRecord(sheet, Continue, QByteArray(100, 'q'));
    // Row 1: A to E in one MULRK: 2010/01/29 in 1904 day numbers, 65.5 as
    // the top of a double, 21.3 as hundredths, 1 and 0; then F to H.
    QByteArray mulrk = QByteArray::fromHex("00000000");
    for (const auto &[xf, rk] : {std::pair<uint16_t, uint32_t>{16, (38745u << 2) | 2},
                                 {15, 0x40506000u},
                                 {15, (2130u << 2) | 3},
                                 {15, (1u << 2) | 2},
                                 {15, 2}}) {
        putU16(mulrk, xf);
        putU32(mulrk, rk);
    }
    putU16(mulrk, 4);
    appendRecord(sheet, MulRk, mulrk);
    appendRecord(sheet, RString,
                 cellHeader(0, 5, 0) + QByteArray::fromHex("040001") + utf16("朝ごはん")
                     + QByteArray::fromHex("010000000100"));
    appendRecord(sheet, Label, cellHeader(0, 6, 15) + unicodeString("Label text"));
    appendRecord(sheet, LabelSst, QByteArray::fromHex("000007000f0001000000"));
    appendRecord(sheet, 0x0999, QByteArray("unknown to us")); // kept, in its order
    // Row 2: a built-in date (2010/01/30), formulas with a number and a text
    // result, a boolean, a MULBLANK running from H into J, and text in K.
    appendRecord(sheet, Number, cellHeader(1, 0, 17) + QByteArray::fromHex("0000000040ebe240")); // 38746.0
    const QByteArray expression = QByteArray::fromHex("00000000000003001e2a00");
    appendRecord(sheet, Formula, cellHeader(1, 1, 15) + QByteArray::fromHex("0000000000905040") + expression); // 66.25
    appendRecord(sheet, Formula, cellHeader(1, 5, 15) + QByteArray::fromHex("000000000000ffff") + expression);
    appendRecord(sheet, String, unicodeString("夜: 散歩"));
    appendRecord(sheet, BoolErr, QByteArray::fromHex("010006000f000100"));
    appendRecord(sheet, MulBlank, QByteArray::fromHex("010007000f000f000f000900"));
    appendRecord(sheet, LabelSst, QByteArray::fromHex("01000a000f0000000000"));
    // Row 3: no date, but B3 formatted with two decimals, ready for the next day.
    appendRecord(sheet, Blank, QByteArray::fromHex("020001001200"));
    sheet += extraCells;
    // Row 4, below the blank A3 that ends the diary.
    appendRecord(sheet, LabelSst, QByteArray::fromHex("030000000f0002000000"));
    appendRecord(sheet, 0x023E, window2Data());
    appendRecord(sheet, Eof, {});
    return compoundFile("Workbook", globals + sheet);
}

// One save of saveDays and what it must come to: saved, or refused with a
// reason that contains error and the file left as it was.
struct SaveStep
{
    std::vector<DayValues> days;
    bool overwrite = false;
    DiaryError error = DiaryError::End; // End: the save goes through
};

// A diary to start from (Gnumeric's cells, or a new workbook when there are
// none), saves one after another, and the diary's rows at the end.
struct SaveCase
{
    std::vector<GnumericCell> start;
    std::vector<SaveStep> steps;
    QStringList rows;
};

} // namespace

Q_DECLARE_METATYPE(SaveCase)
Q_DECLARE_METATYPE(DiaryError)

class TestStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void savesInTurn_data();
    void savesInTurn();
    void laterRecordOfACellCounts();
    void handBuiltRecordsAreReadAndKept();
    void numberFormatsOfGnumericAreNoDates();
    void savesReplaceTheFileWhole();
    void sharedFormulaIsNotOverwritten();
    void unusableFiles_data();
    void unusableFiles();

private:
    TempProgramFolder m_folder;
};

void TestStore::savesInTurn_data()
{
    QTest::addColumn<SaveCase>("test");
    const QString longest(MaxCellText, QChar(u'長'));
    // All eight cells go with a day sorted in, and are all replaced by an overwrite.
    QTest::newRow("sorted in, refused, overwritten")
        << SaveCase{{},
                    {{{{"2010/01/10", "61", "21", 0, 1, "朝\r\n昼", "歩く", "20100110.bmp"},
                       {"2010/01/20", "62", "22", 2, 0, "夜", "走る", "20100120.bmp"}}},
                     {{{"2010/01/15", "61.5", "21.5", 1, 2, "間", "泳ぐ", "20100115.bmp"}}},
                     {{{"2010/01/20", "70", "", 2, 2, "", "", ""}}, false, DiaryError::AlreadyRecorded},
                     {{{"2010/01/20", "70", "", 2, 0, "", "", ""}}, true}},
                    {"2010/01/10|61|21|0|1|朝\r\n昼|歩く|20100110.bmp", "2010/01/15|61.5|21.5|1|2|間|泳ぐ|20100115.bmp",
                     "2010/01/20|70||2|0|||"}};
    // An empty sheet fills from row one. Zero is written as a blank cell;
    // "0.0" stays a number.
    QTest::newRow("zeros, the longest text")
        << SaveCase{{},
                    {{{{"2010/01/10", "0", "0", 1, 1, "", "", ""}, {"2010/01/11", "0.0", "", 1, 1, "", "", ""}}},
                     {{dayAt("2010/01/12", "60", longest)}},
                     {{dayAt("2010/01/13", "60", longest + u'!')}, false, DiaryError::TextTooLong}},
                    {"2010/01/10|||1|1|||", "2010/01/11|0||1|1|||", "2010/01/12|60|20|1|1|" + longest + "||"}};
    // A blank date ends the diary; the new day fills the gap, and the day
    // below it then belongs to the diary too.
    QTest::newRow("blank date takes the next day") << SaveCase{
        {on(0, "2010/01/01"), on(1, "2010/01/02"), on(2, "2010/01/03"), kg(3, "99"), on(4, "2009/12/01"), kg(4, "77")},
        {{{dayAt("2010/01/04")}}},
        {"2010/01/01|||||||", "2010/01/02|||||||", "2010/01/03|||||||", "2010/01/04|60|20|1|1|||",
         "2009/12/01|77||||||"}};
    // The second of two new days would go over the day below the gap.
    QTest::newRow("two days into a gap of one")
        << SaveCase{{on(0, "2010/01/01"), on(2, "2009/12/01"), kg(2, "77")},
                    {{{dayAt("2010/01/02"), dayAt("2010/01/03")}, false, DiaryError::GapAboveDays}},
                    {"2010/01/01|||||||"}};
    QTest::newRow("upper of two equal dates")
        << SaveCase{{on(0, "2010/01/05"), kg(0, "60"), on(1, "2010/01/05"), kg(1, "61")},
                    {{{dayAt("2010/01/05", "70")}, true}},
                    {"2010/01/05|70|20|1|1|||", "2010/01/05|61||||||"}};
}

void TestStore::savesInTurn()
{
    QFETCH(SaveCase, test);
    const QString path = m_folder.filePath(QStringLiteral("turn-%1.xls").arg(QTest::currentDataTag()));
    if (test.start.empty())
        m_folder.write(QFileInfo(path).fileName(), newDiaryWorkbook("St_Trimbo"));
    else
        writeWithGnumeric({{"St_Trimbo", test.start}}, 0, path);
    for (const SaveStep &step : test.steps) {
        const QByteArray before = fileBytes(path);
        const SaveDaysResult result = saveDays(path, step.days, step.overwrite);
        QCOMPARE(result.problem ? result.problem->code : DiaryError::End, step.error);
        QCOMPARE(result.saved, !result.problem);
        // The table handed back ends where the saved day's row did; a day
        // below a filled gap is read only with the file.
        if (result.saved)
            QCOMPARE(rowsOf(result.table), rowsIn(path).mid(0, result.table.firstEmptyRow() - 1));
        else
            QCOMPARE(fileBytes(path), before);
    }
    QCOMPARE(rowsIn(path), test.rows);
    if (test.start.empty()) // column A holds real dates, in a YYYY/MM/DD format, for any reader
        QCOMPARE(xlrdDump(path).filter(QRegularExpression("^St_Trimbo!0,0 type=3 .* format='yyyy/mm/dd'$")).size(), 1);
}

// Two records for A2, the later one blank: the diary is one day long, and
// a new day saved into it can be found again.
void TestStore::laterRecordOfACellCounts()
{
    const QString path = m_folder.filePath("twice-a2.xls");
    m_folder.write("twice-a2.xls", newDiaryWorkbook("St_Trimbo"));
    QVERIFY(saveDays(path, {dayAt("2010/01/20"), dayAt("2010/01/21")}, false).saved);
    std::optional<CompoundEntry> book = readWorkbookFile(path);
    QVERIFY(book);
    QByteArray &stream = book->findStream("Workbook")->data;
    QByteArray blankA2;
    appendRecord(blankA2, Blank, cellHeader(1, 0, 15));
    stream.insert(stream.lastIndexOf(QByteArray::fromHex("0a000000")), blankA2); // before the sheet's EOF
    m_folder.write("twice-a2.xls", *writeCompoundFile(*book));
    QVERIFY(saveDays(path, {dayAt("2010/01/25", "59")}, false).saved);
    QCOMPARE(rowsIn(path), (QStringList{"2010/01/20|60|20|1|1|||", "2010/01/25|59|20|1|1|||"}));
}

void TestStore::handBuiltRecordsAreReadAndKept()
{
    const QStringList days{"2010/01/29|65.5|21.3|1|0|朝ごはん|Label text|夕食だ", "2010/01/30|66.25||||夜: 散歩|TRUE|"};
    const QString path = m_folder.filePath("hand.xls");
    m_folder.write("hand.xls", handBuiltWorkbook());
    QCOMPARE(rowsIn(path), days);

    const QStringList before = xlrdDump(path);
    QVERIFY(saveDays(path, {dayAt("2010/01/31")}, false).saved);
    const QStringList after = xlrdDump(path);
    QVERIFY(after.contains("St_Trimbo!2,0 type=3 value=(2010, 1, 31) format='yyyy/mm/dd'"));
    for (const QString &line : before) {
        if (!line.startsWith("sheet"))
            QVERIFY2(after.contains(line), qPrintable(line));
    }
    QVERIFY2(after.filter("St_Trimbo!1,10 type=1 value='朝食'").value(0).contains("runs="), "rich text kept");
    // B3 kept the format it had before the day was written into it.
    QVERIFY(after.contains("St_Trimbo!2,1 type=2 value=60.0 format='0.00'"));
    // The printer settings and their CONTINUE, and the record we do not know, are all there.
    std::optional<CompoundEntry> saved = readWorkbookFile(path);
    QVERIFY(saved);
    const QByteArray stream = saved->findStream("Workbook")->data;
    QList<uint16_t> ids;
    RecordReader reader(stream);
    while (const std::optional<Record> record = reader.next())
        ids << record->id;
    QCOMPARE(ids.mid(ids.indexOf(0x004D), 2), (QList<uint16_t>{0x004D, Continue}));
    QVERIFY(ids.contains(0x0999));
    QCOMPARE(ids.count(uint16_t(Row)), 4);
    // The new day filled the blank row 3, so the text in A4 (split across
    // records as it was read) now belongs to the diary as well.
    QCOMPARE(rowsIn(path).mid(2), (QStringList{"2010/01/31|60|20|1|1|||", "あいうえおABCDE|||||||"}));
}

// Gnumeric numbers the formats it writes from 50, ids that Excel keeps for
// built-in date formats: the FORMAT records of the file say what they are.
void TestStore::numberFormatsOfGnumericAreNoDates()
{
    const QString path = m_folder.filePath("formats.xls");
    writeGnumericDiaryWithCustomFormats(path);
    const QStringList days = rowsIn(path);
    QCOMPARE(days, (QStringList{"2010/01/10|74.5|20.25|1|2|||", "2010/01/11|74|20.5|0|1|||"}));
    QVERIFY(saveDays(path, {dayAt("2010/01/09", "75")}, false).saved);
    QCOMPARE(rowsIn(path).mid(1), days);
    QCOMPARE(xlrdDiary(path, "St_Trimbo").formats.filter(QRegularExpression("^3,[2-5] ")),
             (QStringList{"3,2 0.0", "3,3 0.00\"%\"", "3,4 0\"段\"", "3,5 [Blue]0"}));
}

// The new diary takes the old one's name only when it is complete: a
// reader that has the old file open goes on reading the old bytes. Nor do
// saves over one day make the file grow.
void TestStore::savesReplaceTheFileWhole()
{
    const QString path = m_folder.filePath("whole.xls");
    m_folder.write("whole.xls", newDiaryWorkbook("St_Trimbo"));
    QVERIFY(saveDays(path, {dayAt("2010/01/01", "60", QString(300, u'a'))}, false).saved);
    const QByteArray first = fileBytes(path);
    QFile reader(path);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    for (int i = 0; i < 30; ++i)
        QVERIFY(saveDays(path, {dayAt("2010/01/01", "60", QString(300, QChar(u'b' + i % 20)))}, true).saved);
    QCOMPARE(reader.readAll(), first);
    QVERIFY2(QFileInfo(path).size() <= first.size() + 512, qPrintable(QString::number(QFileInfo(path).size())));
}

// H2 anchors a formula that I2, right of the diary, shares: sorting H2 away
// would leave I2 without its formula.
void TestStore::sharedFormulaIsNotOverwritten()
{
    QByteArray formula = cellHeader(1, 7, 15) + QByteArray::fromHex("000000000000f03f08000000000005000101000700");
    QByteArray cells;
    appendRecord(cells, Formula, formula);
    appendRecord(cells, SharedFormula, QByteArray::fromHex("01000100070800010003001e0100"));
    appendRecord(cells, Formula, formula.replace(2, 2, QByteArray::fromHex("0800")));
    const QString path = m_folder.filePath("shared.xls");
    m_folder.write("shared.xls", handBuiltWorkbook({}, cells));
    const SaveDaysResult refused = saveDays(path, {dayAt("1900/01/01")}, false); // sorts row 2 down
    QCOMPARE(refused.problem ? refused.problem->code : DiaryError::End, DiaryError::SharedFormula);
    QCOMPARE(refused.problem->names, QStringList("H2"));
    QCOMPARE(fileBytes(path), handBuiltWorkbook({}, cells));
}

void TestStore::unusableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<DiaryError>("code");
    const QByteArray good = newDiaryWorkbook("St_Trimbo");
    m_folder.write("good.xls", good);
    QProcess::execute("ssconvert", {"--export-type=Gnumeric_OpenCalc:odf", m_folder.filePath("good.xls"),
                                    m_folder.filePath("good.ods")});
    QByteArray filePass, dialog;
    appendRecord(filePass, FilePass, QByteArray(6, '\0'));
    appendRecord(dialog, WsBool, QByteArray("\x11\x04", 2));
    QTest::newRow("text") << QByteArray("date,weight\n") << DiaryError::NotCompoundFile;
    QTest::newRow("cut in a sector") << good.left(good.size() / 2) << DiaryError::CutShort;
    QTest::newRow("cut at a sector") << good.left(good.size() - 512) << DiaryError::CutShort;
    QTest::newRow("header only") << good.left(300) << DiaryError::CutShort;
    QTest::newRow("xlsx") << QByteArray("PK\x03\x04") << DiaryError::NewerExcel;
    QTest::newRow("ods") << m_folder.read("good.ods") << DiaryError::OpenDocument;
    QTest::newRow("password") << handBuiltWorkbook(filePass) << DiaryError::Password;
    QTest::newRow("Excel 95") << compoundFile("Book", QByteArray(600, '\0')) << DiaryError::OldExcel;
    QTest::newRow("no diary sheet") << newDiaryWorkbook("Sheet1") << DiaryError::NoDiarySheet;
    // Only a worksheet is a diary: the records of other sheets are no days.
    QTest::newRow("chart sheet") << handBuiltWorkbook({}, {}, 0x02, 0x0020) << DiaryError::NoDiarySheet;
    QTest::newRow("macro sheet") << handBuiltWorkbook({}, {}, 0x01, 0x0040) << DiaryError::NoDiarySheet;
    QTest::newRow("dialog sheet") << handBuiltWorkbook({}, dialog) << DiaryError::NoDiarySheet;
}

void TestStore::unusableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(DiaryError, code);
    m_folder.write("bad.xls", content);
    const QString path = m_folder.filePath("bad.xls");
    const SaveDaysResult refused = saveDays(path, {dayAt("2010/01/01")}, false);
    QCOMPARE(refused.problem ? refused.problem->code : DiaryError::End, code);
    QCOMPARE(refused.problem->path, path);
    QCOMPARE(fileBytes(path), content);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
