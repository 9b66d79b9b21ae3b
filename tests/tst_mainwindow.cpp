#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "newworkbook.h"
#include "mainwindow.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

namespace {

const QByteArray sampleIni = "[Graph]\r\nWUpper=85\r\nWDown=60\r\nGraphVis=2\r\nBckGrnd=11\r\n"
                             "[Establish]\r\nDStartD=2010/01/01\r\nGoalW=65\r\nFloatF=1\r\n";

// The settings and the background picture they name.
void writeSettings(const TempProgramFolder &folder)
{
    folder.write("Trimbo.ini", sampleIni);
    QImage sky(774, 312, QImage::Format_RGB32);
    sky.fill(QColor(120, 170, 230));
    QDir().mkpath(folder.filePath("BkGrnd"));
    sky.save(folder.filePath("BkGrnd/Aozora.bmp"), "BMP");
}

// A program folder as the set-up lays it out, with an empty diary.
void layOut(const TempProgramFolder &folder)
{
    writeSettings(folder);
    folder.write("Bk_Trimbo.xls", newDiaryWorkbook("St_Trimbo"));
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void missingSettingsFileStopsTheProgram();
    void startsWithTheSettingsRead();
    void impossibleGraphLimitsReadAsEmptyAndAreNamed_data();
    void impossibleGraphLimitsReadAsEmptyAndAreNamed();
    void valuesFarOutOfReachDrawWithoutOverflow();
    void keyLegend();
    void companionButtons();
};

void TestMainWindow::missingSettingsFileStopsTheProgram()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    const QStringList before = folder.snapshot();

    MainWindow window(folder.path());
    window.show();

    QCOMPARE(messages.shown, QStringList{"forced termination\r\nNot Found \"Trimbo.ini\""});
    QVERIFY(window.stopped());
    QVERIFY(!window.isVisible());
    QCOMPARE(folder.snapshot(), before);
}

void TestMainWindow::startsWithTheSettingsRead()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);

    MainWindow window(folder.path());
    window.show();

    QVERIFY(messages.shown.isEmpty());
    QVERIFY(!window.stopped() && window.isVisible());
    QCOMPARE(window.core().settings().graph.WUpper, QString("85"));
    QCOMPARE(control<QLineEdit>(window, "Edt_UpWlimit")->text(), QString("85"));
    QCOMPARE(folder.read("Trimbo.ini"), sampleIni);
    QTest::mouseClick(control<QPushButton>(window, "BtBtn_Close"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

// A limit no body can weigh, saved by an earlier version (1e20, or a date
// pasted as digits), once made every start spin for minutes: it now reads
// as empty, the key is named, and the window opens (a hang runs into CTest's
// time limit; tst_graph shows the captions bounded by count).
void TestMainWindow::impossibleGraphLimitsReadAsEmptyAndAreNamed_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("key");
    QTest::newRow("WUpper=1e20") << QByteArray("WUpper=1e20") << "WUpper";
    QTest::newRow("WUpper as a date") << QByteArray("WUpper=20261207") << "WUpper";
    QTest::newRow("WDown below 0") << QByteArray("WDown=-5") << "WDown";
    QTest::newRow("FUpper=150") << QByteArray("FUpper=150") << "FUpper";
}

void TestMainWindow::impossibleGraphLimitsReadAsEmptyAndAreNamed()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, key);
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    QByteArray settings = sampleIni;
    settings.replace("WUpper=85", "WUpper=85\r\nFUpper=30\r\nFDown=10");
    settings.replace(key.toLatin1() + '=', "Old" + key.toLatin1() + '='); // the sample's own line steps aside
    settings.replace("[Graph]\r\n", "[Graph]\r\n" + line + "\r\n");
    folder.write("Trimbo.ini", settings);

    MainWindow window(folder.path());
    window.show();

    QVERIFY(!window.stopped() && window.isVisible());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(
        messages.shown.first().contains("[Graph] " + QString::fromLatin1(line) + ": グラフの範囲にできない値です。"),
        qPrintable(messages.shown.first()));
    const GraphSettings &graph = window.core().settings().graph;
    QCOMPARE(key == "WUpper" ? graph.WUpper : key == "WDown" ? graph.WDown : graph.FUpper, QString());
    QVERIFY(int(window.graph().weightCaptions.size()) <= GraphHeight + 1);
    QCOMPARE(folder.read("Trimbo.ini"), settings);
}

// A weight of 1e308 that a spreadsheet (or an earlier trimbo-diary) put in
// the sheet is drawn far above the picture; the pixel arithmetic stays in
// range (the sanitizer build of this test stops on any overflow).
void TestMainWindow::valuesFarOutOfReachDrawWithoutOverflow()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    writeSettings(folder);
    folder.write("Trimbo.ini", "[Graph]\r\nWUpper=85\r\nWDown=60\r\nFUpper=30\r\nFDown=10\r\nGraphVis=2\r\n"
                               "StartD=2010/01/01\r\nEndD=2010/01/31\r\nBckGrnd=11\r\n");
    folder.write("Bk_Trimbo.xls", newDiaryWorkbook("St_Trimbo"));
    QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"),
                     {{"2010/01/10", "1e308", "1e308", 1, 1, "", "", ""}, {"2010/01/11", "65", "20", 1, 1, "", "", ""}},
                     false)
                .saved);

    MainWindow window(folder.path());
    window.show();

    QVERIFY(window.isVisible());
    QCOMPARE(window.graph().weight.size(), 2);
    QCOMPARE(window.graph().fat.size(), 2);
}

void TestMainWindow::keyLegend()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    folder.write("Trimbo.ini", sampleIni);
    MainWindow window(folder.path());

    const auto pixelAt = [&](const char *name, int x) {
        return control<QLabel>(window, name)->pixmap().toImage().pixelColor(x, 12);
    };
    const QColor white(Qt::white), orange(255, 165, 0);
    // Caps in order C V B N M: the action's own key is the white one.
    QCOMPARE(pixelAt("Img_V", 25 + 5), white);
    QCOMPARE(pixelAt("Img_V", 5), orange);
    QCOMPARE(pixelAt("Img_M", 100 + 5), white);
    // Arrows in order ← ↑ ↓ →.
    QCOMPARE(pixelAt("Img_YajiDown3", 50 + 5), white);
}

void TestMainWindow::companionButtons()
{
    RecordingResponder messages;
    RecordingShell shell;
    TempProgramFolder folder;
    layOut(folder);
    MainWindow window(folder.path(), &shell);
    window.show();

    // Neither companion is there yet: nothing happens, nothing is said.
    QTest::mouseClick(control<QPushButton>(window, "Btn_Help"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(window, "BtBtn_Boxing"), Qt::LeftButton);
    QVERIFY(shell.started.isEmpty() && shell.opened.isEmpty() && messages.shown.isEmpty());

    folder.write("Help/TrimboMovie.html", "<html></html>");
    folder.write("BoxingGame/Trimbo_flash.exe", "#!/bin/sh\n");
    QFile::setPermissions(folder.filePath("BoxingGame/Trimbo_flash.exe"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QTest::mouseClick(control<QPushButton>(window, "Btn_Help"), Qt::LeftButton);
    QTest::mouseClick(control<QPushButton>(window, "BtBtn_Boxing"), Qt::LeftButton);
    QCOMPARE(shell.opened, QList<QUrl>{QUrl::fromLocalFile(folder.filePath("Help/TrimboMovie.html"))});
    QCOMPARE(shell.started, QStringList{folder.filePath("BoxingGame/Trimbo_flash.exe")});
    QVERIFY(messages.shown.isEmpty());

    // A desktop that cannot open the page: the user is told which file.
    shell.refuses = true;
    QTest::mouseClick(control<QPushButton>(window, "Btn_Help"), Qt::LeftButton);
    QCOMPARE(messages.shown, QStringList{"\"" + folder.filePath("Help/TrimboMovie.html") + "\" を開けませんでした。"});
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
