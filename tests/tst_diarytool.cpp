#include "helpers.h"
#include "independent.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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
    void everyCommandAnswersHelp_data();
    void everyCommandAnswersHelp();
    void dashArgumentsAreNoFiles_data();
    void dashArgumentsAreNoFiles();
    void commentKeepsWhatWasTyped();
    void numberFormatsOfGnumericShowAsNumbers();

private:
    struct Run
    {
        int exitCode;
        QString out;
        QString err;
    };
    Run tool(const QStringList &arguments, const QString &workingDirectory = QString()) const;
    TempProgramFolder m_folder;
};

TestDiaryTool::Run TestDiaryTool::tool(const QStringList &arguments, const QString &workingDirectory) const
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
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

void TestDiaryTool::badInputLeavesTheWorkbook_data()
{
    QTest::addColumn<QStringList>("arguments"); // BOOK and CSV stand for the files
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("usage"); // the usage line said after the message, if any
    const QByteArray header = "date,weight,fat,intake,burn,comment_in,comment_out,photo\n";
    QTest::newRow("unknown option") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--colour", "red"}
                                    << QByteArray() << "colour"
                                    << "usage: trimbo-diary put FILE --date";
    QTest::newRow("impossible date") << QStringList{"put", "BOOK", "--date", "2010/02/30"} << QByteArray()
                                     << "2010/02/30" << QString();
    QTest::newRow("no date") << QStringList{"put", "BOOK", "--weight", "60"} << QByteArray() << "--date"
                             << "usage: trimbo-diary put FILE --date";
    QTest::newRow("level 3") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--intake", "3"} << QByteArray()
                             << "0, 1 or 2" << QString();
    QTest::newRow("weight in words") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--weight", "heavy"}
                                     << QByteArray() << "heavy" << QString();
    QTest::newRow("weight 1e308") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--weight", "1e308"}
                                  << QByteArray() << "a weight lies between 0 and 1000 kg" << QString();
    QTest::newRow("weight below 0") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--weight", "-1"}
                                    << QByteArray() << "a weight lies between 0 and 1000 kg" << QString();
    QTest::newRow("body fat 101") << QStringList{"put", "BOOK", "--date", "2010/01/01", "--fat", "101"}
                                  << QByteArray() << "body fat lies between 0 and 100 %" << QString();
    QTest::newRow("photo out of the folder")
        << QStringList{"put", "BOOK", "--date", "2010/01/01", "--photo", "../../../../dev/zero"} << QByteArray()
        << "is not a file name" << QString();
    QTest::newRow("csv: weight 1e308") << QStringList{"import", "BOOK", "CSV"}
                                       << header + "2010/01/01,60,,1,1,,,\n2010/01/02,1e308,,1,1,,,\n"
                                       << "line 3: \"1e308\" is out of range" << QString();
    QTest::newRow("csv: photo with a folder") << QStringList{"import", "BOOK", "CSV"}
                                              << header + "2010/01/01,60,,1,1,,,../secret.bmp\n" << "line 2" << QString();
    QTest::newRow("csv: short line") << QStringList{"import", "BOOK", "CSV"}
                                     << header + "2010/01/01,60,,1,1,,,\n2010/01/02,61\n" << "line 3" << QString();
    QTest::newRow("csv: bad level") << QStringList{"import", "BOOK", "CSV"}
                                    << header + "2010/01/01,60,,1,7,,,\n" << "line 2" << QString();
    QTest::newRow("csv: open quote") << QStringList{"import", "BOOK", "CSV"}
                                     << header + "2010/01/01,60,,1,1,\"never closed,,\n" << "line 2" << QString();
    QTest::newRow("csv: no header") << QStringList{"import", "BOOK", "CSV"} << QByteArray("2010/01/01,60,,1,1,,,\n")
                                    << "line 1" << QString();
    QTest::newRow("not a workbook") << QStringList{"put", "CSV", "--date", "2010/01/01"} << header << "Excel" << QString();
}

void TestDiaryTool::badInputLeavesTheWorkbook()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, csv);
    QFETCH(QString, message);
    QFETCH(QString, usage);
    const QString book = m_folder.filePath("bad.xls");
    QFile::remove(book);
    QCOMPARE(tool({"new", book}).exitCode, 0);
    QCOMPARE(tool({"put", book, "--date", "2009/12/31", "--weight", "59"}).exitCode, 0);
    const QByteArray before = m_folder.read("bad.xls");
    m_folder.write("bad.csv", csv);
    arguments.replaceInStrings("BOOK", book).replaceInStrings("CSV", m_folder.filePath("bad.csv"));

    const Run run = tool(arguments);
    QVERIFY(run.exitCode != 0);
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.first().contains(message), qPrintable(run.err));
    QCOMPARE(lines.size(), usage.isEmpty() ? 1 : 2);
    QVERIFY2(lines.last().startsWith(usage), qPrintable(run.err));
    QCOMPARE(m_folder.read("bad.xls"), before);
    QCOMPARE(m_folder.read("bad.csv"), csv);
}

void TestDiaryTool::everyCommandAnswersHelp_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("answer"); // the start of what it prints
    for (const char *command : {"new", "show", "put", "import"}) {
        const QString usage = QStringLiteral("usage: trimbo-diary %1 FILE").arg(QLatin1String(command));
        QTest::newRow(command) << QStringList{command, "--help"} << usage;
        QTest::addRow("%s -h with a file", command) << QStringList{command, "book.xls", "-h"} << usage;
    }
    QTest::newRow("the tool") << QStringList{"--help"} << "usage:\n  trimbo-diary new FILE\n  trimbo-diary show FILE\n";
}

// Help is printed and nothing else happens: no file named "--help" or any other.
void TestDiaryTool::everyCommandAnswersHelp()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, answer);
    QTemporaryDir dir;
    const Run run = tool(arguments, dir.path());
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith(answer), qPrintable(run.out));
    QVERIFY2(run.out.contains(arguments.first() == u"put" ? "--comment-in" : "FILE"), qPrintable(run.out));
    QVERIFY(run.err.isEmpty());
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestDiaryTool::dashArgumentsAreNoFiles_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("new: an unknown option") << QStringList{"new", "-x"} << "Unknown option 'x'";
    QTest::newRow("new: a long unknown option") << QStringList{"new", "--colour"} << "Unknown option 'colour'";
    QTest::newRow("new: after --") << QStringList{"new", "--", "-diary.xls"} << "\"-diary.xls\" is no file name";
    QTest::newRow("show: a lone dash") << QStringList{"show", "-"} << "\"-\" is no file name";
    QTest::newRow("show: an unknown option") << QStringList{"show", "--all"} << "Unknown option 'all'";
    QTest::newRow("put: an unknown option") << QStringList{"put", "--date", "2010/01/01", "--kcal", "300"}
                                            << "Unknown option 'kcal'";
    QTest::newRow("import: a dash for the CSV") << QStringList{"import", "book.xls", "-"} << "\"-\" is no file name";
    QTest::newRow("no command") << QStringList{"--verbose", "new", "book.xls"} << "\"--verbose\" is no command";
}

// Refused with the reason and the usage line; no file made, none read.
void TestDiaryTool::dashArgumentsAreNoFiles()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const Run run = tool(arguments, dir.path());
    QVERIFY(run.exitCode != 0);
    QVERIFY(run.out.isEmpty());
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    QVERIFY2(lines.first().contains(message), qPrintable(run.err));
    QVERIFY2(lines.at(1).startsWith(QStringLiteral("usage:")), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestDiaryTool::commentKeepsWhatWasTyped()
{
    const QString book = m_folder.filePath("typed.xls");
    QCOMPARE(tool({"new", book}).exitCode, 0);
    QCOMPARE(tool({"put", book, "--date", "2010/02/01", "--comment-in", "a\\nb", "--comment-out", "c\nd"}).exitCode, 0);
    QCOMPARE(tool({"show", book}).out.section(u'\n', 1),
             QString("2010/02/01,,,1,1,a\\nb,\"c\nd\",\r\n")); // a backslash and n; a line break
}

void TestDiaryTool::numberFormatsOfGnumericShowAsNumbers()
{
    const QString book = m_folder.filePath("gnumeric.xls");
    writeGnumericDiaryWithCustomFormats(book);
    const QString days = QStringLiteral("2010/01/10,74.5,20.25,1,2,,,\r\n2010/01/11,74,20.5,0,1,,,\r\n");
    QCOMPARE(tool({"show", book}).out.section(u'\n', 1), days);
    QCOMPARE(tool({"put", book, "--date", "2010/01/12", "--weight", "73.5"}).exitCode, 0);
    QCOMPARE(tool({"show", book}).out.section(u'\n', 1), days + "2010/01/12,73.5,,1,1,,,\r\n");
}

QTEST_GUILESS_MAIN(TestDiaryTool)
#include "tst_diarytool.moc"
