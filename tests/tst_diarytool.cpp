#include "datetext.h"
#include "diarybook.h"
#include "diarylock.h"
#include "helpers.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

// trimbo-diary as a script uses it: every command, and bad input refused
// with one line and a non-zero exit, the workbook left untouched.
class TestDiaryTool : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newAndPutOverwriteOnlyWhenTold();
    void showThenImportReproducesTheDays_data();
    void showThenImportReproducesTheDays();
    void badInputLeavesTheWorkbook();
    void everyCommandAnswersHelp();
    void twoWritersLoseNoDay();
    void locksLeftBehind();
    void heldLockIsWaitedForThenNamed();
    void fullSheetShowsAndTakesCorrections();
    void diaryBehindALinkIsSavedInPlace();
    void backupsAndRestore();

private:
    struct Run
    {
        int exitCode;
        QString out, err;
    };
    Run tool(const QStringList &arguments, const QString &workingDirectory = QString()) const
    {
        QProcess process;
        process.setWorkingDirectory(workingDirectory);
        process.start(QStringLiteral(TRIMBO_DIARY), arguments);
        process.waitForFinished(60000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }
    // A new diary made by the tool in the folder, in place of any of that name; its path.
    QString newBook(const QString &name, const TempProgramFolder *folder = nullptr) const
    {
        const QString book = (folder ? folder : &m_folder)->filePath(name);
        QFile::remove(book);
        if (tool({"new", book}).exitCode != 0)
            qFatal("trimbo-diary new %s failed", qPrintable(book));
        return book;
    }
    QStringList shown(const QString &book) const { return tool({"show", book}).out.split("\r\n", Qt::SkipEmptyParts); }
    TempProgramFolder m_folder;
};

// A diary is never made over a file, nor a recorded day put over unless told to.
void TestDiaryTool::newAndPutOverwriteOnlyWhenTold()
{
    const QString book = newBook("tool.xls");
    QVERIFY(tool({"new", book}).exitCode != 0);
    QCOMPARE(tool({"put", book, "--date", "2010/01/28"}).exitCode, 0);
    const Run refused = tool({"put", book, "--date", "2010/01/28", "--weight", "60"});
    QVERIFY2(refused.exitCode != 0 && refused.err.contains("2010/01/28"), qPrintable(refused.err));
    QCOMPARE(shown(book).value(1), QString("2010/01/28,,,1,1,,,"));
    QCOMPARE(tool({"put", book, "--date", "2010/01/28", "--weight", "60", "--overwrite"}).exitCode, 0);
    QCOMPARE(shown(book).value(1), QString("2010/01/28,60,,1,1,,,"));
}

// What show prints of the days put or imported, and
// that importing it into a new diary gives the same again.
void TestDiaryTool::showThenImportReproducesTheDays_data()
{
    QTest::addColumn<QList<QStringList>>("puts"); // BOOK stands for the diary
    QTest::addColumn<QByteArray>("csv");          // imported first
    QTest::addColumn<QString>("shown");           // the days, below the header
    QTest::newRow("import sorts the days")
        << QList<QStringList>{}
        << QByteArray("date,weight,fat,intake,burn,comment_in,comment_out,photo\r\n"
                      "2011/03/02,70,25,0,2,\"二行の\r\nメモ\",走った,20110302.bmp\n2011/03/01,70.5,,1,1,,,\n")
        << "2011/03/01,70.5,,1,1,,,\r\n2011/03/02,70,25,0,2,\"二行の\r\nメモ\",走った,20110302.bmp\r\n";
    QTest::newRow("every option")
        << QList<QStringList>{{"put", "BOOK", "--date", "2010/01/29", "--weight", "65.5", "--fat", "21.3", "--intake",
                               "2", "--burn", "0", "--comment-in", "朝, \"パン\"\n昼", "--photo", "20100129.bmp"},
                              {"put", "BOOK", "--date", "2010/1/28"}}
        << QByteArray() << "2010/01/28,,,1,1,,,\r\n2010/01/29,65.5,21.3,2,0,\"朝, \"\"パン\"\"\n昼\",,20100129.bmp\r\n";
    // A backslash and n stay two characters; a line break is one. Texts a
    // spreadsheet would take for formulas stay texts.
    QTest::newRow("comments as typed")
        << QList<QStringList>{{"put", "BOOK", "--date", "2010/01/01", "--comment-in", "=1+1", "--comment-out",
                               "+81 90"},
                              {"put", "BOOK", "--date", "2010/01/02", "--comment-in", "-3 kg", "--comment-out",
                               "@SUM(A1)"},
                              {"put", "BOOK", "--date", "2010/02/01", "--comment-in", "a\\nb", "--comment-out", "c\nd"}}
        << QByteArray()
        << "2010/01/01,,,1,1,=1+1,+81 90,\r\n2010/01/02,,,1,1,-3 kg,@SUM(A1),\r\n2010/02/01,,,1,1,a\\nb,\"c\nd\",\r\n";
}

void TestDiaryTool::showThenImportReproducesTheDays()
{
    QFETCH(QList<QStringList>, puts);
    QFETCH(QByteArray, csv);
    QFETCH(QString, shown);
    const QString book = newBook("shown.xls");
    const QString copy = newBook("copy.xls");
    m_folder.write("days.csv", csv);
    if (!csv.isEmpty())
        QCOMPARE(tool({"import", book, m_folder.filePath("days.csv")}).exitCode, 0);
    for (QStringList put : puts)
        QCOMPARE(tool(put.replaceInStrings("BOOK", book)).exitCode, 0);
    const QString out = tool({"show", book}).out;
    QCOMPARE(out, "date,weight,fat,intake,burn,comment_in,comment_out,photo\r\n" + shown);
    m_folder.write("shown.csv", out.toUtf8());
    QCOMPARE(tool({"import", copy, m_folder.filePath("shown.csv")}).exitCode, 0);
    QCOMPARE(tool({"show", copy}).out, out);
}

void TestDiaryTool::backupsAndRestore()
{
    TempProgramFolder folder;
    const QString book = newBook("Bk_Trimbo.xls", &folder);
    QCOMPARE(tool({"put", book, "--date", "2012/04/01", "--weight", "70"}).exitCode, 0);
    const QByteArray kept = folder.read("Bk_Trimbo.xls");
    folder.write("Backup/Bk_Trimbo_20120301_080000.xls", kept);
    folder.write("Backup/Bk_Trimbo_20120402_080000.xls", "no workbook");
    folder.write("Backup/readme.txt", "not a backup");
    QCOMPARE(tool({"put", book, "--date", "2012/04/02", "--weight", "69"}).exitCode, 0);
    QCOMPARE(tool({"backups", book}).out, QString("Bk_Trimbo_20120301_080000.xls\t2012/03/01 08:00:00\t%1\n"
                                                  "Bk_Trimbo_20120402_080000.xls\t2012/04/02 08:00:00\t11\n")
                                              .arg(kept.size()));

    // A file that is no workbook is never put in the diary's place.
    const QByteArray twoDays = folder.read("Bk_Trimbo.xls");
    const Run refused = tool({"restore", book, "Bk_Trimbo_20120402_080000.xls"});
    QVERIFY(refused.exitCode != 0 && !refused.err.isEmpty());
    QVERIFY(tool({"restore", book, "Bk_Trimbo_20000101_000000.xls"}).exitCode != 0);
    QCOMPARE(folder.read("Bk_Trimbo.xls"), twoDays);

    QCOMPARE(tool({"restore", book, "Bk_Trimbo_20120301_080000.xls"}).exitCode, 0);
    QCOMPARE(folder.read("Bk_Trimbo.xls"), kept);
    // The diary replaced is kept first, as a backup of today.
    const QStringList listed = tool({"backups", book}).out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(listed.size(), 3);
    const QString newest = listed.last().section(u'\t', 0, 0);
    QVERIFY2(newest.startsWith("Bk_Trimbo_" + QDate::currentDate().toString("yyyyMMdd")), qPrintable(newest));
    QCOMPARE(folder.read("Backup/" + newest), twoDays);
}

// Each is refused with one line, the usage after it where the command line
// itself was wrong, and a non-zero exit; no file is made and none changed.
void TestDiaryTool::badInputLeavesTheWorkbook()
{
    const QString book = newBook("bad.xls");
    QCOMPARE(tool({"put", book, "--date", "2009/12/31", "--weight", "59"}).exitCode, 0);
    const QByteArray header = "date,weight,fat,intake,burn,comment_in,comment_out,photo\n";
    const QString tooLong(MaxCellText + 1, u'x');
    const struct
    {
        QString arguments; // split at spaces; BOOK and CSV stand for the files
        QByteArray csv;
        QString message;
        QString usage; // the start of what is said after the message, if anything
    } cases[] = {
        {"put BOOK --date 2010/01/01 --colour red", {}, "colour", "usage: trimbo-diary put FILE --date"},
        {"put BOOK --date 2010/02/30", {}, "2010/02/30", {}},
        {"put BOOK --weight 60", {}, "--date", "usage: trimbo-diary put FILE --date"},
        {"put BOOK --date 2010/01/01 --intake 3", {}, "0, 1 or 2", {}},
        {"put BOOK --date 2010/01/01 --weight heavy", {}, "heavy", {}},
        {"put BOOK --date 2010/01/01 --weight 1e308", {}, "a weight lies between 0 and 1000 kg", {}},
        {"put BOOK --date 2010/01/01 --fat 101", {}, "body fat lies between 0 and 100 %", {}},
        {"put BOOK --date 2010/01/01 --photo ../../../../dev/zero", {}, "is not a file name", {}},
        {"put BOOK --date 2010/01/01 --comment-out " + tooLong, {}, "コメント（消費）が長すぎます: 32768 文字", {}},
        {"put CSV --date 2010/01/01", header, "Excel", {}},
        {"import BOOK CSV", header + "2010/01/02,1e308,,1,1,,,\n", "line 2: \"1e308\" is out of range", {}},
        {"import BOOK CSV", header + "2010/01/01,60,,1,1,,,../secret.bmp\n", "line 2", {}},
        {"import BOOK CSV", header + "2010/01/01,60,,1,1,,,\n2010/01/02,61\n", "line 3", {}},
        {"import BOOK CSV", header + "2010/01/01,60,,1,7,,,\n", "line 2", {}},
        {"import BOOK CSV", header + "2010/01/01,60,,1,1,\"never closed,,\n", "line 2", {}},
        {"import BOOK CSV", "2010/01/01,60,,1,1,,,\n", "line 1", {}},
        // A dash is never taken for a file.
        {"new -x", {}, "Unknown option 'x'", "usage: trimbo-diary new FILE"},
        {"new -- -diary.xls", {}, "\"-diary.xls\" is no file name", "usage: trimbo-diary new FILE"},
        {"show -", {}, "\"-\" is no file name", "usage: trimbo-diary show FILE"},
        {"import BOOK -", {}, "\"-\" is no file name", "usage: trimbo-diary import FILE"},
        {"--verbose new BOOK", {}, "\"--verbose\" is no command", "usage:"},
    };
    for (const auto &[arguments, csv, message, usage] : cases) {
        m_folder.write("bad.csv", csv);
        const QStringList before = m_folder.snapshot();
        const QString command = QString(arguments).replace("BOOK", book).replace("CSV", m_folder.filePath("bad.csv"));
        const Run run = tool(command.split(u' '), m_folder.path());
        const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
        QVERIFY2(run.exitCode != 0 && run.out.isEmpty() && lines.value(0).contains(message)
                     && (lines.size() > 1) == !usage.isEmpty() && lines.value(1).startsWith(usage),
                 qPrintable(arguments.left(60) + " said " + run.err));
        QVERIFY2(m_folder.snapshot() == before, qPrintable(arguments.left(60)));
    }
}

// Help is printed and nothing else happens: no file named "--help" or any other.
void TestDiaryTool::everyCommandAnswersHelp()
{
    QTemporaryDir dir;
    QList<std::pair<QStringList, QString>> cases{
        {{"--help"}, "usage:\n  trimbo-diary new FILE\n  trimbo-diary show FILE\n"}};
    for (const char *command : {"new", "show", "put", "import"}) {
        const QString usage = QStringLiteral("usage: trimbo-diary %1 FILE").arg(QLatin1String(command));
        cases += {{{command, "--help"}, usage}, {{command, "book.xls", "-h"}, usage}};
    }
    for (const auto &[arguments, answer] : cases) {
        const Run run = tool(arguments, dir.path());
        QVERIFY2(run.exitCode == 0 && run.err.isEmpty() && run.out.startsWith(answer)
                     && run.out.contains(arguments.first() == u"put" ? "--comment-in" : "FILE"),
                 qPrintable(arguments.join(u' ') + " said " + run.out));
    }
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

// Two scripts putting days into one diary at once: each put reads, changes
// and saves the diary under its lock, so no day of the other is lost.
void TestDiaryTool::twoWritersLoseNoDay()
{
    const QString book = newBook("shared.xls");
    const QString loop =
        QStringLiteral("for d in $(seq %1 %2); do \"$0\" put \"$1\" --date $(date -d \"2010-01-01 +$d day\" +%Y/%m/%d)"
                       " --weight 60 || exit 1; done");
    QProcess first, second;
    first.start("sh", {"-c", loop.arg(0).arg(99), TRIMBO_DIARY, book});
    second.start("sh", {"-c", loop.arg(100).arg(199), TRIMBO_DIARY, book});
    QVERIFY(first.waitForFinished(300000) && second.waitForFinished(300000));
    QVERIFY(first.exitCode() == 0 && second.exitCode() == 0);
    const QStringList lines = shown(book);
    QCOMPARE(lines.size(), 1 + 200);
    QVERIFY(lines.at(1).startsWith("2010/01/01,") && lines.at(200).startsWith("2010/07/19,"));
    QVERIFY(!QFileInfo::exists(book + ".lock"));
}

// What a lock file can hold when no one uses the diary: nothing, garbage,
// a run that died on this computer (all taken over), or a run on another
// computer, taken over only when asked.
void TestDiaryTool::locksLeftBehind()
{
    const QByteArray kitchen = "4242\nTrimbo\nkitchen-pc\n";
    for (const QByteArray &lock : {QByteArray(), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10), QByteArray("12"),
                                   "2147483000\nTrimbo\n" + QSysInfo::machineHostName().toUtf8() + "\n", kitchen}) {
        const QString book = newBook("locked.xls");
        m_folder.write("locked.xls.lock", lock);
        const QByteArray before = m_folder.read("locked.xls");
        const Run run = tool({"put", book, "--date", "2010/01/01"});
        if (lock == kitchen) {
            QVERIFY2(run.exitCode != 0 && run.err.contains("kitchen-pc") && run.err.contains("--take-over-lock")
                         && run.err.contains("4242"),
                     qPrintable(run.err));
            QCOMPARE(m_folder.read("locked.xls"), before);
            QCOMPARE(m_folder.read("locked.xls.lock"), lock);
            const Run takenOver = tool({"put", book, "--date", "2010/01/01", "--take-over-lock"});
            QVERIFY2(takenOver.exitCode == 0, qPrintable(takenOver.err));
        } else {
            QVERIFY2(run.exitCode == 0, qPrintable(lock.toHex() + ": " + run.err));
        }
        QVERIFY(!QFileInfo::exists(book + ".lock"));
        QVERIFY(shown(book).value(1).startsWith("2010/01/01,"));
    }
}

// A diary in use (here by this process, as the program holds it) is waited
// for a little, then refused naming who has it; once free, the put saves.
void TestDiaryTool::heldLockIsWaitedForThenNamed()
{
    const QString book = newBook("inuse.xls");
    const QByteArray before = m_folder.read("inuse.xls");
    auto holder = std::make_unique<DiaryLock>(book);
    QCOMPARE(holder->acquire(), DiaryLock::Result::Locked);
    QElapsedTimer waited;
    waited.start();
    const Run refused = tool({"put", book, "--date", "2010/01/01"});
    QVERIFY(waited.elapsed() >= 4000);
    QVERIFY2(refused.exitCode != 0 && refused.err.contains(QString::number(QCoreApplication::applicationPid()))
                 && refused.err.contains("tst_diarytool") && refused.err.contains("使用中"),
             qPrintable(refused.err));
    QCOMPARE(m_folder.read("inuse.xls"), before);

    QProcess put;
    put.start(TRIMBO_DIARY, {"put", book, "--date", "2010/01/01"});
    QTest::qWait(300);
    holder.reset(); // let go while the put waits
    QVERIFY(put.waitForFinished(10000));
    QCOMPARE(put.exitCode(), 0);
    QVERIFY(shown(book).value(1).startsWith("2010/01/01,"));
}

// A sheet with every row dated still shows every day and takes corrections;
// only a new day is refused.
void TestDiaryTool::fullSheetShowsAndTakesCorrections()
{
    const QString book = newBook("full.xls");
    std::vector<DayValues> days;
    for (int i = 0; i < MaxDiaryRows - 1; ++i)
        days.push_back({dateText(QDate(1900, 1, 1).addDays(i)), "60", "", 1, 1, "", "", ""});
    QVERIFY(saveDays(book, days, false).saved);
    const QString last = dateText(QDate(1900, 1, 1).addDays(MaxDiaryRows - 1));
    QCOMPARE(tool({"put", book, "--date", last, "--weight", "61"}).exitCode, 0); // the sheet's last row
    const QByteArray before = m_folder.read("full.xls");
    const Run refused = tool({"put", book, "--date", "2200/01/01"});
    QVERIFY2(refused.exitCode != 0 && refused.err.contains("これ以上データを入力できません。"),
             qPrintable(refused.err));
    QCOMPARE(m_folder.read("full.xls"), before);
    QCOMPARE(tool({"put", book, "--date", "1900/01/02", "--weight", "59.5", "--overwrite"}).exitCode, 0);
    const QStringList lines = shown(book);
    QCOMPARE(lines.size(), 1 + MaxDiaryRows);
    QCOMPARE(lines.at(2), QString("1900/01/02,59.5,,1,1,,,"));
    QCOMPARE(lines.last(), last + ",61,,1,1,,,");
}

// A diary kept elsewhere and linked into the folder: the save replaces the
// file the link leads to, beside it, with its mode, and the link stays.
void TestDiaryTool::diaryBehindALinkIsSavedInPlace()
{
    const TempProgramFolder synced;
    const QString target = newBook("Bk_Trimbo.xls", &synced);
    const QString link = m_folder.filePath("linked.xls");
    QVERIFY(QFile::link(target, link));
    QCOMPARE(::chmod(QFile::encodeName(target).constData(), 0444), 0);
    const auto besideTheLink = [this] {
        return QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList folderBefore = besideTheLink();

    const Run run = tool({"put", link, "--date", "2010/01/01", "--weight", "60"});
    QVERIFY2(run.exitCode == 0, qPrintable(run.err));
    QCOMPARE(QFileInfo(link).symLinkTarget(), target);
    QCOMPARE(shown(target).value(1), QString("2010/01/01,60,,1,1,,,"));
    struct stat saved
    {};
    QCOMPARE(::stat(QFile::encodeName(target).constData(), &saved), 0);
    QCOMPARE(saved.st_mode & 07777, mode_t(0444));
    QCOMPARE(QDir(synced.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{"Bk_Trimbo.xls"});
    QCOMPARE(besideTheLink(), folderBefore);

    // A second name of the same file keeps the old contents, and the save says so.
    const QString second = synced.filePath("copy.xls");
    QVERIFY(::link(QFile::encodeName(target).constData(), QFile::encodeName(second).constData()) == 0);
    const Run broken = tool({"put", link, "--date", "2010/01/02"});
    QCOMPARE(broken.exitCode, 0);
    QVERIFY2(broken.err.contains("ハードリンク") && broken.err.contains(target), qPrintable(broken.err));
    QCOMPARE(shown(second).size(), 2);
}

QTEST_GUILESS_MAIN(TestDiaryTool)
#include "tst_diarytool.moc"
