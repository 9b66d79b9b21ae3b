// What moves with a day when a save sorts the diary rows: formulas with
// their relative references, notes and hyperlinks, results of their kind.
#include "diarybook.h"
#include "excelsamples.h"
#include "helpers.h"
#include "independent.h"
#include "sortmoves.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace biff;

class TestSortMoves : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void formulaReferences_data();
    void formulaReferences();
    void excelSamplesMoveWhatIsAnchored_data();
    void excelSamplesMoveWhatIsAnchored();
    void sharedFormulaMembersKeepTheirResults();
    void formulasThatCannotMoveAreNamed();

private:
    QTemporaryDir m_dir;
};

namespace {

// A FORMULA record at row 4 (E5) with a cached number and the given expression.
QByteArray formulaRecord(const QByteArray &expression)
{
    QByteArray data = QByteArray::fromHex("040004000f00");
    putF64(data, 1);
    data += QByteArray::fromHex("000000000000"); // options, chain
    putU16(data, uint16_t(expression.size()));
    data += expression;
    QByteArray record;
    appendRecord(record, Formula, data);
    return record;
}

// The expression of a FORMULA record written by formulaRecord().
QByteArray expressionOf(const QByteArray &record)
{
    return record.mid(4 + 22);
}

// A relative row in a LibreOffice reference becomes its distance from the
// formula's own row, so that a formula moved as a spreadsheet moves it
// reads the same from its new row: "of:=[.A3]-1" in B3 gives "of:=[.A+0]-1".
QString relativeForm(const QString &formula, int row)
{
    static const QRegularExpression reference(QStringLiteral(R"((\.\$?[A-Z]{1,3})(\$?)(\d+))"));
    QString out;
    qsizetype last = 0;
    for (const QRegularExpressionMatch &m : reference.globalMatch(formula)) {
        out += formula.mid(last, m.capturedStart() - last);
        out += m.captured(2).isEmpty() ? QStringLiteral("%1%2%3")
                                             .arg(m.captured(1))
                                             .arg(m.captured(3).toInt() - row >= 0 ? "+" : "")
                                             .arg(m.captured(3).toInt() - row)
                                       : m.captured(0);
        last = m.capturedEnd();
    }
    return out + formula.mid(last);
}

// A line of anchoredOnCells() with the row left out of its cell when the row
// has a day (what it is anchored to is then the day), its formula read from
// its own row. Lines of rows without a day stay as they are.
QString byDay(const QString &line)
{
    static const QRegularExpression parts(QStringLiteral(R"(^(\w+) ([A-Z]+)(\d+)(:[A-Z]+\d+)? (\[[^\]]*\]) (.*)$)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = parts.match(line);
    if (!m.hasMatch() || m.captured(5) == u"[]")
        return line;
    const int row = m.captured(3).toInt();
    QString rest = m.captured(6);
    if (m.captured(1) == u"formula")
        rest = relativeForm(rest, row);
    QString range = m.captured(4);
    range.remove(QRegularExpression(QStringLiteral("\\d+$")));
    return QStringLiteral("%1 %2%3 %4 %5").arg(m.captured(1), m.captured(2), range, m.captured(5), rest);
}

QStringList byDay(const QStringList &lines)
{
    QStringList out;
    for (const QString &line : lines)
        out.append(byDay(line));
    out.sort();
    return out;
}

} // namespace

void TestSortMoves::formulaReferences_data()
{
    QTest::addColumn<QByteArray>("expression");
    QTest::addColumn<int>("delta");
    QTest::addColumn<int>("move");
    QTest::addColumn<QByteArray>("moved");
    using M = sortmoves::FormulaMove;
    const auto row = [](const char *name, const char *expression, int delta, M move, const char *moved = "") {
        QTest::newRow(name) << QByteArray(expression) << delta << int(move) << QByteArray(moved);
    };
    // Column words: 0xC000 relative row and column, 0x4000 relative column only.
    row("=A5-1, relative", "24040000c0 1e0100 04", 3, M::Moved, "24070000c0 1e0100 04");
    row("=$A$1+A5, the absolute row kept", "2400000000 24040000c0 03", 2, M::Moved, "2400000000 24060000c0 03");
    row("=SUM(A1:A5) moved up, a value class", "45 0000 0400 00c0 00c0 19100000", -1, M::LeavesSheet);
    row("=SUM(A2:$A5): only the relative end moves", "25 0100 0400 00c0 0000 19100000", 3, M::Moved,
        "25 0400 0400 00c0 0000 19100000");
    row("=SUM(A:A) names every row", "25 0000 ffff 00c0 00c0 19100000", 5, M::Moved, "25 0000 ffff 00c0 00c0 19100000");
    row("=Sheet2!B5&\"ab\", another sheet", "3a 0000 0400 01c0 1702006162 08", 1, M::Moved,
        "3a 0000 0500 01c0 1702006162 08");
    row("=IF(TRUE,A5,0), jumps", "1d01 19020a00 24040000c0 19080700 1e0000 19080300 22030100", 1, M::Moved,
        "1d01 19020a00 24050000c0 19080700 1e0000 19080300 22030100");
    row("=CHOOSE(1,A5), a jump table", "1e0100 19040100 04000900 24040000c0 19080000 22026400", 2, M::Moved,
        "1e0100 19040100 04000900 24060000c0 19080000 22026400");
    row("=A1 would leave the top", "24000000c0", -1, M::LeavesSheet);
    row("=A65536 would leave the bottom", "24ffff00c0", 1, M::LeavesSheet);
    row("a member of a shared formula", "0100000400", 1, M::Shared);
    row("a reference as a shared formula holds it", "2c010000c0", 1, M::Unreadable);
    row("cut short", "250100", 1, M::Unreadable);
}

void TestSortMoves::formulaReferences()
{
    QFETCH(QByteArray, expression);
    QFETCH(int, delta);
    QFETCH(int, move);
    QFETCH(QByteArray, moved);
    expression.replace(' ', "");
    QByteArray record = formulaRecord(QByteArray::fromHex(expression));
    const QByteArray before = record;
    QCOMPARE(int(sortmoves::shiftFormula(record, delta)), move);
    if (move != int(sortmoves::FormulaMove::Moved)) {
        QCOMPARE(record, before);
        return;
    }
    QCOMPARE(expressionOf(record).toHex(), QByteArray::fromHex(moved.replace(' ', "")).toHex());
    QVERIFY(u16(record.constData() + 4 + 14) & 0x0001); // worked out again on opening
}

void TestSortMoves::excelSamplesMoveWhatIsAnchored_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("daysFirst"); // saved one by one before the sorting save
    QTest::addColumn<QString>("earlierDay");    // the save whose sort is checked
    QTest::addColumn<QStringList>("expected");  // lines anchoredOnCells() gives afterwards

    // B1 =A1-1 and B2 =A2+1 beside the dates; a day before both goes on top.
    QTest::newRow("formulas beside 1904 dates")
        << "phpss_1904_Calendar.xls"
        << "Sheet1" << QStringList() << "2021/06/01"
        << QStringList{"formula B2 [2022/01/01] of:=[.A2]-1 -> date", "formula B3 [2022/12/31] of:=[.A3]+1 -> date"};
    // The invoice's notes lie on E6 to E8: days fill the rows down to them
    // (the text row "Product Id" sorting below the dates each time), and a
    // day before all of them moves every row down by one.
    QTest::newRow("notes on an invoice")
        << "phpss_30template.xls"
        << "Invoice"
        << QStringList{"2010/01/01", "2010/01/02", "2010/01/03", "2010/01/04", "2010/01/05", "2010/01/06", "2010/01/07"}
        << "2009/12/31"
        << QStringList{"note E6 [2010/01/05] PHPExcel:\\nTotal amount on the current invoice, excluding VAT.",
                       "note E7 [2010/01/06] PHPExcel:\\nTotal amount of VAT on the current invoice.",
                       "note E8 [2010/01/07] PHPExcel:\\nTotal amount on the current invoice, including VAT.",
                       "notebox E6 [2010/01/05] rows -1 to +3",
                       "notebox E8 [2010/01/07] rows -1 to +6",
                       "link E18:E18 [] http://www.phpexcel.net/",
                       "link E19:E19 [] #'Terms and conditions'!A1"};
    // Column A holds the links' texts: a date goes above every text, and the
    // texts sort among themselves, each link going with its text.
    QTest::newRow("a link on each A cell")
        << "sheetjs-hyperlink_stress_test_2011.xls"
        << "Sheet1" << QStringList() << "2010/01/01"
        << QStringList{"link A2:A2 [dev at sheetjs dot com] mailto:dev@sheetjs.com",
                       "link A5:A5 [http://sheetjs.com screentip foo bar baz] http://sheetjs.com",
                       "link A6:A6 [http://www.sheetjs.com] http://www.sheetjs.com",
                       "link A7:A7 [OSS] http://oss.sheetjs.com", "link A8:A8 [OSS#foo] http://oss.sheetjs.com#foo"};
}

void TestSortMoves::excelSamplesMoveWhatIsAnchored()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QStringList, daysFirst);
    QFETCH(QString, earlierDay);
    QFETCH(QStringList, expected);
    const QString path = m_dir.filePath(file);
    writeRenamedSample(excelSamplePath(file), sheet, path);
    if (QTest::currentTestFailed())
        return;
    for (const QString &date : daysFirst) {
        const SaveDaysResult saved = saveDays(path, {dayAt(date)}, false);
        QVERIFY(saved.saved);
    }
    const QStringList before = anchoredOnCells(path, QStringLiteral("St_Trimbo"));
    QVERIFY(!before.isEmpty());

    const SaveDaysResult saved = saveDays(path, {dayAt(earlierDay)}, false);
    QVERIFY(saved.saved);
    QVERIFY(saved.notes.empty());
    QCOMPARE(saved.table.cell(1, DiaryColumn::Date).toText(), earlierDay);
    const QStringList after = anchoredOnCells(path, QStringLiteral("St_Trimbo"));
    for (const QString &line : expected)
        QVERIFY2(after.contains(line), qPrintable(line + "\nnot in\n" + after.join(u'\n')));
    // Everything on a day's row is still on that day's row, formulas reading
    // the same cells relative to it; what is on rows without a day has stayed.
    QCOMPARE(byDay(after), byDay(before));
}

// Sheet1 of the charts sample: the numbers 1 to 6 in A (the days
// 1899/12/31 to 1900/01/05), E1:E6 one shared formula, =D1*D1 filled down.
void TestSortMoves::sharedFormulaMembersKeepTheirResults()
{
    const QString path = m_dir.filePath("charts.xls");
    writeRenamedSample(excelSamplePath("poi-WithThreeCharts.xls"), "Sheet1", path);
    if (QTest::currentTestFailed())
        return;
    QCOMPARE(anchoredOnCells(path, QStringLiteral("St_Trimbo")).filter("of:=[.D4]*[.D4]"),
             QStringList("formula E4 [4] of:=[.D4]*[.D4] -> number"));

    // Overwriting the first day would take the formula away from E2 to E6.
    const QByteArray before = fileBytes(path);
    const SaveDaysResult refused = saveDays(path, {dayAt("1899/12/31")}, true);
    QVERIFY(!refused.saved);
    QCOMPARE(refused.problem->code, DiaryError::SharedFormula);
    QCOMPARE(refused.problem->names, QStringList("E1"));
    QCOMPARE(fileBytes(path), before);

    // A day before all of them moves every row down, the whole shared formula
    // with them: each cell keeps the number it showed.
    const SaveDaysResult saved = saveDays(path, {dayAt("1899/12/30")}, false);
    QVERIFY(saved.saved);
    QCOMPARE(saved.notes.size(), 6);
    for (int row = 2; row <= 7; ++row) {
        QCOMPARE(saved.notes[row - 2].code, DiaryError::SharedFormulaKept);
        QCOMPARE(saved.notes[row - 2].names, QStringList(QStringLiteral("E%1").arg(row)));
    }
    QCOMPARE(anchoredOnCells(path, QStringLiteral("St_Trimbo")).filter("formula E"), QStringList());
    const QStringList diary = xlrdDiary(path, QStringLiteral("St_Trimbo")).cells;
    for (const char *value : {"1,5 number 1", "2,5 number 25", "5,5 number 64", "7,5 number 100", "7,1 number 6"})
        QVERIFY2(diary.contains(value), qPrintable(value + QStringLiteral(" not in\n") + diary.join(u'\n')));
}

// Formulas that read the row above: the day sorted to the top cannot take
// them along (they would point above the sheet), so they stay as their
// results, a number, a boolean and an error, and the save names each cell;
// the command line prints the same.
void TestSortMoves::formulasThatCannotMoveAreNamed()
{
    const QString path = m_dir.filePath("above.xls");
    writeWithGnumeric({{"St_Trimbo",
                        {{0, 0, GnumericCell::Date, "40188"}, // 2010/01/10
                         {1, 0, GnumericCell::Date, "40183"}, // 2010/01/05, to be sorted up
                         {1, 1, GnumericCell::Formula, "=A1-40000"},
                         {1, 2, GnumericCell::Formula, "=A1>40000"},
                         {1, 3, GnumericCell::Formula, "=IF(A1>0,NA(),0)"},
                         {1, 5, GnumericCell::Formula, "=\"day \"&B2"}}}},
                      0, path);
    const QString copy = m_dir.filePath("above-copy.xls");
    QVERIFY(QFile::copy(path, copy));

    const SaveDaysResult saved = saveDays(path, {dayAt("2010/01/20")}, false);
    QVERIFY(saved.saved);
    QCOMPARE(saved.notes.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(saved.notes[size_t(i)].code, DiaryError::FormulaLeavingKept);
        QCOMPARE(saved.notes[size_t(i)].names, QStringList(QStringLiteral("BCD")[i] + QStringLiteral("1")));
    }
    const QStringList diary = xlrdDiary(path, QStringLiteral("St_Trimbo")).cells;
    for (const char *cell : {"1,1 date 2010/01/05", "1,2 number 188", "1,3 boolean TRUE", "1,4 error #N/A",
                             "2,1 date 2010/01/10", "3,1 date 2010/01/20"})
        QVERIFY2(diary.contains(cell), qPrintable(cell + QStringLiteral(" not in\n") + diary.join(u'\n')));
    // F reads its own row: it moves as a formula.
    QVERIFY(anchoredOnCells(path, QStringLiteral("St_Trimbo"))
                .contains("formula F1 [2010/01/05] of:=\"day \"&[.B1] -> text"));

    QProcess tool;
    tool.start(QStringLiteral(TRIMBO_DIARY), {"put", copy, "--date", "2010/01/20"});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    const QString printed = QString::fromUtf8(tool.readAllStandardError());
    for (const char *cell : {"B1", "C1", "D1"})
        QVERIFY2(printed.contains(cell), qPrintable(printed));
}

QTEST_GUILESS_MAIN(TestSortMoves)
#include "tst_sortmoves.moc"
