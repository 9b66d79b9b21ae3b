#include "helpers.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QString output;
};

Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
        const QString &workingDirectory = {})
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    if (!process.waitForFinished(180000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

} // namespace

// The Debian package as a user gets it: built from this build, unpacked with
// dpkg -x, and its program started the three ways it finds its program
// folder. Each start saves a day through the main window, the next start
// shows it, and the unpacked files stay as they were.
class TestPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void startsInItsProgramFolder_data();
    void startsInItsProgramFolder();

private:
    // Starts the unpacked program with the window driver; the lines it wrote down.
    QStringList start(QProcessEnvironment environment, const QString &weight);
    QString bin(const QString &name) const { return m_root.filePath(QStringLiteral("usr/bin/") + name); }

    TempProgramFolder m_root;
    TempProgramFolder m_work;
    QStringList m_unpacked;
};

void TestPackage::initTestCase()
{
    const Run packed =
        run(QStringLiteral(CPACK_COMMAND),
            {"-G", "DEB", "-B", m_work.filePath("deb"), "--config", TRIMBO_BUILD_DIR "/CPackConfig.cmake"},
            QProcessEnvironment::systemEnvironment(), QStringLiteral(TRIMBO_BUILD_DIR));
    QCOMPARE(packed.exitCode, 0);
    const QStringList debs = QDir(m_work.filePath("deb")).entryList({"trimbo_*.deb"});
    QCOMPARE(debs.size(), 1);
    QCOMPARE(run("dpkg", {"-x", m_work.filePath("deb/" + debs.first()), m_root.path()}).exitCode, 0);
    QVERIFY(QFileInfo(bin("Trimbo")).isExecutable());
    m_unpacked = m_root.snapshot();
}

QStringList TestPackage::start(QProcessEnvironment environment, const QString &weight)
{
    const QString report = m_work.filePath("report.txt");
    QFile::remove(report);
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("LD_PRELOAD", WINDOW_DRIVER);
    environment.insert("TRIMBO_DRIVE_REPORT", report);
    environment.insert("TRIMBO_DRIVE_WEIGHT", weight);
    const Run started = run(bin("Trimbo"), {}, environment);
    QFile lines(report);
    if (started.exitCode != 0 || !lines.open(QIODevice::ReadOnly))
        return {QStringLiteral("exit code %1").arg(started.exitCode)};
    return QString::fromUtf8(lines.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

void TestPackage::startsInItsProgramFolder_data()
{
    QTest::addColumn<QString>("trimboHome"); // relative to the work folder; empty: not set
    QTest::addColumn<bool>("besideExecutable");
    QTest::addColumn<QString>("expectedFolder"); // relative to the new HOME, the work folder or the root

    QTest::newRow("the user's data folder") << QString() << false << QStringLiteral("home:.local/share/trimbo/");
    QTest::newRow("TRIMBO_HOME") << QStringLiteral("elsewhere") << false << QStringLiteral("work:elsewhere/");
    QTest::newRow("Trimbo.ini beside the executable") << QString() << true << QStringLiteral("root:usr/bin/");
}

void TestPackage::startsInItsProgramFolder()
{
    QFETCH(QString, trimboHome);
    QFETCH(bool, besideExecutable);
    QFETCH(QString, expectedFolder);

    const TempProgramFolder home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("TRIMBO_HOME");
    environment.remove("XDG_DATA_HOME");
    environment.insert("HOME", home.path());
    if (!trimboHome.isEmpty())
        environment.insert("TRIMBO_HOME", m_work.filePath(trimboHome));
    QStringList ownFiles; // what a folder beside the executable holds before the start
    if (besideExecutable) {
        ownFiles = {bin("Trimbo.ini"), bin("Bk_Trimbo.xls"), bin("BkGrnd/White.bmp")};
        QFile ini(ownFiles.at(0));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[Graph]\r\nBckGrnd=1\r\n[Establish]\r\n");
        ini.close();
        QCOMPARE(run(bin("trimbo-diary"), {"new", ownFiles.at(1)}).exitCode, 0);
        QVERIFY(QDir().mkpath(bin("BkGrnd")));
        QVERIFY(QFile::copy(m_root.filePath("usr/share/trimbo/BkGrnd/White.bmp"), ownFiles.at(2)));
        ownFiles.append(bin("BkGrnd"));
    }
    const auto [base, relative] = std::pair{expectedFolder.section(u':', 0, 0), expectedFolder.section(u':', 1)};
    const QString folder = (base == u"home" ? home.path() : base == u"work" ? m_work.path() : m_root.path()) + relative;

    const Run where = run(bin("trimbo-diary"), {"where"}, environment);
    QCOMPARE(where.output.section(u'\n', 0, 0), folder);

    const QString today = QDate::currentDate().toString(u"yyyy/MM/dd");
    const QStringList first = start(environment, "64.3");
    QVERIFY2(first == QStringList({"shown: 0", "saved: 64.3"}), qPrintable(first.join(" / ")));
    const Run shown = run(bin("trimbo-diary"), {"show", folder + "Bk_Trimbo.xls"});
    QCOMPARE(shown.exitCode, 0);
    QVERIFY2(shown.output.contains(today + ",64.3,"), qPrintable(shown.output));
    // The second start shows the day saved, and writes nothing new.
    const QStringList second = start(environment, QString());
    QVERIFY2(second == QStringList({"shown: 64.3"}), qPrintable(second.join(" / ")));

    if (!besideExecutable) {
        // Laid out as the set-up lays out a new user's folder.
        QCOMPARE(QDir(folder + "BkGrnd").entryList(QDir::Files).size(), 15);
        QVERIFY(QFileInfo(folder + "Picture").isDir());
        for (const char *exchange : {"BoxingGame/Beforedata.txt", "BoxingGame/data.txt"})
            QVERIFY(QFileInfo(folder + exchange).isFile());
        QVERIFY(QFile(folder + "Trimbo.ini").size() > 0);
    }
    if (base != u"home")
        QVERIFY(!QFileInfo::exists(home.filePath(".local/share/trimbo")));
    // Nothing is written beside the installed program, but for a folder that
    // is its own.
    const QStringList changing = besideExecutable ? ownFiles + QStringList{m_root.filePath("usr/bin")} : QStringList();
    const auto unchanging = [&](QStringList entries) {
        entries.removeIf([&](const QString &entry) {
            return std::any_of(changing.begin(), changing.end(),
                               [&](const QString &own) { return entry.startsWith(own + u' '); });
        });
        return entries;
    };
    QCOMPARE(unchanging(m_root.snapshot()), unchanging(m_unpacked));
    for (const QString &own : ownFiles)
        QVERIFY(QFile::remove(own) || QDir(own).removeRecursively());
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
