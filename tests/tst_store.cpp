#include "biff.h"
#include "compoundfile.h"
#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "independent.h"
#include "newworkbook.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <QTest>

using namespace biff;

namespace {

// Checks the positions a workbook stream keeps of its own records: each
// INDEX's DEFCOLWIDTH and DBCELL positions, each EXTSST bucket's string
// position and offset in its record. Counts the positions checked and
// returns those that are wrong.
QStringList wrongStreamPositions(const QByteArray &stream, int *checked)
{
    std::vector<Record> records;
    RecordReader reader(stream);
    while (const std::optional<Record> record = reader.next())
        records.push_back(*record);
    const auto recordAt = [&records](qsizetype position) -> const Record * {
        for (const Record &record : records) {
            if (record.offset <= position && position < record.end())
                return &record;
        }
        return nullptr;
    };
    const auto startsRecord = [&records](qsizetype position, uint16_t id) {
        return std::any_of(records.begin(), records.end(),
                           [&](const Record &r) { return r.offset == position && r.id == id; });
    };
    QStringList wrong;
    for (const Record &record : records) {
        if (record.id == Index) {
            const uint32_t defColWidth = qFromLittleEndian<uint32_t>(record.data + 12);
            if (defColWidth != 0 && !startsRecord(defColWidth, 0x0055))
                wrong << QStringLiteral("DEFCOLWIDTH of the INDEX at %1").arg(record.offset);
            for (int at = 16; at + 4 <= record.size; at += 4, ++*checked) {
                if (!startsRecord(qFromLittleEndian<uint32_t>(record.data + at), DbCell))
                    wrong << QStringLiteral("DBCELL %1 of the INDEX at %2").arg(at).arg(record.offset);
            }
        }
        if (record.id == ExtSst) {
            for (int at = 2; at + 8 <= record.size; at += 8, ++*checked) {
                const uint32_t position = qFromLittleEndian<uint32_t>(record.data + at);
                const Record *holder = recordAt(position);
                if (!holder || (holder->id != Sst && holder->id != Continue)
                    || position - holder->offset != qFromLittleEndian<uint16_t>(record.data + at + 4))
                    wrong << QStringLiteral("EXTSST bucket %1").arg(at / 8);
            }
        }
    }
    return wrong;
}

QString dayNumber(int year, int month, int dayOfMonth)
{
    return QString::number(oleDayNumber(QDate(year, month, dayOfMonth)));
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

DiaryTable load(const QString &path)
{
    DiaryBook book(path);
    if (const DiaryFailure unusable = book.open()) {
        qWarning() << "unusable diary, code" << int(unusable->code);
        return {};
    }
    book.firstEmptyRow();
    return book.table();
}

QByteArray utf16(const QString &text) // little-endian, as the records hold it
{
    return QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
}

QStringList withoutLinesOf(QStringList lines, const QString &prefix)
{
    lines.erase(std::remove_if(lines.begin(), lines.end(), [&](const QString &l) { return l.startsWith(prefix); }),
                lines.end());
    return lines;
}

// A workbook put together record by record, for what the spreadsheet
// programs at hand do not write: MULRK, RSTRING, phonetic blocks, a string
// split across CONTINUE with a change of width, the 1904 date system.
QByteArray handBuiltWorkbook(const QByteArray &extraGlobals = {}, const QByteArray &extraCells = {})
{
    QByteArray globals;
    appendRecord(globals, Bof, bofData(0x0005));
    globals += extraGlobals;
    appendRecord(globals, DateMode, QByteArray("\x01\x00", 2));
    for (int i = 0; i < 4; ++i)
        appendRecord(globals, 0x0031, fontData());
    QByteArray format;
    putU16(format, 164);
    format += unicodeString("yyyy/mm/dd");
    appendRecord(globals, Format, format);
    for (int i = 0; i < 15; ++i)
        appendRecord(globals, Xf, xfData(0, true));
    appendRecord(globals, Xf, xfData(0, false));   // 15
    appendRecord(globals, Xf, xfData(164, false)); // 16: yyyy/mm/dd
    appendRecord(globals, Xf, xfData(14, false));  // 17: the built-in short date
    appendRecord(globals, Xf, xfData(2, false));   // 18: the built-in "0.00"
    const qsizetype boundSheetAt = globals.size();
    appendRecord(globals, BoundSheet, QByteArray("\0\0\0\0\0\0\x09\x00St_Trimbo", 17));

    // Three strings: rich text, one with a phonetic block, and one whose
    // characters run on into a CONTINUE record that switches to one byte each.
    QByteArray sst;
    putU32(sst, 4);
    putU32(sst, 3);
    putU16(sst, 2);
    sst += char(0x09);
    putU16(sst, 1);
    sst += utf16("朝食");
    sst += QByteArray::fromHex("00000100"); // run: from char 0, font 1
    putU16(sst, 3);
    sst += char(0x05);
    putU32(sst, 10);
    sst += utf16("夕食だ");
    sst += QByteArray::fromHex("0100060000000000ffff"); // phonetic block, kept as it is
    putU16(sst, 10);
    sst += char(0x01);
    sst += utf16("あいうえお");
    QByteArray continued("\x00"
                         "ABCDE",
                         6);
    appendRecord(globals, Sst, sst);
    appendRecord(globals, Continue, continued);
    appendRecord(globals, Eof, {});
    setU32(globals, boundSheetAt + 4, uint32_t(globals.size()));

    QByteArray sheet;
    appendRecord(sheet, Bof, bofData(0x0010));
    appendRecord(sheet, Index, QByteArray::fromHex("00000000000000000400000099999999"));
    appendRecord(sheet, Dimensions, QByteArray::fromHex("0000000004000000000000000b000000").left(14));
    // Printer settings long enough to run on into a CONTINUE record.
    appendRecord(sheet, 0x004D, QByteArray(MaxRecordData, 'p'));
    appendRecord(sheet, Continue, QByteArray(100, 'q'));
    // Row 1: A to E in one MULRK (A a date in the 1904 system: 2010/01/29).
    QByteArray mulrk = QByteArray::fromHex("00000000");
    const auto rk = [&](uint16_t xf, uint32_t value) {
        putU16(mulrk, xf);
        putU32(mulrk, value);
    };
    rk(16, (38745u << 2) | 2); // 2010/01/29 in 1904 day numbers
    rk(15, 0x40506000u);       // 65.5 as the top of a double
    rk(15, (2130u << 2) | 3);  // 21.3 as hundredths
    rk(15, (1u << 2) | 2);
    rk(15, (0u << 2) | 2);
    putU16(mulrk, 4);
    appendRecord(sheet, MulRk, mulrk);
    QByteArray rstring = QByteArray::fromHex("0000050000000400") + char(0x01);
    rstring += utf16("朝ごはん");
    putU16(rstring, 1);
    rstring += QByteArray::fromHex("00000100");
    appendRecord(sheet, RString, rstring);
    appendRecord(sheet, Label, QByteArray::fromHex("000006000f00") + unicodeString("Label text"));
    appendRecord(sheet, LabelSst, QByteArray::fromHex("000007000f0001000000"));
    appendRecord(sheet, 0x0999, QByteArray("unknown to us")); // kept, in its order
    // Row 2: a built-in date, formulas with a number and a text result, a
    // boolean, a MULBLANK running from H into J, and text in K.
    QByteArray number = QByteArray::fromHex("010000001100");
    putF64(number, 38746); // 2010/01/30
    appendRecord(sheet, Number, number);
    QByteArray formula = QByteArray::fromHex("010001000f00");
    putF64(formula, 66.25);
    formula += QByteArray::fromHex("0000000000000300") + QByteArray::fromHex("1e2a00");
    appendRecord(sheet, Formula, formula);
    QByteArray textFormula = QByteArray::fromHex("010005000f00") + QByteArray::fromHex("000000000000ffff");
    textFormula += QByteArray::fromHex("0000000000000300") + QByteArray::fromHex("1e2a00");
    appendRecord(sheet, Formula, textFormula);
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

    CompoundEntry root;
    root.isStorage = true;
    root.children.push_back({"Workbook", false, globals + sheet, {}, {}});
    return writeCompoundFile(root).value_or(QByteArray());
}

// The hand-built workbook with its sheet St_Trimbo made a sheet of another
// kind: the type its BOUNDSHEET gives, the substream its BOF opens, and
// extraCells, a dialog sheet's WSBOOL say.
QByteArray handBuiltSheetOfKind(uint8_t sheetType, uint16_t substream, const QByteArray &extraCells = {})
{
    std::optional<CompoundEntry> file = readCompoundFile(handBuiltWorkbook({}, extraCells));
    QByteArray &stream = file->findStream("Workbook")->data;
    qsizetype boundSheet = -1;
    RecordReader reader(stream);
    while (const std::optional<Record> record = reader.next()) {
        if (record->id == BoundSheet) {
            boundSheet = record->offset + 4;
            break;
        }
    }
    stream[boundSheet + 5] = char(sheetType);
    setU16(stream, u32(stream.constData() + boundSheet) + 4 + 2, substream);
    return writeCompoundFile(*file).value_or(QByteArray());
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

    void readsWhatHandBuiltRecordsHold();
    void keepsWhatHandBuiltRecordsHold();
    void keepsWhatGnumericWrote();
    void numberFormatsOfGnumericAreNoDates();
    void dateFormatIsAddedWhenMissing();
    void largeStringTableSurvives();
    void repeatedSavesDoNotGrowTheFile();
    void sharedFormulaIsNotOverwritten();

    void unusableFiles_data();
    void unusableFiles();
    void failedSaveLeavesTheFile();
    void saveReplacesTheFileWhole();

private:
    TempProgramFolder m_folder;
};

void TestStore::savesInTurn_data()
{
    QTest::addColumn<SaveCase>("test");
    const QString longest(MaxCellText, QChar(u'長'));
    QTest::newRow("empty sheet fills from row one") << SaveCase{
        {}, {{{dayAt("2010/01/29")}}, {{dayAt("2010/01/30")}}}, {"2010/01/29|60|20|1|1|||", "2010/01/30|60|20|1|1|||"}};
    QTest::newRow("earlier day sorted in with all its cells")
        << SaveCase{{},
                    {{{{"2010/01/10", "61", "21", 0, 1, "朝\r\n昼", "歩く", "20100110.bmp"},
                       {"2010/01/20", "62", "22", 2, 0, "夜", "走る", "20100120.bmp"}}},
                     {{{"2010/01/15", "61.5", "21.5", 1, 2, "間", "泳ぐ", "20100115.bmp"}}}},
                    {"2010/01/10|61|21|0|1|朝\r\n昼|歩く|20100110.bmp", "2010/01/15|61.5|21.5|1|2|間|泳ぐ|20100115.bmp",
                     "2010/01/20|62|22|2|0|夜|走る|20100120.bmp"}};
    QTest::newRow("overwrite replaces all eight cells")
        << SaveCase{{},
                    {{{{"2010/01/10", "61", "21", 0, 1, "朝", "歩く", "20100110.bmp"},
                       {"2010/01/11", "62", "22", 2, 2, "", "", ""}}},
                     {{{"2010/01/10", "70", "", 2, 2, "", "", ""}}, false, DiaryError::AlreadyRecorded},
                     {{{"2010/01/10", "70", "", 2, 0, "", "", ""}}, true}},
                    {"2010/01/10|70||2|0|||", "2010/01/11|62|22|2|2|||"}};
    // Zero is written as a blank cell; "0.0" stays a number.
    QTest::newRow("zero measurements") << SaveCase{
        {},
        {{{{"2010/01/10", "0", "0", 1, 1, "", "", ""}, {"2010/01/11", "0.0", "", 1, 1, "", "", ""}}}},
        {"2010/01/10|||1|1|||", "2010/01/11|0||1|1|||"}};
    QTest::newRow("longest text") << SaveCase{
        {},
        {{{dayAt("2010/01/01", "60", longest)}},
         {{dayAt("2010/01/02", "60", longest + u'!')}, false, DiaryError::TextTooLong}},
        {"2010/01/01|60|20|1|1|" + longest + "||"}};
    // A blank date ends the diary; the new day fills the gap, and the day
    // below it then belongs to the diary too.
    QTest::newRow("blank date takes the next day")
        << SaveCase{{{0, 0, GnumericCell::Date, dayNumber(2010, 1, 1)},
                     {1, 0, GnumericCell::Date, dayNumber(2010, 1, 2)},
                     {2, 0, GnumericCell::Date, dayNumber(2010, 1, 3)},
                     {3, 1, GnumericCell::Number, "99"},
                     {4, 0, GnumericCell::Date, dayNumber(2009, 12, 1)},
                     {4, 1, GnumericCell::Number, "77"}},
                    {{{dayAt("2010/01/04")}}},
                    {"2010/01/01|||||||", "2010/01/02|||||||", "2010/01/03|||||||", "2010/01/04|60|20|1|1|||",
                     "2009/12/01|77||||||"}};
    // The second of two new days would go over the day below the gap.
    QTest::newRow("two days into a gap of one")
        << SaveCase{{{0, 0, GnumericCell::Date, dayNumber(2010, 1, 1)},
                     {2, 0, GnumericCell::Date, dayNumber(2009, 12, 1)},
                     {2, 1, GnumericCell::Number, "77"}},
                    {{{dayAt("2010/01/02"), dayAt("2010/01/03")}, false, DiaryError::GapAboveDays}},
                    {"2010/01/01|||||||"}};
    QTest::newRow("upper of two equal dates") << SaveCase{{{0, 0, GnumericCell::Date, dayNumber(2010, 1, 5)},
                                                           {0, 1, GnumericCell::Number, "60"},
                                                           {1, 0, GnumericCell::Date, dayNumber(2010, 1, 5)},
                                                           {1, 1, GnumericCell::Number, "61"}},
                                                          {{{dayAt("2010/01/05", "70")}, true}},
                                                          {"2010/01/05|70|20|1|1|||", "2010/01/05|61||||||"}};
    // A date typed into column A as a plain number is the same day.
    QTest::newRow("date typed as a number") << SaveCase{
        {{0, 0, GnumericCell::Number, dayNumber(2010, 1, 5)}, {0, 1, GnumericCell::Number, "60"}},
        {{{dayAt("2010/01/05", "70")}, false, DiaryError::AlreadyRecorded}, {{dayAt("2010/01/05", "70")}, true}},
        {"2010/01/05|70|20|1|1|||"}};
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
            QCOMPARE(rowsOf(result.table), rowsOf(load(path)).mid(0, result.table.firstEmptyRow() - 1));
        else
            QCOMPARE(fileBytes(path), before);
    }
    QCOMPARE(rowsOf(load(path)), test.rows);
    // Column A holds real dates, in a YYYY/MM/DD format, for any reader.
    if (test.start.empty()) {
        const QDate first = QDate::fromString(test.rows.first().left(10), u"yyyy/MM/dd");
        QVERIFY(xlrdDump(path).contains(QStringLiteral("St_Trimbo!0,0 type=3 value=(%1, %2, %3) format='yyyy/mm/dd'")
                                            .arg(first.year())
                                            .arg(first.month())
                                            .arg(first.day())));
    }
}

void TestStore::laterRecordOfACellCounts()
{
    // Two records for A2, the later one blank: the diary is one day long to
    // every reader of it, and a new day saved into it can be found again.
    const QString path = m_folder.filePath("twice-a2.xls");
    m_folder.write("twice-a2.xls", newDiaryWorkbook("St_Trimbo"));
    QVERIFY(saveDays(path, {dayAt("2010/01/20"), dayAt("2010/01/21")}, false).saved);
    std::optional<CompoundEntry> book = readCompoundFile(fileBytes(path));
    QByteArray &stream = book->findStream("Workbook")->data;
    QByteArray blank;
    putU16(blank, 1);  // row 2
    putU16(blank, 0);  // column A
    putU16(blank, 15); // the default cell format
    QByteArray record;
    appendRecord(record, Blank, blank);
    stream.insert(stream.lastIndexOf(QByteArray::fromHex("0a000000")), record); // before the sheet's EOF
    m_folder.write("twice-a2.xls", *writeCompoundFile(*book));
    QCOMPARE(load(path).firstEmptyRow(), 2);

    QVERIFY(saveDays(path, {dayAt("2010/01/25", "59")}, false).saved);
    const DiaryTable table = load(path);
    QVERIFY(table.findDate(u"2010/01/25") > 0);
    QCOMPARE(table.firstEmptyRow(), 3);
}

void TestStore::readsWhatHandBuiltRecordsHold()
{
    const QStringList days{"2010/01/29|65.5|21.3|1|0|朝ごはん|Label text|夕食だ", "2010/01/30|66.25||||夜: 散歩|TRUE|"};
    m_folder.write("hand.xls", handBuiltWorkbook());
    QCOMPARE(rowsOf(load(m_folder.filePath("hand.xls"))), days);
    // Made a worksheet again by the same means, with a WSBOOL that is no
    // dialog sheet's, it is the same diary.
    QByteArray wsBool;
    appendRecord(wsBool, WsBool, QByteArray("\x01\x04", 2));
    m_folder.write("kind.xls", handBuiltSheetOfKind(0x00, 0x0010, wsBool));
    QCOMPARE(rowsOf(load(m_folder.filePath("kind.xls"))), days);
}

void TestStore::keepsWhatHandBuiltRecordsHold()
{
    const QString path = m_folder.filePath("hand-saved.xls");
    m_folder.write("hand-saved.xls", handBuiltWorkbook());
    const QStringList before = xlrdDump(path);
    QVERIFY(!before.isEmpty());
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
    std::optional<CompoundEntry> saved = readCompoundFile(fileBytes(path));
    const QByteArray stream = saved->findStream("Workbook")->data;
    QList<uint16_t> ids;
    RecordReader reader(stream);
    while (const std::optional<Record> record = reader.next())
        ids << record->id;
    const qsizetype settings = ids.indexOf(0x004D);
    QVERIFY(settings > 0);
    QCOMPARE(ids.at(settings + 1), uint16_t(Continue));
    QVERIFY(ids.contains(0x0999));
    QCOMPARE(ids.count(uint16_t(Row)), 4);
    // The new day filled the blank row 3, so the text in A4 (split across
    // records as it was read) now belongs to the diary as well.
    QCOMPARE(rowsOf(load(path)).mid(2), (QStringList{"2010/01/31|60|20|1|1|||", "あいうえおABCDE|||||||"}));
}

void TestStore::keepsWhatGnumericWrote()
{
    const QString path = m_folder.filePath("gnumeric.xls");
    std::vector<GnumericCell> memo{{0, 0, GnumericCell::Number, "2"},
                                   {0, 1, GnumericCell::Formula, "=A1*21"},
                                   {1, 0, GnumericCell::Text, "メモ\n二行目"},
                                   {2, 2, GnumericCell::Formula, "=St_Trimbo!B1+1"}};
    std::vector<GnumericCell> diary{{0, 0, GnumericCell::Date, dayNumber(2010, 1, 29)},
                                    {0, 1, GnumericCell::Number, "65.5"},
                                    {0, 5, GnumericCell::Text, "朝ごはん\nパン"},
                                    {0, 8, GnumericCell::Text, "I 列"},
                                    {0, 11, GnumericCell::Formula, "=B1*2"},
                                    {1, 0, GnumericCell::Date, dayNumber(2010, 2, 1)},
                                    {1, 6, GnumericCell::Text, "散歩\n30分"}};
    writeWithGnumeric({{"Memo", memo}, {"St_Trimbo", diary}}, 0, path);
    const QByteArray beforeBytes = fileBytes(path);
    QVERIFY(readCompoundFile(beforeBytes)->children.size() > 1); // more than the workbook
    QCOMPARE(rowsOf(load(path)), (QStringList{"2010/01/29|65.5||||朝ごはん\nパン||", "2010/02/01||||||散歩\n30分|"}));
    const QStringList before = xlrdDump(path);
    const QString memoCsv = gnumericCsv(path, "Memo");
    QVERIFY(memoCsv.contains("メモ"));

    QVERIFY(saveDays(path, {{"2010/01/30", "65", "", 0, 2, "昼\r\nうどん", "", ""}}, false).saved);
    const QStringList after = xlrdDump(path);
    QCOMPARE(gnumericCsv(path, "Memo"), memoCsv);
    QCOMPARE(withoutLinesOf(withoutLinesOf(after, "St_Trimbo!"), "sheet 'St_Trimbo'"),
             withoutLinesOf(withoutLinesOf(before, "St_Trimbo!"), "sheet 'St_Trimbo'"));
    // The diary's own rows moved: the day of 2010/02/01 went down by one, the
    // columns right of H stayed where they were.
    for (const char *kept : {"St_Trimbo!0,0 ", "St_Trimbo!0,1 ", "St_Trimbo!0,5 ", "St_Trimbo!0,8 ", "St_Trimbo!0,11 "})
        QCOMPARE(after.filter(kept), before.filter(kept));
    QVERIFY(after.contains("St_Trimbo!1,5 type=1 value='昼\\r\\nうどん' format='General'"));
    QVERIFY(after.contains("St_Trimbo!2,0 type=3 value=(2010, 2, 1) format='yyyy/mm/dd'"));
    QVERIFY(after.contains("St_Trimbo!2,6 type=1 value='散歩\\n30分' format='General'"));
    QVERIFY(after.contains("sheet 'Memo' selected=1 rows=3"));
    QVERIFY(gnumericCsv(path, "St_Trimbo").contains("2010/01/30,65,,0,2,"));

    // Every other stream of the compound file is kept as it was.
    const auto streams = [](const QByteArray &bytes) {
        QStringList found;
        const std::optional<CompoundEntry> read = readCompoundFile(bytes);
        for (const CompoundEntry &entry : read->children) {
            if (entry.name != "Workbook")
                found << QString::fromLatin1(entry.name.toHex()) + ':' + QString::number(qHash(entry.data));
        }
        return found;
    };
    QCOMPARE(streams(fileBytes(path)), streams(beforeBytes));
}

// Gnumeric numbers the formats it writes from 50, ids that Excel keeps for
// built-in date formats: the FORMAT records of the file say what they are.
void TestStore::numberFormatsOfGnumericAreNoDates()
{
    const QString path = m_folder.filePath("formats.xls");
    writeGnumericDiaryWithCustomFormats(path);
    QMap<QString, int> formatIds;
    std::optional<CompoundEntry> file = readCompoundFile(fileBytes(path));
    RecordReader reader(file->findStream("Workbook")->data);
    while (const std::optional<Record> record = reader.next()) {
        if (record->id == Format)
            formatIds.insert(readUnicodeString(record->data + 2, record->size - 2).value_or(QString()),
                             u16(record->data));
    }
    for (const char *format : {"0.0", "0.00\"%\"", "0\"段\"", "[Blue]0"})
        QVERIFY2(formatIds.value(format) >= 50 && formatIds.value(format) <= 58, format);

    const DiaryTable table = load(path);
    QCOMPARE(rowsOf(table), (QStringList{"2010/01/10|74.5|20.25|1|2|||", "2010/01/11|74|20.5|0|1|||"}));
    for (const DiaryColumn column :
         {DiaryColumn::Weight, DiaryColumn::Fat, DiaryColumn::IntakeLevel, DiaryColumn::BurnLevel})
        QCOMPARE(table.cell(2, column).kind(), CellValue::Kind::Number);

    QVERIFY(saveDays(path, {dayAt("2010/01/09", "75")}, false).saved);
    const XlrdDiary saved = xlrdDiary(path, "St_Trimbo");
    QCOMPARE(saved.cells.filter(QRegularExpression("^[23],[2-5] ")),
             (QStringList{"2,2 number 74.5", "2,3 number 20.25", "2,4 number 1", "2,5 number 2", "3,2 number 74",
                          "3,3 number 20.5", "3,4 number 0", "3,5 number 1"}));
    QCOMPARE(saved.formats.filter(QRegularExpression("^3,[2-5] ")),
             (QStringList{"3,2 0.0", "3,3 0.00\"%\"", "3,4 0\"段\"", "3,5 [Blue]0"}));
    QCOMPARE(rowsOf(load(path)).mid(1), rowsOf(table));
}

void TestStore::dateFormatIsAddedWhenMissing()
{
    const QString path = m_folder.filePath("nodates.xls");
    writeWithGnumeric({{"St_Trimbo", {{0, 2, GnumericCell::Number, "5"}}},
                       {"Memo", {{0, 0, GnumericCell::Number, "1.5"}, {1, 0, GnumericCell::Text, "x"}}}},
                      0, path);
    const QStringList before = xlrdDump(path);
    QVERIFY(before.filter("yyyy/mm/dd").isEmpty());
    QVERIFY(saveDays(path, {dayAt("2010/01/29")}, false).saved);
    const QStringList after = xlrdDump(path);
    QVERIFY(after.contains("St_Trimbo!0,0 type=3 value=(2010, 1, 29) format='yyyy/mm/dd'"));
    QCOMPARE(after.filter("Memo!"), before.filter("Memo!"));
    QCOMPARE(rowsOf(load(path)), QStringList{"2010/01/29|60|20|1|1|||"});
}

void TestStore::largeStringTableSurvives()
{
    const QString path = m_folder.filePath("strings.xls");
    std::vector<GnumericCell> memo;
    for (int i = 0; i < 3000; ++i)
        memo.push_back({i, 0, GnumericCell::Text, QStringLiteral("記録 %1 の長めのメモ text %1").arg(i)});
    writeWithGnumeric({{"St_Trimbo", {{0, 0, GnumericCell::Date, dayNumber(2010, 1, 1)}}}, {"Memo", memo}}, 0, path);
    const QStringList before = xlrdDump(path);
    QVERIFY(saveDays(path, {dayAt("2010/01/02", "60", QStringLiteral("新しい").repeated(500))}, false).saved);
    const QStringList after = xlrdDump(path);
    QCOMPARE(after.filter("Memo!"), before.filter("Memo!"));
    QCOMPARE(load(path).cell(2, DiaryColumn::IntakeComment).toText(), QStringLiteral("新しい").repeated(500));
    // The diary sheet grew, so the positions of the sheet after it moved.
    std::optional<CompoundEntry> saved = readCompoundFile(fileBytes(path));
    int checked = 0;
    const QStringList wrong = wrongStreamPositions(saved->findStream("Workbook")->data, &checked);
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(", ")));
    QVERIFY2(checked > 20, qPrintable(QString::number(checked)));
}

void TestStore::repeatedSavesDoNotGrowTheFile()
{
    const QString path = m_folder.filePath("grow.xls");
    m_folder.write("grow.xls", newDiaryWorkbook("St_Trimbo"));
    QVERIFY(saveDays(path, {dayAt("2010/01/01", "60", QString(300, u'a'))}, false).saved);
    const qint64 first = QFileInfo(path).size();
    for (int i = 0; i < 30; ++i)
        QVERIFY(saveDays(path, {dayAt("2010/01/01", "60", QString(300, QChar(u'b' + i % 20)))}, true).saved);
    QVERIFY2(QFileInfo(path).size() <= first + 512, qPrintable(QString::number(QFileInfo(path).size())));
}

void TestStore::sharedFormulaIsNotOverwritten()
{
    // H2 anchors a formula that I2, right of the diary, shares: sorting H2
    // away would leave I2 without its formula.
    QByteArray anchor;
    QByteArray formula = QByteArray::fromHex("010007000f00");
    putF64(formula, 1);
    formula += QByteArray::fromHex("0800000000000500") + QByteArray::fromHex("0101000700");
    appendRecord(anchor, Formula, formula);
    appendRecord(anchor, SharedFormula, QByteArray::fromHex("0100010007080001000300") + QByteArray::fromHex("1e0100"));
    formula.replace(2, 2, QByteArray::fromHex("0800"));
    appendRecord(anchor, Formula, formula);
    const QString path = m_folder.filePath("shared.xls");
    QFile::remove(path);
    m_folder.write("shared.xls", handBuiltWorkbook({}, anchor));
    const QByteArray before = fileBytes(path);
    const SaveDaysResult refused = saveDays(path, {dayAt("1900/01/01")}, false); // sorts row 2 down
    QVERIFY(!refused.saved);
    QCOMPARE(refused.problem->code, DiaryError::SharedFormula);
    QCOMPARE(refused.problem->names, QStringList("H2"));
    QCOMPARE(fileBytes(path), before);
}

namespace {

// The workbook as Gnumeric saves it in the OpenDocument format.
QByteArray openDocumentOf(const QByteArray &workbook)
{
    const QTemporaryDir dir;
    QFile xls(dir.filePath("book.xls"));
    if (!xls.open(QIODevice::WriteOnly) || xls.write(workbook) != workbook.size())
        qFatal("cannot write a workbook");
    xls.close();
    QProcess::execute("ssconvert", {"--export-type=Gnumeric_OpenCalc:odf", xls.fileName(), dir.filePath("book.ods")});
    QFile ods(dir.filePath("book.ods"));
    if (!ods.open(QIODevice::ReadOnly))
        qFatal("ssconvert wrote no .ods");
    return ods.readAll();
}

} // namespace

void TestStore::unusableFiles_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<DiaryError>("code");
    const QByteArray good = newDiaryWorkbook("St_Trimbo");
    QByteArray filePass;
    appendRecord(filePass, FilePass, QByteArray(6, '\0'));
    CompoundEntry biff5;
    biff5.isStorage = true;
    biff5.children.push_back({"Book", false, QByteArray(600, '\0'), {}, {}});

    QTest::newRow("empty file") << QByteArray() << DiaryError::NotCompoundFile;
    QTest::newRow("text") << QByteArray("date,weight\n") << DiaryError::NotCompoundFile;
    QTest::newRow("cut in a sector") << good.left(good.size() / 2) << DiaryError::CutShort;
    QTest::newRow("cut at a sector") << good.left(good.size() - 512) << DiaryError::CutShort;
    QTest::newRow("header only") << good.left(300) << DiaryError::CutShort;
    QTest::newRow("xlsx") << QByteArray("PK\x03\x04") << DiaryError::NewerExcel;
    QTest::newRow("ods") << openDocumentOf(good) << DiaryError::OpenDocument;
    QTest::newRow("password") << handBuiltWorkbook(filePass) << DiaryError::Password;
    QTest::newRow("Excel 95") << writeCompoundFile(biff5).value_or(QByteArray()) << DiaryError::OldExcel;
    QTest::newRow("no diary sheet") << newDiaryWorkbook("Sheet1") << DiaryError::NoDiarySheet;
    // Only a worksheet is a diary: the records of other sheets are no days.
    QByteArray dialog;
    appendRecord(dialog, WsBool, QByteArray("\x11\x04", 2));
    QTest::newRow("chart sheet") << handBuiltSheetOfKind(0x02, 0x0020) << DiaryError::NoDiarySheet;
    QTest::newRow("macro sheet") << handBuiltSheetOfKind(0x01, 0x0040) << DiaryError::NoDiarySheet;
    QTest::newRow("dialog sheet") << handBuiltSheetOfKind(0x00, 0x0010, dialog) << DiaryError::NoDiarySheet;
}

void TestStore::unusableFiles()
{
    QFETCH(QByteArray, content);
    QFETCH(DiaryError, code);
    m_folder.write("bad.xls", content);
    const QString path = m_folder.filePath("bad.xls");
    DiaryBook book(path);
    const DiaryFailure unusable = book.open();
    QCOMPARE(unusable ? unusable->code : DiaryError::End, code);
    QCOMPARE(unusable->path, path);
    const SaveDaysResult refused = saveDays(path, {dayAt("2010/01/01")}, false);
    QCOMPARE(refused.problem ? refused.problem->code : DiaryError::End, code);
    QCOMPARE(fileBytes(path), content);
}

void TestStore::failedSaveLeavesTheFile()
{
    m_folder.write("gone/diary.xls", newDiaryWorkbook("St_Trimbo"));
    DiaryBook book(m_folder.filePath("gone/diary.xls"));
    QVERIFY(!book.open());
    book.firstEmptyRow();
    book.WriteExcelDate(1, dayAt("2010/01/01"));
    // The folder goes away under the open workbook: the save must say so.
    QVERIFY(QDir().rename(m_folder.filePath("gone"), m_folder.filePath("moved")));
    const DiaryFailure failed = book.save();
    QCOMPARE(failed ? failed->code : DiaryError::End, DiaryError::CannotSave);
    QCOMPARE(failed->reason->problem, FileProblem::Missing);
    QCOMPARE(fileBytes(m_folder.filePath("moved/diary.xls")), newDiaryWorkbook("St_Trimbo"));
}

void TestStore::saveReplacesTheFileWhole()
{
    // The new diary takes the old one's name only when it is complete: a
    // reader that has the old file open goes on reading the old bytes.
    const QString path = m_folder.filePath("whole.xls");
    m_folder.write("whole.xls", newDiaryWorkbook("St_Trimbo"));
    QVERIFY(saveDays(path, {dayAt("2010/01/01")}, false).saved);
    const QByteArray before = fileBytes(path);
    QFile reader(path);
    QVERIFY(reader.open(QIODevice::ReadOnly));
    QVERIFY(saveDays(path, {dayAt("2010/01/02", "61", QString(3000, u'x'))}, false).saved);
    QCOMPARE(reader.readAll(), before);
    QVERIFY(fileBytes(path) != before);
}

QTEST_GUILESS_MAIN(TestStore)
#include "tst_store.moc"
