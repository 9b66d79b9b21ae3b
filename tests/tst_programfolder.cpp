#include "helpers.h"
#include "independent.h"
#include "startup.h"

#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

namespace {

// Sets an environment variable (unset when value is null) until the guard returned goes.
auto setVariable(const char *name, const QString &value)
{
    const std::optional<QByteArray> old = qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt;
    value.isNull() ? qunsetenv(name) : qputenv(name, value.toLocal8Bit());
    return qScopeGuard([name, old] { old ? qputenv(name, *old) : qunsetenv(name); });
}

// An installation as the package lays it out, below a root: bin/, the
// companions' folder and the starting files with two background pictures.
void install(const TempProgramFolder &root)
{
    root.write("usr/bin/.keep", {});
    root.write("usr/libexec/trimbo/Figurat.exe", "viewer");
    root.write("usr/share/trimbo/BkGrnd/White.bmp", "white");
    root.write("usr/share/trimbo/BkGrnd/Star.bmp", "star");
    root.write("usr/share/trimbo/Help/TrimboMovie.html", "help");
}

} // namespace

// Where the program keeps everything: the folder it chooses, and the folder
// an installed program lays out for a new user.
class TestProgramFolder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void folderIsChosenInOrder_data();
    void folderIsChosenInOrder();
    void newFolderIsLaidOut();
    void filesThereAreNeverWritten();
    void folderThatCannotBeMadeIsNamed();
    void installationIsFoundBesideTheExecutable();
    void installedProgramLaysOutTheUsersFolder_data();
    void installedProgramLaysOutTheUsersFolder();
};

void TestProgramFolder::folderIsChosenInOrder_data()
{
    QTest::addColumn<QString>("trimboHome");  // null: not set
    QTest::addColumn<QString>("xdgDataHome"); // null: not set
    QTest::addColumn<bool>("iniBesideExecutable");
    QTest::addColumn<QString>("expected"); // "exe", "home:…" below HOME, or an absolute path
    QTest::addColumn<QString>("reason");

    QTest::newRow("TRIMBO_HOME before everything") << "/srv/diary"
                                                   << "/xdg" << true << "/srv/diary/"
                                                   << "TRIMBO_HOME is set";
    QTest::newRow("an empty TRIMBO_HOME is not set") << "" << QString() << true << "exe"
                                                     << "Trimbo.ini is beside the executable";
    QTest::newRow("Trimbo.ini beside the executable") << QString() << "/xdg" << true << "exe"
                                                      << "Trimbo.ini is beside the executable";
    QTest::newRow("XDG_DATA_HOME") << QString() << "/xdg" << false << "/xdg/trimbo/"
                                   << "the user's data folder";
    QTest::newRow("no XDG_DATA_HOME") << QString() << QString() << false << "home:.local/share/trimbo/"
                                      << "the user's data folder";
    QTest::newRow("a relative XDG_DATA_HOME is ignored") << QString() << "data" << false << "home:.local/share/trimbo/"
                                                         << "the user's data folder";
}

void TestProgramFolder::folderIsChosenInOrder()
{
    QFETCH(QString, trimboHome);
    QFETCH(QString, xdgDataHome);
    QFETCH(bool, iniBesideExecutable);
    QFETCH(QString, expected);
    QFETCH(QString, reason);

    TempProgramFolder exe;
    TempProgramFolder home;
    if (iniBesideExecutable)
        exe.write("Trimbo.ini", "[Graph]\r\n");
    const auto homeVariable = setVariable("HOME", home.path());
    const auto trimboHomeVariable = setVariable("TRIMBO_HOME", trimboHome);
    const auto xdgVariable = setVariable("XDG_DATA_HOME", xdgDataHome);

    const ProgramFolder folder = findProgramFolder(exe.path());
    const QString wanted = expected == u"exe"              ? exe.path()
                           : expected.startsWith(u"home:") ? home.path() + expected.mid(5)
                                                           : expected;
    QCOMPARE(folder.path, wanted);
    QVERIFY2(programFolderReason(folder, exe.path()).startsWith(reason),
             qPrintable(programFolderReason(folder, exe.path())));

    // trimbo-diary where says the same for its own folder.
    QVERIFY(QFile::copy(TRIMBO_DIARY, exe.filePath("trimbo-diary")));
    QProcess where;
    where.start(exe.filePath("trimbo-diary"), {"where"});
    QVERIFY(where.waitForFinished() && where.exitCode() == 0);
    QCOMPARE(QString::fromLocal8Bit(where.readAllStandardOutput()).split(u'\n').mid(0, 2),
             QStringList({wanted, programFolderReason(folder, exe.path())}));
}

void TestProgramFolder::newFolderIsLaidOut()
{
    TempProgramFolder root;
    install(root);
    const QString folder = root.filePath("home/.local/share/trimbo/");
    QVERIFY(!layOutProgramFolder(root.filePath("usr/share/trimbo"), folder));

    for (const char *sub : {"Picture", "BkGrnd", "BoxingGame"})
        QVERIFY(QFileInfo(folder + sub).isDir());
    QCOMPARE(QDir(folder + "BkGrnd").entryList(QDir::Files), QStringList({"Star.bmp", "White.bmp"}));
    QCOMPARE(root.read("home/.local/share/trimbo/BoxingGame/data.txt"), QByteArray("1\r\n"));
    QCOMPARE(root.read("home/.local/share/trimbo/BoxingGame/Beforedata.txt"), QByteArray("1\r\n"));
    const QString today = QDate::currentDate().toString(u"yyyy/MM/dd");
    const QString first = QDate::currentDate().addDays(-29).toString(u"yyyy/MM/dd");
    const QByteArray ini = root.read("home/.local/share/trimbo/Trimbo.ini");
    QCOMPARE(ini,
             QStringLiteral(
                 "[Graph]\r\nWUpper=100\r\nWDown=40\r\nFUpper=40\r\nFDown=10\r\nGraphVis=0\r\n"
                 "StartD=%1\r\nEndD=%2\r\nLineClW=255\r\nLineClF=16711680\r\nBckGrnd=1\r\nTrimboVis=0\r\n"
                 "[Establish]\r\nDStartD=%2\r\nDStartW=\r\nDStartF=\r\nGoalW=\r\nGoalF=\r\nFloatW=0\r\nFloatF=0\r\n")
                 .arg(first, today)
                 .toLatin1());
    // An empty diary that the program opens.
    QVERIFY(xlrdDump(folder + "Bk_Trimbo.xls").filter("sheet 'St_Trimbo'").join(u' ').contains("rows=0"));
    QVERIFY(!QFileInfo::exists(folder + "Help"));
}

void TestProgramFolder::filesThereAreNeverWritten()
{
    TempProgramFolder root;
    install(root);
    const TempProgramFolder folder;
    folder.write("Trimbo.ini", "[Graph]\r\nBckGrnd=7\r\n");
    folder.write("Bk_Trimbo.xls", "the user's own");
    folder.write("BkGrnd/White.bmp", "my own white");
    folder.write("BoxingGame/data.txt", "4\r\n");
    const QStringList before = folder.snapshot();

    QVERIFY(!layOutProgramFolder(root.filePath("usr/share/trimbo"), folder.path()));
    QCOMPARE(folder.read("Trimbo.ini"), QByteArray("[Graph]\r\nBckGrnd=7\r\n"));
    QCOMPARE(folder.read("Bk_Trimbo.xls"), QByteArray("the user's own"));
    QCOMPARE(folder.read("BkGrnd/White.bmp"), QByteArray("my own white"));
    QCOMPARE(folder.read("BoxingGame/data.txt"), QByteArray("4\r\n"));
    QCOMPARE(folder.read("BkGrnd/Star.bmp"), QByteArray("star")); // what was missing is added
    QCOMPARE(folder.read("BoxingGame/Beforedata.txt"), QByteArray("1\r\n"));
    // A second lay-out finds everything there and changes nothing.
    const QStringList laidOut = folder.snapshot();
    QVERIFY(!layOutProgramFolder(root.filePath("usr/share/trimbo"), folder.path()));
    QCOMPARE(folder.snapshot(), laidOut);
    QVERIFY(laidOut.size() > before.size());
}

void TestProgramFolder::folderThatCannotBeMadeIsNamed()
{
    TempProgramFolder root;
    install(root);
    root.write("blocked", "a file where the folder should be");
    const DiaryFailure problem =
        layOutProgramFolder(root.filePath("usr/share/trimbo"), root.filePath("blocked/trimbo"));
    QCOMPARE(problem ? problem->code : DiaryError::End, DiaryError::FolderNotMade);
    QVERIFY(problem->path.startsWith(root.filePath("blocked/trimbo/")));
}

void TestProgramFolder::installationIsFoundBesideTheExecutable()
{
    TempProgramFolder root;
    QVERIFY(!installationOf(root.filePath("usr/bin")).isInstalled());
    install(root);
    const Installation installation = installationOf(root.filePath("usr/bin"));
    QCOMPARE(installation.shareDir, root.filePath("usr/share/trimbo/"));
    QCOMPARE(installation.companionDir, root.filePath("usr/libexec/trimbo/"));
    // A program folder is no installation, whatever lies beside it.
    QVERIFY(!installationOf(root.filePath("usr/share/trimbo")).isInstalled());
}

void TestProgramFolder::installedProgramLaysOutTheUsersFolder_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<bool>("iniBesideExecutable");
    QTest::addColumn<bool>("laidOut");

    QTest::newRow("installed, a new user") << true << false << true;
    QTest::newRow("installed, Trimbo.ini beside it") << true << true << false;
    QTest::newRow("a build, no Trimbo.ini beside it") << false << false << false;
}

void TestProgramFolder::installedProgramLaysOutTheUsersFolder()
{
    QFETCH(bool, installed);
    QFETCH(bool, iniBesideExecutable);
    QFETCH(bool, laidOut);

    TempProgramFolder root;
    if (installed)
        install(root);
    if (iniBesideExecutable)
        root.write("usr/bin/Trimbo.ini", "[Graph]\r\n");
    const QString users = root.filePath("xdg/trimbo/");
    const auto xdg = setVariable("XDG_DATA_HOME", root.filePath("xdg"));
    const auto trimboHome = setVariable("TRIMBO_HOME", QString());
    const QStringList installation = root.snapshot();

    DiaryFailure problem;
    const ProgramPaths paths = startingPaths(root.filePath("usr/bin"), &problem);
    QVERIFY(!problem);
    const QString folder = iniBesideExecutable ? root.filePath("usr/bin/") : users;
    QCOMPARE(paths.ExeDir, folder);
    QCOMPARE(paths.BookPath, folder + "Bk_Trimbo.xls");
    QCOMPARE(paths.BoxingDir, folder + "BoxingGame/");
    QCOMPARE(paths.CompanionDir, installed ? root.filePath("usr/libexec/trimbo/") : folder + "BoxingGame/");
    QCOMPARE(paths.HelpDir, installed ? root.filePath("usr/share/trimbo/Help/") : folder + "Help/");
    QCOMPARE(QFileInfo::exists(users + "Trimbo.ini"), laidOut);
    // The companions are told the folder.
    QCOMPARE(qEnvironmentVariable("TRIMBO_HOME"), folder);
    // Nothing is written beside the program.
    QStringList after = root.snapshot();
    after.removeIf([&](const QString &entry) { return entry.startsWith(root.filePath("xdg")); });
    QCOMPARE(after, installation);
}

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
