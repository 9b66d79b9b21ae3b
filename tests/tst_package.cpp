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
// dpkg -x, and its program started by a new user. The first start lays out
// the user's folder and saves a day through the main window, the next start
// shows it, and nothing is written beside the installed program. (Where the
// program finds its folder is tst_programfolder's.)
class TestPackage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsInTheUsersFolder();
};

void TestPackage::startsInTheUsersFolder()
{
    const TempProgramFolder root, work, home;
    const Run packed = run(QStringLiteral(CPACK_COMMAND),
                           {"-G", "DEB", "-B", work.filePath("deb"), "--config", TRIMBO_BUILD_DIR "/CPackConfig.cmake"},
                           QProcessEnvironment::systemEnvironment(), QStringLiteral(TRIMBO_BUILD_DIR));
    QCOMPARE(packed.exitCode, 0);
    const QStringList debs = QDir(work.filePath("deb")).entryList({"trimbo_*.deb"});
    QCOMPARE(debs.size(), 1);
    QCOMPARE(run("dpkg", {"-x", work.filePath("deb/" + debs.first()), root.path()}).exitCode, 0);
    const QString bin = root.filePath("usr/bin/");
    const QStringList unpacked = root.snapshot();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("TRIMBO_HOME");
    environment.remove("XDG_DATA_HOME");
    environment.insert("HOME", home.path());
    const QString folder = home.filePath(".local/share/trimbo/");
    // The window driver writes down what the main window showed and saved.
    const auto start = [&](const QString &weight) {
        QProcessEnvironment driven = environment;
        driven.insert("QT_QPA_PLATFORM", "offscreen");
        driven.insert("LD_PRELOAD", WINDOW_DRIVER);
        driven.insert("TRIMBO_DRIVE_REPORT", work.filePath("report.txt"));
        driven.insert("TRIMBO_DRIVE_WEIGHT", weight);
        QFile::remove(work.filePath("report.txt"));
        const int exitCode = run(bin + "Trimbo", {}, driven).exitCode;
        return QString("exit code %1\n").arg(exitCode) + QString::fromUtf8(work.read("report.txt"));
    };
    QCOMPARE(start("64.3"), QString("exit code 0\nshown: 0\nsaved: 64.3\n"));
    const Run shown = run(bin + "trimbo-diary", {"show", folder + "Bk_Trimbo.xls"});
    QVERIFY2(shown.exitCode == 0 && shown.output.contains(QDate::currentDate().toString(u"yyyy/MM/dd") + ",64.3,"),
             qPrintable(shown.output));
    QCOMPARE(start(QString()), QString("exit code 0\nshown: 64.3\n"));
    // Laid out with the package's starting files.
    QCOMPARE(QDir(folder + "BkGrnd").entryList(QDir::Files).size(), 15);
    QCOMPARE(root.snapshot(), unpacked);
}

QTEST_GUILESS_MAIN(TestPackage)
#include "tst_package.moc"
