#include "helpers.h"

#include <QFile>
#include <QProcess>
#include <QTest>

// trimbo-diary as a script uses it: every command, and bad input refused
// with one line and a non-zero exit, the workbook left untouched.
class TestDiaryTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newPutShow();
    void showThenImportReproducesTheDiary();
    void badInputLeavesTheWorkbook_data();
    void badInputLeavesTheWorkbook();
    void backupsAndRestore();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run tool(const QStringList &arguments) const;
    TempProgramFolder m_folder;
};

TestDiaryTool::Run TestDiaryTool::tool(const QStringList &arguments) const
{
    QProcess process;
    process.start(QStringLiteral(TRIMBO_DIARY), arguments);
    process.waitForFinished(60000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

void TestDiaryTool::newPutShow()
{
    const QString book = m_folder.filePath("tool.xls");
    QCOMPARE(tool({"new", book}).exitCode, 0);
    QVERIFY(tool({"new", book}).exitCode != 0); // never over an existing file
    QCOMPARE(tool({"put", book, "--date", "2010/01/29", "--weight", "65.5", "--fat", "21.3", "--intake", "2",
                   "--burn", "0", "--comment-in", "朝, \"パン\"\n昼", "--photo", "20100129.bmp"}).exitCode, 0);
    QCOMPARE(tool({"put", book, "--date", "2010/1/28"}).exitCode, 0);
    QCOMPARE(tool({"show", book}).out,
             QString("date,weight,fat,intake,burn,comment_in,comment_out,photo\r\n"
                     "2010/01/28,,,1,1,,,\r\n"
                     "2010/01/29,65.5,21.3,2,0,\"朝, \"\"パン\"\"\n昼\",,20100129.bmp\r\n"));
    const Run refused = tool({"put", book, "--date", "2010/01/28", "--weight", "60"});
    QVERIFY(refused.exitCode != 0);
    QVERIFY(refused.err.contains("2010/01/28"));
    QCOMPARE(tool({"put", book, "--date", "2010/01/28", "--weight", "60", "--overwrite"}).exitCode, 0);
    QVERIFY(tool({"show", book}).out.contains("2010/01/28,60,,1,1,,,\r\n"));
}

void TestDiaryTool::showThenImportReproducesTheDiary()
{
    const QString first = m_folder.filePath("first.xls");
    const QString second = m_folder.filePath("second.xls");
    QCOMPARE(tool({"new", first}).exitCode, 0);
    QCOMPARE(tool({"new", second}).exitCode, 0);
    m_folder.write("days.csv", "date,weight,fat,intake,burn,comment_in,comment_out,photo\r\n"
                               "2011/03/02,70,25,0,2,\"二行の\r\nメモ\",走った,20110302.bmp\n"
                               "2011/03/01,70.5,,1,1,,,\n");
    QCOMPARE(tool({"import", first, m_folder.filePath("days.csv")}).exitCode, 0);
    const QString shown = tool({"show", first}).out;
    QVERIFY(shown.indexOf("2011/03/01") < shown.indexOf("2011/03/02"));
    m_folder.write("shown.csv", shown.toUtf8());
    QCOMPARE(tool({"import", second, m_folder.filePath("shown.csv")}).exitCode, 0);
    QCOMPARE(tool({"show", second}).out, shown);
}

void TestDiaryTool::backupsAndRestore()
{
    TempProgramFolder folder;
    const QString book = folder.filePath("Bk_Trimbo.xls");
    QCOMPARE(tool({"new", book}).exitCode, 0);
    QCOMPARE(tool({"put", book, "--date", "2012/04/01", "--weight", "70"}).exitCode, 0);
    const QByteArray kept = folder.read("Bk_Trimbo.xls");
    folder.write("Backup/Bk_Trimbo_20120301_080000.xls", kept);
    folder.write("Backup/Bk_Trimbo_20120402_080000.xls", "no workbook");
    folder.write("Backup/readme.txt", "not a backup");
    QCOMPARE(tool({"put", book, "--date", "2012/04/02", "--weight", "69"}).exitCode, 0);

    QCOMPARE(tool({"backups", book}).out,
             QString("Bk_Trimbo_20120301_080000.xls\t2012/03/01 08:00:00\t%1\n"
                     "Bk_Trimbo_20120402_080000.xls\t2012/04/02 08:00:00\t11\n").arg(kept.size()));

    // A file that is no workbook is never put in the diary's place.
    const QByteArray twoDays = folder.read("Bk_Trimbo.xls");
    const Run refused = tool({"restore", book, "Bk_Trimbo_20120402_080000.xls"});
    QVERIFY(refused.exitCode != 0);
    QVERIFY(!refused.err.isEmpty());
    QCOMPARE(folder.read("Bk_Trimbo.xls"), twoDays);
    QVERIFY(tool({"restore", book, "Bk_Trimbo_20000101_000000.xls"}).exitCode != 0);

    QCOMPARE(tool({"restore", book, "Bk_Trimbo_20120301_080000.xls"}).exitCode, 0);
    QCOMPARE(folder.read("Bk_Trimbo.xls"), kept);
    // The diary replaced is kept first, as a backup of today.
    const QStringList listed = tool({"backups", book}).out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(listed.size(), 3);
    const QString newest = listed.last().section(u'\t', 0, 0);
    QVERIFY2(newest.startsWith("Bk_Trimbo_" + QDate::currentDate().toString("yyyyMMdd")), qPrintable(newest));
    QCOMPARE(folder.read("Backup/" + newest), twoDays);
}

void TestDiaryTool::badInputLeavesTheWorkbook_data()
{
    QTest::addColumn<QStringList>("arguments"); // BOOK and CSV stand for the files
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    const QByteArray header = "date,weight,fat,intake,burn,comment_in,comment_out,photo\n";
    QTest::newRow("unknown option") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--colour", "red"}
                                    << QByteArray() << "colour";
    QTest::newRow("impossible date") << QStringList{"put", "BOOK", "--date", "2010/02/30"} << QByteArray() << "2010/02/30";
    QTest::newRow("no date") << QStringList{"put", "BOOK", "--weight", "60"} << QByteArray() << "--date";
    QTest::newRow("level 3") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--intake", "3"} << QByteArray()
                             << "0, 1 or 2";
    QTest::newRow("weight in words") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--weight", "heavy"}
                                     << QByteArray() << "heavy";
    QTest::newRow("csv: short line") << QStringList{"import", "BOOK", "CSV"}
                                     << header + "2010/01/01,60,,1,1,,,\n2010/01/02,61\n" << "line 3";
    QTest::newRow("csv: bad level") << QStringList{"import", "BOOK", "CSV"}
                                    << header + "2010/01/01,60,,1,7,,,\n" << "line 2";
    QTest::newRow("csv: open quote") << QStringList{"import", "BOOK", "CSV"}
                                     << header + "2010/01/01,60,,1,1,\"never closed,,\n" << "line 2";
    QTest::newRow("csv: no header") << QStringList{"import", "BOOK", "CSV"} << QByteArray("2010/01/01,60,,1,1,,,\n")
                                    << "line 1";
    QTest::newRow("not a workbook") << QStringList{"put", "CSV", "--date", "2010/01/01"} << header << "Excel";
}

void TestDiaryTool::badInputLeavesTheWorkbook()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    const QString book = m_folder.filePath("bad.xls");
    QFile::remove(book);
    QCOMPARE(tool({"new", book}).exitCode, 0);
    QCOMPARE(tool({"put", book, "--date", "2009/12/31", "--weight", "59"}).exitCode, 0);
    const QByteArray before = m_folder.read("bad.xls");
    m_folder.write("bad.csv", csv);
    arguments.replaceInStrings("BOOK", book).replaceInStrings("CSV", m_folder.filePath("bad.csv"));

    const Run run = tool(arguments);
    QVERIFY(run.exitCode != 0);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
    QCOMPARE(m_folder.read("bad.xls"), before);
    QCOMPARE(m_folder.read("bad.csv"), csv);
}

QTEST_GUILESS_MAIN(TestDiaryTool)
#include "tst_diarytool.moc"
