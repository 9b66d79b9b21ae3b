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
    void folderIsChosenInOrder();
    void folderIsLaidOutAroundWhatIsThere();
    void installedProgramLaysOutTheUsersFolder();
};

// trimbo-diary where says the same for its own folder.
void TestProgramFolder::folderIsChosenInOrder()
{
    const struct
    {
        QString trimboHome, xdgDataHome; // null: not set
        bool iniBesideExecutable;
        QString expected; // "exe", "home:…" below HOME, or an absolute path
        QString reason;
    } cases[] = {
        {"/srv/diary", "/xdg", true, "/srv/diary/", "TRIMBO_HOME is set"},
        {"", {}, true, "exe", "Trimbo.ini is beside the executable"}, // an empty TRIMBO_HOME is not set
        {{}, "/xdg", true, "exe", "Trimbo.ini is beside the executable"},
        {{}, "/xdg", false, "/xdg/trimbo/", "the user's data folder"},
        {{}, {}, false, "home:.local/share/trimbo/", "the user's data folder"},
        {{}, "data", false, "home:.local/share/trimbo/", "the user's data folder"}, // relative: ignored
    };
    for (const auto &[trimboHome, xdgDataHome, iniBesideExecutable, expected, reason] : cases) {
        const TempProgramFolder exe, home;
        if (iniBesideExecutable)
            exe.write("Trimbo.ini", "[Graph]\r\n");
        const auto homeVariable = setVariable("HOME", home.path());
        const auto trimboHomeVariable = setVariable("TRIMBO_HOME", trimboHome);
        const auto xdgVariable = setVariable("XDG_DATA_HOME", xdgDataHome);
        const ProgramFolder folder = findProgramFolder(exe.path());
        const QString wanted = expected == u"exe"              ? exe.path()
                               : expected.startsWith(u"home:") ? home.path() + expected.mid(5)
                                                               : expected;
        const QString said = programFolderReason(folder, exe.path());
        QVERIFY2(folder.path == wanted && said.startsWith(reason), qPrintable(folder.path + ": " + said));
        QVERIFY(QFile::copy(TRIMBO_DIARY, exe.filePath("trimbo-diary")));
        QProcess where;
        where.start(exe.filePath("trimbo-diary"), {"where"});
        QVERIFY(where.waitForFinished() && where.exitCode() == 0);
        QCOMPARE(QString::fromLocal8Bit(where.readAllStandardOutput()).split(u'\n').mid(0, 2),
                 QStringList({wanted, said}));
    }
}

// A new folder gets the starting files; in a folder that holds some already,
// those are never written and only what is missing is added; a folder that
// cannot be made is named.
void TestProgramFolder::folderIsLaidOutAroundWhatIsThere()
{
    TempProgramFolder root;
    install(root);
    const QString share = root.filePath("usr/share/trimbo");
    const QString folder = root.filePath("home/.local/share/trimbo/");
    QVERIFY(!layOutProgramFolder(share, folder));
    QVERIFY(QFileInfo(folder + "Picture").isDir());
    QCOMPARE(QDir(folder + "BkGrnd").entryList(QDir::Files), QStringList({"Star.bmp", "White.bmp"}));
    QCOMPARE(root.read("home/.local/share/trimbo/BoxingGame/data.txt"), QByteArray("1\r\n"));
    QCOMPARE(root.read("home/.local/share/trimbo/BoxingGame/Beforedata.txt"), QByteArray("1\r\n"));
    // The graph shows the last 30 days; the diet starts today.
    const QString today = QDate::currentDate().toString(u"yyyy/MM/dd");
    const QString ini = root.read("home/.local/share/trimbo/Trimbo.ini");
    QVERIFY2(
        ini.startsWith("[Graph]\r\n") && ini.contains("\r\n[Establish]\r\nDStartD=" + today + "\r\n")
            && ini.contains(QDate::currentDate().addDays(-29).toString(u"'StartD='yyyy/MM/dd") + "\r\nEndD=" + today),
        qPrintable(ini));
    // An empty diary that the program opens.
    QVERIFY(xlrdDump(folder + "Bk_Trimbo.xls").filter("sheet 'St_Trimbo'").join(u' ').contains("rows=0"));
    QVERIFY(!QFileInfo::exists(folder + "Help"));

    const TempProgramFolder own;
    const std::pair<QString, QByteArray> owned[] = {{"Trimbo.ini", "[Graph]\r\nBckGrnd=7\r\n"},
                                                    {"Bk_Trimbo.xls", "the user's own"},
                                                    {"BkGrnd/White.bmp", "my own white"},
                                                    {"BoxingGame/data.txt", "4\r\n"}};
    for (const auto &[name, bytes] : owned)
        own.write(name, bytes);
    QVERIFY(!layOutProgramFolder(share, own.path()));
    for (const auto &[name, bytes] : owned)
        QCOMPARE(own.read(name), bytes);
    QCOMPARE(own.read("BkGrnd/Star.bmp"), QByteArray("star"));
    QCOMPARE(own.read("BoxingGame/Beforedata.txt"), QByteArray("1\r\n"));
    const QStringList laidOut = own.snapshot();
    QVERIFY(!layOutProgramFolder(share, own.path()));
    QCOMPARE(own.snapshot(), laidOut);

    root.write("blocked", "a file where the folder should be");
    const DiaryFailure problem = layOutProgramFolder(share, root.filePath("blocked/trimbo"));
    QCOMPARE(problem ? problem->code : DiaryError::End, DiaryError::FolderNotMade);
    QVERIFY(problem->path.startsWith(root.filePath("blocked/trimbo/")));
}

// Only an installed program started by a new user lays out a folder; a
// build, or an installation with Trimbo.ini beside it, keeps to that folder.
void TestProgramFolder::installedProgramLaysOutTheUsersFolder()
{
    for (const auto &[installed, iniBesideExecutable] : {std::pair{true, false}, {true, true}, {false, false}}) {
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
        QCOMPARE(paths.CompanionDir, installed ? root.filePath("usr/libexec/trimbo/") : folder + "BoxingGame/");
        QCOMPARE(paths.HelpDir, installed ? root.filePath("usr/share/trimbo/Help/") : folder + "Help/");
        QCOMPARE(QFileInfo::exists(users + "Trimbo.ini"), installed && !iniBesideExecutable);
        // The companions are told the folder.
        QCOMPARE(qEnvironmentVariable("TRIMBO_HOME"), folder);
        // Nothing is written beside the program.
        QStringList after = root.snapshot();
        after.removeIf([&](const QString &entry) { return entry.startsWith(root.filePath("xdg")); });
        QCOMPARE(after, installation);
    }
}

QTEST_MAIN(TestProgramFolder)
#include "tst_programfolder.moc"
