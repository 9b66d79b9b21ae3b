#include "helpers.h"
#include "launcher.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(Launcher::Result)

class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void open_data();
    void open();
};

enum class Kind { Missing, Folder, Executable, PlainFile };
Q_DECLARE_METATYPE(Kind)

void TestLauncher::open_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<Launcher::Result>("result");
    QTest::newRow("missing file") << "Help/TrimboMovie.html" << Kind::Missing << Launcher::Result::Missing;
    QTest::newRow("folder") << "Help/TrimboMovie.html" << Kind::Folder << Launcher::Result::Missing;
    QTest::newRow("executable") << "BoxingGame/Trimbo_flash.exe" << Kind::Executable << Launcher::Result::Started;
    QTest::newRow("page") << "Help/TrimboMovie.html" << Kind::PlainFile << Launcher::Result::HandedToDesktop;
    // A Windows game copied over keeps no executable bit: the desktop decides.
    QTest::newRow("game without its bit")
        << "BoxingGame/Trimbo_flash.exe" << Kind::PlainFile << Launcher::Result::HandedToDesktop;
}

// An executable is started in its own folder, any other file goes to the
// desktop, and what is no file is left alone.
void TestLauncher::open()
{
    QFETCH(QString, name);
    QFETCH(Kind, kind);
    QFETCH(Launcher::Result, result);
    RecordingShell shell;
    TempProgramFolder folder;
    const QString path = folder.filePath(name);
    if (kind == Kind::Folder)
        QVERIFY(QDir().mkpath(path));
    else if (kind != Kind::Missing)
        folder.write(name, "#!/bin/sh\n");
    if (kind == Kind::Executable)
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    QCOMPARE(Launcher(&shell).open(path), result);
    const bool started = result == Launcher::Result::Started;
    QCOMPARE(shell.started, started ? QStringList{path} : QStringList());
    QCOMPARE(shell.startedIn, started ? QStringList{QFileInfo(path).absolutePath()} : QStringList());
    const bool handed = result == Launcher::Result::HandedToDesktop;
    QCOMPARE(shell.opened, handed ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>());
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
