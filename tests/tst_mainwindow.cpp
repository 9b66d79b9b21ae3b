#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "newworkbook.h"
#include "tfrm_main.h"

#include <QFile>
#include <QLabel>
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
    void unreadableSettingsFileStopsTheProgram();
    void startsWithTheSettingsRead();
    void damagedSettingsAreNamedAtStartUp();
    void startsWithTheDiaryLoaded();
    void unreadableDiaryIsNeverWritten_data();
    void unreadableDiaryIsNeverWritten();
    void fullDiaryIsReported();
    void secondCopyOnOneDiaryStops();
    void lockOfACrashedRunIsTakenOver();
    void windowLayout();
    void keyLegend();
    void companionButtons();
};

void TestMainWindow::missingSettingsFileStopsTheProgram()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    const QStringList before = folder.snapshot();

    TFrm_Main window(folder.path());
    window.show();

    QCOMPARE(messages.shown, QStringList{"forced termination\r\nNot Found \"Trimbo.ini\""});
    QVERIFY(window.stopped());
    QVERIFY(!window.isVisible());
    QCOMPARE(folder.snapshot(), before);
}

void TestMainWindow::unreadableSettingsFileStopsTheProgram()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    QDir().mkpath(folder.filePath("Trimbo.ini"));

    TFrm_Main window(folder.path());
    window.show();

    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown.first().startsWith("forced termination\r\n"));
    QVERIFY(messages.shown.first().contains(folder.filePath("Trimbo.ini")));
    QVERIFY(window.stopped());
    QVERIFY(!window.isVisible());
}

void TestMainWindow::startsWithTheSettingsRead()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(messages.shown.isEmpty());
    QVERIFY(!window.stopped());
    QVERIFY(window.isVisible());
    QCOMPARE(window.paths().ExeDir, folder.path());
    QCOMPARE(window.paths().IniPath, folder.filePath("Trimbo.ini"));
    QCOMPARE(window.paths().BoxingDir, folder.filePath("BoxingGame/"));
    QCOMPARE(window.settings().graph.WUpper, QString("85"));
    QCOMPARE(window.settings().graph.GraphVis, 2);
    QCOMPARE(window.settings().establish.GoalW, QString("65"));
    QCOMPARE(window.diary().FirstEmptyRow(), 0);
    QCOMPARE(folder.read("Trimbo.ini"), sampleIni);
}

void TestMainWindow::damagedSettingsAreNamedAtStartUp()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    QByteArray damaged = sampleIni;
    damaged.insert(sampleIni.indexOf("WUpper"), QByteArray("LineClW=\0\0\0\0\r\nTrimboVis=yes\r\n", 29));
    folder.write("Trimbo.ini", damaged);

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(!window.stopped() && window.isVisible());
    QCOMPARE(messages.shown.size(), 1);
    const QString &shown = messages.shown.first();
    QVERIFY2(shown.contains(folder.filePath("Trimbo.ini")) && shown.contains("2 行目: NUL 文字が入っています")
                 && shown.contains("TrimboVis=yes: 整数ではありません"),
             qPrintable(shown));
    QCOMPARE(window.settings().graph.WUpper, QString("85"));
    QCOMPARE(window.settings().graph.TrimboVis, 0);
    QCOMPARE(folder.read("Trimbo.ini"), damaged);
}

void TestMainWindow::startsWithTheDiaryLoaded()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"),
                     {{"2010/01/29", "65.5", "21.3", 1, 0, "朝", "夜", ""}, {"2010/01/27", "66", "", 2, 2, "", "", ""}},
                     false).saved);

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(messages.shown.isEmpty());
    QVERIFY(window.diaryWritable());
    QCOMPARE(window.diary().FirstEmptyRow(), 3);
    QCOMPARE(window.diary().cell(2, ColWeight).toText(), QString("65.5"));
    int row = -1;
    QVERIFY(window.CheckSameDate("2010/01/27", &row));
    QCOMPARE(row, 1);
    QVERIFY(!window.CheckSameDate("2010/01/28", &row));
    QCOMPARE(row, 0);
}

void TestMainWindow::unreadableDiaryIsNeverWritten_data()
{
    QTest::addColumn<QString>("form"); // "file", "folder" or "missing"
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    const QByteArray good = newDiaryWorkbook("St_Trimbo");
    QTest::newRow("missing") << "missing" << QByteArray() << "ファイルがありません";
    QTest::newRow("folder") << "folder" << QByteArray() << "ファイルではなくフォルダーです";
    QTest::newRow("empty") << "file" << QByteArray() << "Excel 97-2003 のブック (.xls) ではありません";
    QTest::newRow("truncated") << "file" << good.left(good.size() / 2) << "ではありません";
    QTest::newRow("not a workbook") << "file" << QByteArray("just some text") << "Excel 97-2003 のブック (.xls) ではありません";
    QTest::newRow("xlsx renamed") << "file" << QByteArray("PK\x03\x04 zipped") << ".xlsx";
    QTest::newRow("no diary sheet") << "file" << newDiaryWorkbook("Sheet1") << "シート \"St_Trimbo\" がありません";
}

void TestMainWindow::unreadableDiaryIsNeverWritten()
{
    QFETCH(QString, form);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    RecordingResponder messages;
    TempProgramFolder folder;
    writeSettings(folder);
    if (form == "file")
        folder.write("Bk_Trimbo.xls", content);
    else if (form == "folder")
        QDir().mkpath(folder.filePath("Bk_Trimbo.xls"));
    const QStringList before = folder.snapshot();

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(window.isVisible());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown.first().contains(folder.filePath("Bk_Trimbo.xls")), qPrintable(messages.shown.first()));
    QVERIFY2(messages.shown.first().contains(reason), qPrintable(messages.shown.first()));
    QCOMPARE(window.diary().FirstEmptyRow(), 0);
    QVERIFY(!window.diaryWritable());
    // A day saved now is refused, and the file stays as it was.
    QTest::mouseClick(control<QPushButton>(window, "BtBtn_Save_Today"), Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 2);
    QVERIFY(messages.shown.last().contains(folder.filePath("Bk_Trimbo.xls")));
    QStringList after = folder.snapshot();
    after.removeIf([](const QString &entry) { return entry.contains("Bk_Trimbo.xls.lock"); });
    QCOMPARE(after, before);
}

void TestMainWindow::fullDiaryIsReported()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    std::vector<DayValues> days;
    for (int i = 0; i < MaxDiaryRows; ++i)
        days.push_back({dateText(QDate(1900, 1, 1).addDays(i)), "60", "", 1, 1, "", "", ""});
    QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"), days, false).saved);

    TFrm_Main window(folder.path());
    window.show();

    QCOMPARE(messages.shown, QStringList{"これ以上データを入力できません。\r\nExcelのデータを確認してください。"});
    QCOMPARE(window.diary().FirstEmptyRow(), 0);
}

void TestMainWindow::secondCopyOnOneDiaryStops()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    TFrm_Main first(folder.path());
    first.show();
    QVERIFY(messages.shown.isEmpty());

    TFrm_Main second(folder.path());
    second.show();
    QVERIFY(second.stopped());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY(messages.shown.first().startsWith("forced termination\r\n"));
    QVERIFY(messages.shown.first().contains("別のトリンボ"));
    QVERIFY(first.diaryWritable());
}

void TestMainWindow::lockOfACrashedRunIsTakenOver()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    // What a run that died leaves behind: a lock naming a process long gone.
    folder.write("Bk_Trimbo.xls.lock", "2147483000\ntst_mainwindow\n" + QSysInfo::machineHostName().toUtf8() + "\n");

    TFrm_Main window(folder.path());
    window.show();
    QVERIFY(!window.stopped());
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(window.diaryWritable());
}

void TestMainWindow::windowLayout()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    TFrm_Main window(folder.path());
    window.show();

    QCOMPARE(window.windowTitle(), QString("トリンボ"));
    QCOMPARE(window.size(), QSize(872, 669));
    QCOMPARE(window.palette().color(QPalette::Window), QColor(166, 202, 240));

    const auto *pages = control<QTabWidget>(window, "Pg_Cntrl");
    QCOMPARE(pages->geometry(), QRect(4, 393, 738, 276));
    QCOMPARE(pages->currentIndex(), 0);
    QStringList tabs;
    for (int i = 0; i < pages->count(); ++i)
        tabs << pages->widget(i)->objectName() + ' ' + pages->tabText(i);
    QCOMPARE(tabs, (QStringList{"Tab_Enter 入力", "Tab_Grph_Estb グラフ設定", "Tab_Boxing ボクシング", "Tab_Trend トレンド"}));

    const QList<std::pair<const char *, QString>> buttons{
        {"Btn_GridView", "一覧表示"}, {"BtBtn_Boxing", "ボクシング"}, {"Btn_Help", "操作説明"},
        {"BtBtn_Default", "設定"}, {"BtBtn_Close", "閉じる"}};
    int top = 0;
    for (const auto &[name, caption] : buttons) {
        const auto *button = control<QPushButton>(window, name);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->size(), QSize(105, 33));
        QVERIFY2(button->y() > top, name);
        top = button->y();
    }
    QCOMPARE(control<QLabel>(window, "Img_Main")->geometry(), QRect(88, 6, 774, 312));
    QCOMPARE(control<QWidget>(window, "Pnl_VerticalAxle")->geometry(), QRect(8, 6, 80, 312));
    QCOMPARE(control<QWidget>(window, "Pnl_CrossAxle")->geometry(), QRect(88, 317, 774, 70));

    QTest::mouseClick(control<QPushButton>(window, "BtBtn_Close"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

void TestMainWindow::keyLegend()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    folder.write("Trimbo.ini", sampleIni);
    TFrm_Main window(folder.path());

    const auto pixelAt = [&](const char *name, int x) {
        return control<QLabel>(window, name)->pixmap().toImage().pixelColor(x, 12);
    };
    const QColor white(Qt::white), orange(255, 165, 0);
    // Caps in order C V B N M: the action's own key is the white one.
    QCOMPARE(pixelAt("Img_V", 25 + 5), white);
    QCOMPARE(pixelAt("Img_V", 5), orange);
    QCOMPARE(pixelAt("Img_C2", 5), white);
    QCOMPARE(pixelAt("Img_M", 100 + 5), white);
    QCOMPARE(pixelAt("Img_M", 75 + 5), orange);
    // Arrows in order ← ↑ ↓ →.
    QCOMPARE(pixelAt("Img_YajiDown3", 50 + 5), white);
    QCOMPARE(pixelAt("Img_YajiDown3", 75 + 5), orange);
    QCOMPARE(pixelAt("Img_YajiLeft", 5), white);
    QCOMPARE(control<QLabel>(window, "Img_Space")->pixmap().size(), QSize(71, 25));
    QCOMPARE(control<QLabel>(window, "Lbl_Guard")->text(), QString("・・・ガード"));
}

void TestMainWindow::companionButtons()
{
    RecordingResponder messages;
    RecordingShell shell;
    TempProgramFolder folder;
    layOut(folder);
    TFrm_Main window(folder.path(), &shell);
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
