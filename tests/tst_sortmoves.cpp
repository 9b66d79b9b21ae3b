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
    void formulaReferences();
    void excelSamplesMoveWhatIsAnchored_data();
    void excelSamplesMoveWhatIsAnchored();
    void sharedFormulaMembersKeepTheirResults();
    void formulasThatCannotMoveAreNamed();

private:
    QTemporaryDir m_dir;
};

namespace {

// A FORMULA record at E5 with a cached 1 and the given expression.
QByteArray formulaRecord(const QByteArray &expression)
{
    QByteArray record;
    appendRecord(record, Formula,
                 cellHeader(4, 4, 15) + QByteArray::fromHex("000000000000f03f000000000000") + char(expression.size())
                     + '\0' + expression);
    return record;
}

// The lines of anchoredOnCells(), sorted, each with the row left out of its
// cell when the row has a day (what it is anchored to is then the day).
// Lines of rows without a day stay as they are.
QStringList byDay(const QStringList &lines)
{
    static const QRegularExpression parts(QStringLiteral(R"(^(\w+) ([A-Z]+)(\d+)(?:(:[A-Z]+)\d+)? (\[[^\]]*\]) (.*)$)"),
                                          QRegularExpression::DotMatchesEverythingOption);
    QStringList out;
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = parts.match(line);
        if (!m.hasMatch() || m.captured(5) == u"[]") {
            out << line;
            continue;
        }
        out << QStringLiteral("%1 %2%3 %4 %5")
                   .arg(m.captured(1), m.captured(2), m.captured(4), m.captured(5), m.captured(6));
    }
    out.sort();
    return out;
}

} // namespace

void TestSortMoves::formulaReferences()
{
    using M = sortmoves::FormulaMove;
    // A formula not moved is left as it was; one moved is worked out again on opening.
    const auto check = [](const char *name, QByteArray expression, int delta, M move, QByteArray moved = {}) {
        QByteArray record = formulaRecord(QByteArray::fromHex(expression.replace(' ', "")));
        const M result = sortmoves::shiftFormula(record, delta);
        const auto line = [&](M m, const QByteArray &hex, bool again) {
            return QStringLiteral("%1: move %2, %3, %4").arg(name).arg(int(m)).arg(hex).arg(again);
        };
        QCOMPARE(line(result, record.mid(4 + 22).toHex(), u16(record.constData() + 4 + 14) & 0x0001),
                 line(move, move == M::Moved ? moved.replace(' ', "") : expression, move == M::Moved));
    };
    // Column words: 0xC000 relative row and column, 0x4000 relative column only.
    check("=A5-1, relative", "24040000c0 1e0100 04", 3, M::Moved, "24070000c0 1e0100 04");
    check("=$A$1+A5, the absolute row kept", "2400000000 24040000c0 03", 2, M::Moved, "2400000000 24060000c0 03");
    check("=SUM(A1:A5) moved up, a value class", "45 0000 0400 00c0 00c0 19100000", -1, M::LeavesSheet);
    check("=SUM(A2:$A5): only the relative end moves", "25 0100 0400 00c0 0000 19100000", 3, M::Moved,
          "25 0400 0400 00c0 0000 19100000");
    check("=SUM(A:A) names every row", "25 0000 ffff 00c0 00c0 19100000", 5, M::Moved,
          "25 0000 ffff 00c0 00c0 19100000");
    check("=Sheet2!B5&\"ab\", another sheet", "3a 0000 0400 01c0 1702006162 08", 1, M::Moved,
          "3a 0000 0500 01c0 1702006162 08");
    check("=IF(TRUE,A5,0), jumps", "1d01 19020a00 24040000c0 19080700 1e0000 19080300 22030100", 1, M::Moved,
          "1d01 19020a00 24050000c0 19080700 1e0000 19080300 22030100");
    check("=CHOOSE(1,A5), a jump table", "1e0100 19040100 04000900 24040000c0 19080000 22026400", 2, M::Moved,
          "1e0100 19040100 04000900 24060000c0 19080000 22026400");
    check("=A1 would leave the top", "24000000c0", -1, M::LeavesSheet);
    check("=A65536 would leave the bottom", "24ffff00c0", 1, M::LeavesSheet);
    check("a member of a shared formula", "0100000400", 1, M::Shared);
    check("a reference as a shared formula holds it", "2c010000c0", 1, M::Unreadable);
    check("cut short", "250100", 1, M::Unreadable);
}

// A save that sorts a day to the top of the diary takes along the notes and
// hyperlinks on its cells: everything on a day's row is still on that day's
// row after it; what is on rows without a day stays. (Formulas moving with
// their day are formulaReferences and formulasThatCannotMoveAreNamed.)
void TestSortMoves::excelSamplesMoveWhatIsAnchored_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<QStringList>("daysFirst"); // saved one by one before the sorting save
    QTest::addColumn<QString>("earlierDay");    // the save whose sort is checked
    // The invoice's notes lie on E6 to E8: days fill the rows down to them
    // (the text row "Product Id" sorting below the dates each time).
    QTest::newRow("notes on an invoice") << "phpss_30template.xls"
                                         << "Invoice"
                                         << QStringList{"2010/01/01", "2010/01/02", "2010/01/03", "2010/01/04",
                                                        "2010/01/05", "2010/01/06", "2010/01/07"}
                                         << "2009/12/31";
    // Column A holds the links' texts: a date goes above every text, and the
    // texts sort among themselves, each link going with its text.
    QTest::newRow("a link on each A cell") << "sheetjs-hyperlink_stress_test_2011.xls"
                                           << "Sheet1" << QStringList() << "2010/01/01";
}

void TestSortMoves::excelSamplesMoveWhatIsAnchored()
{
    QFETCH(QString, file);
    QFETCH(QString, sheet);
    QFETCH(QStringList, daysFirst);
    QFETCH(QString, earlierDay);
    const QString path = m_dir.filePath(file);
    writeRenamedSample(excelSamplePath(file), sheet, path);
    if (QTest::currentTestFailed())
        return;
    for (const QString &date : daysFirst)
        QVERIFY(saveDays(path, {dayAt(date)}, false).saved);
    const QStringList before = anchoredOnCells(path, QStringLiteral("St_Trimbo"));
    QVERIFY(!before.isEmpty());
    const SaveDaysResult saved = saveDays(path, {dayAt(earlierDay)}, false);
    QVERIFY(saved.saved);
    QVERIFY(saved.notes.empty());
    QCOMPARE(saved.table.cell(1, DiaryColumn::Date).toText(), earlierDay);
    QCOMPARE(byDay(anchoredOnCells(path, QStringLiteral("St_Trimbo"))), byDay(before));
}

// Sheet1 of the charts sample: the numbers 1 to 6 in A (the days
// 1899/12/31 to 1900/01/05), E1:E6 one shared formula, =D1*D1 filled down.
void TestSortMoves::sharedFormulaMembersKeepTheirResults()
{
    const QString path = m_dir.filePath("charts.xls");
    writeRenamedSample(excelSamplePath("poi-WithThreeCharts.xls"), "Sheet1", path);
    if (QTest::currentTestFailed())
        return;
    // Overwriting the first day would take the formula away from E2 to E6.
    const QByteArray before = fileBytes(path);
    const SaveDaysResult refused = saveDays(path, {dayAt("1899/12/31")}, true);
    QCOMPARE(refused.problem ? refused.problem->code : DiaryError::End, DiaryError::SharedFormula);
    QCOMPARE(refused.problem->names, QStringList("E1"));
    QCOMPARE(fileBytes(path), before);

    // A day before all of them moves every row down, the whole shared formula
    // with them: each cell keeps the number it showed.
    const SaveDaysResult saved = saveDays(path, {dayAt("1899/12/30")}, false);
    QStringList kept;
    for (const DiaryProblem &note : saved.notes)
        kept << (note.code == DiaryError::SharedFormulaKept ? note.names.join(u',') : QString());
    QCOMPARE(kept, (QStringList{"E2", "E3", "E4", "E5", "E6", "E7"}));
    QCOMPARE(anchoredOnCells(path, QStringLiteral("St_Trimbo")).filter("formula E"), QStringList());
    const QStringList diary = xlrdDiary(path, QStringLiteral("St_Trimbo")).cells;
    for (const char *value : {"1,5 number 1", "2,5 number 25", "5,5 number 64", "7,5 number 100", "7,1 number 6"})
        QVERIFY2(diary.contains(value), qPrintable(value + QStringLiteral(" not in\n") + diary.join(u'\n')));
}

// Formulas that read the row above: the day sorted to the top cannot take
// them along (they would point above the sheet), so they stay as their
// results, a number, a boolean and an error, and trimbo-diary names each
// cell (tst_core checks the save's notes).
void TestSortMoves::formulasThatCannotMoveAreNamed()
{
    const QString path = m_dir.filePath("above.xls");
    // 2010/01/10, then 2010/01/05 with its formulas, to be sorted up.
    writeWithGnumeric({{"St_Trimbo",
                        {{0, 0, GnumericCell::Date, "40188"},
                         {1, 0, GnumericCell::Date, "40183"},
                         {1, 1, GnumericCell::Formula, "=A1-40000"},
                         {1, 2, GnumericCell::Formula, "=A1>40000"},
                         {1, 3, GnumericCell::Formula, "=IF(A1>0,NA(),0)"},
                         {1, 5, GnumericCell::Formula, "=\"day \"&B2"}}}},
                      0, path);
    QProcess tool;
    tool.start(QStringLiteral(TRIMBO_DIARY), {"put", path, "--date", "2010/01/20"});
    QVERIFY(tool.waitForFinished(30000));
    QCOMPARE(tool.exitCode(), 0);
    const QString printed = QString::fromUtf8(tool.readAllStandardError());
    QVERIFY2(printed.contains("B1") && printed.contains("C1") && printed.contains("D1") && !printed.contains("F1"),
             qPrintable(printed));
    const QStringList diary = xlrdDiary(path, QStringLiteral("St_Trimbo")).cells;
    for (const char *cell : {"1,1 date 2010/01/05", "1,2 number 188", "1,3 boolean TRUE", "1,4 error #N/A",
                             "2,1 date 2010/01/10", "3,1 date 2010/01/20"})
        QVERIFY2(diary.contains(cell), qPrintable(cell + QStringLiteral(" not in\n") + diary.join(u'\n')));
    // F reads its own row: it moves as a formula.
    QVERIFY(anchoredOnCells(path, QStringLiteral("St_Trimbo"))
                .contains("formula F1 [2010/01/05] of:=\"day \"&[.B1] -> text"));
}

QTEST_GUILESS_MAIN(TestSortMoves)
#include "tst_sortmoves.moc"
