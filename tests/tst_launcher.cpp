#include "helpers.h"
#include "launcher.h"

#include <QFile>
#include <QTest>

class TestLauncher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingFileDoesNothing();
    void executableIsStartedInItsFolder();
    void otherFilesGoToTheDesktop();
    void folderIsNotOpened();
};

void TestLauncher::missingFileDoesNothing()
{
    RecordingShell shell;
    TempProgramFolder folder;
    QCOMPARE(Launcher(&shell).open(folder.filePath("Help/TrimboMovie.html")), Launcher::Result::Missing);
    QVERIFY(shell.started.isEmpty());
    QVERIFY(shell.opened.isEmpty());
}

void TestLauncher::executableIsStartedInItsFolder()
{
    RecordingShell shell;
    TempProgramFolder folder;
    folder.write("BoxingGame/Trimbo_flash.exe", "#!/bin/sh\n");
    QFile::setPermissions(folder.filePath("BoxingGame/Trimbo_flash.exe"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(Launcher(&shell).open(folder.filePath("BoxingGame/Trimbo_flash.exe")), Launcher::Result::Started);
    QCOMPARE(shell.started, QStringList{folder.filePath("BoxingGame/Trimbo_flash.exe")});
    QCOMPARE(shell.startedIn, QStringList{folder.filePath("BoxingGame")});
    QVERIFY(shell.opened.isEmpty());
}

void TestLauncher::otherFilesGoToTheDesktop()
{
    RecordingShell shell;
    TempProgramFolder folder;
    folder.write("Help/TrimboMovie.html", "<html></html>");
    // A Windows game copied over keeps no executable bit: the desktop decides.
    folder.write("BoxingGame/Trimbo_flash.exe", "MZ");
    Launcher launcher(&shell);
    QCOMPARE(launcher.open(folder.filePath("Help/TrimboMovie.html")), Launcher::Result::HandedToDesktop);
    QCOMPARE(launcher.open(folder.filePath("BoxingGame/Trimbo_flash.exe")), Launcher::Result::HandedToDesktop);
    QCOMPARE(shell.opened, (QList<QUrl>{QUrl::fromLocalFile(folder.filePath("Help/TrimboMovie.html")),
                                        QUrl::fromLocalFile(folder.filePath("BoxingGame/Trimbo_flash.exe"))}));
    QVERIFY(shell.started.isEmpty());
}

void TestLauncher::folderIsNotOpened()
{
    RecordingShell shell;
    TempProgramFolder folder;
    QDir().mkpath(folder.filePath("Help/TrimboMovie.html"));
    QCOMPARE(Launcher(&shell).open(folder.filePath("Help/TrimboMovie.html")), Launcher::Result::Missing);
    QVERIFY(shell.opened.isEmpty());
}

QTEST_GUILESS_MAIN(TestLauncher)
#include "tst_launcher.moc"
