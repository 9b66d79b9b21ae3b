#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "mainwindow.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <tuple>

namespace {

const QByteArray sampleIni = "[Graph]\r\nWUpper=85\r\nWDown=60\r\nFUpper=30\r\nFDown=10\r\nGraphVis=2\r\n"
                             "StartD=2010/01/01\r\nEndD=2010/01/31\r\nBckGrnd=1\r\n"
                             "[Establish]\r\nDStartD=2010/01/01\r\nGoalW=65\r\nFloatF=1\r\n";

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingSettingsFileStopsTheProgram()
    {
        RecordingResponder messages;
        TempProgramFolder folder;
        const QStringList before = folder.snapshot();
        MainWindow window(folder.path());
        window.show();
        QCOMPARE(messages.shown, QStringList{"forced termination\r\nNot Found \"Trimbo.ini\""});
        QVERIFY(window.stopped() && !window.isVisible());
        QCOMPARE(folder.snapshot(), before);
    }

    // The settings reach the window and are left as they are; a weight of
    // 1e308 that a spreadsheet put in the sheet is drawn far above the
    // picture, the pixel arithmetic in range (the sanitizer build stops on
    // any overflow); the key legend lights each action's own key.
    void startsAndOpensItsCompanions()
    {
        RecordingResponder messages;
        RecordingShell shell;
        TempProgramFolder folder;
        folder.layOut(sampleIni);
        const DayValues huge{"2010/01/10", "1e308", "1e308", 1, 1, "", "", ""};
        QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"), {huge, dayAt("2010/01/11", "65")}, false).saved);
        MainWindow window(folder.path(), &shell);
        window.show();
        QVERIFY(messages.shown.isEmpty() && !window.stopped() && window.isVisible());
        QCOMPARE(control<QLineEdit>(window, "Edt_UpWlimit")->text(), QString("85"));
        QCOMPARE(window.graph().weight.size(), 2);
        QCOMPARE(window.graph().fat.size(), 2);
        QCOMPARE(folder.read("Trimbo.ini"), sampleIni);
        // Caps in order C V B N M and arrows ← ↑ ↓ →.
        const auto pixelAt = [&](const char *name, int x) {
            return control<QLabel>(window, name)->pixmap().toImage().pixelColor(x, 12);
        };
        QCOMPARE(pixelAt("Img_V", 5), QColor(255, 165, 0));
        for (const auto &[name, x] : {std::pair("Img_V", 25), std::pair("Img_M", 100), std::pair("Img_YajiDown3", 50)})
            QVERIFY2(pixelAt(name, x + 5) == QColor(Qt::white), name);

        // A companion is started in its own folder when it is an executable
        // and handed to the desktop when it is any other file (a Windows game
        // copied over keeps no executable bit); what is no file is left
        // alone without a word, and a desktop that cannot open one is named.
        const auto click = [&](const char *button) {
            QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
        };
        const std::tuple<const char *, QString, QString> companions[] = {
            {"Btn_Help", "Help/TrimboMovie.html", ""},
            {"Btn_Help", "Help/TrimboMovie.html", "folder"},
            {"BtBtn_Boxing", "BoxingGame/Trimbo_flash.exe", ""},
            {"BtBtn_Boxing", "BoxingGame/Trimbo_flash.exe", "file"},
            {"BtBtn_Boxing", "BoxingGame/Trimbo_flash.exe", "executable"},
            {"Btn_Help", "Help/TrimboMovie.html", "file"}};
        for (const auto &[button, name, kind] : companions) {
            const QString path = folder.filePath(name), row = name + " as " + kind;
            QDir().rmdir(path);
            if (kind == "folder")
                QVERIFY(QDir().mkpath(path));
            else if (!kind.isEmpty())
                folder.write(name, "#!/bin/sh\n");
            if (kind == "executable")
                QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
            shell.started.clear(), shell.startedIn.clear(), shell.opened.clear();
            click(button);
            const bool started = kind == "executable", handed = kind == "file";
            QVERIFY2(shell.started == (started ? QStringList{path} : QStringList()), qPrintable(row));
            QVERIFY2(shell.startedIn == (started ? QStringList{QFileInfo(path).absolutePath()} : QStringList()),
                     qPrintable(row));
            QVERIFY2(shell.opened == (handed ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>()),
                     qPrintable(row));
        }
        QVERIFY(messages.shown.isEmpty());
        shell.refuses = true;
        click("Btn_Help");
        QCOMPARE(messages.shown,
                 QStringList{"\"" + folder.filePath("Help/TrimboMovie.html") + "\" を開けませんでした。"});
        click("BtBtn_Close");
        QVERIFY(!window.isVisible());
    }

    // A limit no body can weigh, saved by an earlier version (1e20, or a
    // date pasted as digits), once made every start spin for minutes: it now
    // reads as empty, the key is named, and the window opens (a hang runs
    // into CTest's time limit; tst_graph shows the captions bounded by count).
    void impossibleGraphLimitsReadAsEmptyAndAreNamed()
    {
        for (const QString line : {"WUpper=20261207", "WDown=-5", "FUpper=150"}) {
            const QString key = line.section('=', 0, 0);
            RecordingResponder messages;
            TempProgramFolder folder;
            // The sample's own line for the key steps aside.
            const QByteArray settings = QString(sampleIni)
                                            .replace(key + '=', "Old" + key + '=')
                                            .replace("[Graph]\r\n", "[Graph]\r\n" + line + "\r\n")
                                            .toLatin1();
            folder.layOut(settings);
            MainWindow window(folder.path());
            window.show();
            QVERIFY2(!window.stopped() && window.isVisible() && messages.shown.size() == 1, qPrintable(line));
            QVERIFY2(messages.shown.first().contains("[Graph] " + line + ": グラフの範囲にできない値です。"),
                     qPrintable(messages.shown.first()));
            const GraphSettings &graph = window.core().settings().graph;
            QCOMPARE(key == "WUpper" ? graph.WUpper : key == "WDown" ? graph.WDown : graph.FUpper, QString());
            QVERIFY(int(window.graph().weightCaptions.size()) <= GraphHeight + 1);
            QCOMPARE(folder.read("Trimbo.ini"), settings);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
