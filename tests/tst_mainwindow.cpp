#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "newworkbook.h"
#include "tfrm_main.h"

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
    void unreadableSettingsFileStopsTheProgram();
    void startsWithTheSettingsRead();
    void damagedSettingsAreNamedAtStartUp();
    void startsWithTheDiaryLoaded();
    void impossibleGraphLimitsReadAsEmptyAndAreNamed_data();
    void impossibleGraphLimitsReadAsEmptyAndAreNamed();
    void valuesFarOutOfReachDrawWithoutOverflow();
    void utf16SettingsStopTheProgram();
    void unreadableDiaryIsNeverWritten_data();
    void unreadableDiaryIsNeverWritten();
    void fullDiaryIsReported();
    void secondCopyOnOneDiaryStops();
    void exchangeFilesAreNeverWrittenThroughALink();
    void diaryLinkedFromTwoFoldersIsLockedOnce();
    void locksLeftBehindAreTakenOver_data();
    void locksLeftBehindAreTakenOver();
    void lockFromAnotherComputerIsAskedAbout_data();
    void lockFromAnotherComputerIsAskedAbout();
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
    QTest::newRow("truncated") << "file" << good.left(good.size() / 2) << "途中で切れています";
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

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(!window.stopped() && window.isVisible());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown.first().contains("[Graph] " + QString::fromLatin1(line) + ": グラフの範囲にできない値です。"),
             qPrintable(messages.shown.first()));
    const GraphSettings &graph = window.settings().graph;
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
                     false).saved);

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(window.isVisible());
    QCOMPARE(window.graph().weight.size(), 2);
    QCOMPARE(window.graph().fat.size(), 2);
}

void TestMainWindow::utf16SettingsStopTheProgram()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    const QString text = QString::fromLatin1(sampleIni);
    const QByteArray utf16 = "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    folder.write("Trimbo.ini", utf16);

    TFrm_Main window(folder.path());
    window.show();

    QVERIFY(window.stopped());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown.first().startsWith("forced termination\r\n") && messages.shown.first().contains("UTF-16"),
             qPrintable(messages.shown.first()));
    QCOMPARE(folder.read("Trimbo.ini"), utf16);
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

    const QString full = "これ以上データを入力できません。\r\nExcelのデータを確認してください。";
    QCOMPARE(messages.shown, QStringList{full});
    // Every day is shown, and a recorded day can still be corrected.
    QCOMPARE(window.diary().FirstEmptyRow(), MaxDiaryRows + 1);
    auto *tab = control<QWidget>(window, "Tab_Enter");
    auto *save = control<QPushButton>(*tab, "BtBtn_Save_Today");
    pickDay(*tab, QDate(1900, 1, 2));
    control<QLineEdit>(*tab, "Edt_Weight")->setText("58.5");
    messages.answers << true;
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 1);
    QCOMPARE(messages.shown.size(), 1);
    QCOMPARE(window.diary().cell(2, ColWeight).toText(), QString("58.5"));
    QCOMPARE(window.diary().FirstEmptyRow(), MaxDiaryRows + 1);
    // Only a new day is refused, with the same message, and nothing is written.
    const QByteArray before = folder.read("Bk_Trimbo.xls");
    pickDay(*tab, QDate(2300, 1, 1));
    QTest::mouseClick(save, Qt::LeftButton);
    QCOMPARE(messages.shown, (QStringList{full, full}));
    QCOMPARE(folder.read("Bk_Trimbo.xls"), before);
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

// Links put in the place of the viewer's level files, one to the diary and
// one out of the folder: each is replaced by a file of its own.
void TestMainWindow::exchangeFilesAreNeverWrittenThroughALink()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    const TempProgramFolder outside;
    folder.layOut("[Graph]\r\nGraphVis=0\r\nBckGrnd=1\r\nTrimboVis=1\r\n[Establish]\r\nDStartW=80\r\nGoalW=70\r\n");
    QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"), {{"2010/01/20", "75", "", 1, 1, "", "", ""}}, false).saved);
    outside.write("elsewhere.txt", "not Trimbo's\n");
    QVERIFY(QFile::remove(folder.filePath("BoxingGame/Beforedata.txt")) && QFile::remove(folder.filePath("BoxingGame/data.txt")));
    QVERIFY(QFile::link("../Bk_Trimbo.xls", folder.filePath("BoxingGame/Beforedata.txt")));
    QVERIFY(QFile::link(outside.filePath("elsewhere.txt"), folder.filePath("BoxingGame/data.txt")));
    const QByteArray diary = folder.read("Bk_Trimbo.xls");
    const QStringList outsideBefore = outside.snapshot();

    TFrm_Main window(folder.path());
    window.show();
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.join("|")));
    QCOMPARE(folder.read("Bk_Trimbo.xls"), diary);
    QVERIFY(!QFileInfo(folder.filePath("BoxingGame/Beforedata.txt")).isSymLink());
    QCOMPARE(folder.read("BoxingGame/Beforedata.txt"), QByteArray("5\r\n"));

    auto *tab = control<QWidget>(window, "Tab_Enter");
    pickDay(*tab, QDate(2010, 1, 21));
    control<QLineEdit>(*tab, "Edt_Weight")->setText("72");
    QTest::mouseClick(control<QPushButton>(*tab, "BtBtn_Save_Today"), Qt::LeftButton);
    QCOMPARE(window.diary().FirstEmptyRow(), 3);
    QVERIFY(!QFileInfo(folder.filePath("BoxingGame/data.txt")).isSymLink());
    QCOMPARE(folder.read("BoxingGame/data.txt"), QByteArray("8\r\n"));
    QCOMPARE(outside.snapshot(), outsideBefore);
    QCOMPARE(outside.read("elsewhere.txt"), QByteArray("not Trimbo's\n"));
}

// Two program folders whose diaries link to one file: the lock sits beside
// the file, so the second program cannot write it too.
void TestMainWindow::diaryLinkedFromTwoFoldersIsLockedOnce()
{
    RecordingResponder messages;
    TempProgramFolder first;
    TempProgramFolder second;
    const TempProgramFolder synced;
    layOut(first);
    writeSettings(second);
    synced.write("Bk_Trimbo.xls", newDiaryWorkbook("St_Trimbo"));
    for (const TempProgramFolder *folder : {&first, &second}) {
        QFile::remove(folder->filePath("Bk_Trimbo.xls"));
        QVERIFY(QFile::link(synced.filePath("Bk_Trimbo.xls"), folder->filePath("Bk_Trimbo.xls")));
    }
    TFrm_Main one(first.path());
    one.show();
    QVERIFY(QFileInfo::exists(synced.filePath("Bk_Trimbo.xls.lock")));
    QVERIFY(!QFileInfo::exists(first.filePath("Bk_Trimbo.xls.lock")));

    TFrm_Main other(second.path());
    other.show();
    QVERIFY(other.stopped());
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown.first().contains("別のトリンボ") && messages.shown.first().contains("tst_mainwindow"),
             qPrintable(messages.shown.first()));
    QVERIFY(one.diaryWritable());
}

// What a run that died leaves behind, a lock naming a process long gone, and
// lock files that name no one (a disk that filled while one was written).
void TestMainWindow::locksLeftBehindAreTakenOver_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("crashed run") << "2147483000\ntst_mainwindow\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\0\0\xff\xfe lock?", 10);
}

void TestMainWindow::locksLeftBehindAreTakenOver()
{
    QFETCH(QByteArray, lock);
    RecordingResponder messages;
    TempProgramFolder folder;
    layOut(folder);
    folder.write("Bk_Trimbo.xls.lock", lock);

    TFrm_Main window(folder.path());
    window.show();
    QVERIFY(!window.stopped());
    QVERIFY(messages.shown.isEmpty());
    QVERIFY(window.diaryWritable());
    QVERIFY(folder.read("Bk_Trimbo.xls.lock").startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
}

// A folder copied while Trimbo ran elsewhere: the user is told which
// computer holds the diary since when, and decides.
void TestMainWindow::lockFromAnotherComputerIsAskedAbout_data()
{
    QTest::addColumn<bool>("takeOver");
    QTest::newRow("taken over") << true;
    QTest::newRow("left alone") << false;
}

void TestMainWindow::lockFromAnotherComputerIsAskedAbout()
{
    QFETCH(bool, takeOver);
    RecordingResponder messages;
    messages.answers << takeOver;
    TempProgramFolder folder;
    layOut(folder);
    const QByteArray lock = "4242\nTrimbo\nkitchen-pc\n";
    folder.write("Bk_Trimbo.xls.lock", lock);

    TFrm_Main window(folder.path());
    window.show();
    QVERIFY(!window.stopped() && window.isVisible());
    QCOMPARE(messages.asked.size(), 1);
    const QString since = QFileInfo(folder.filePath("Bk_Trimbo.xls.lock")).lastModified().toString("yyyy/MM/dd HH:mm");
    QVERIFY2(messages.asked.first().contains("kitchen-pc") && messages.asked.first().contains(since)
                 && messages.asked.first().contains("引き継ぎますか"),
             qPrintable(messages.asked.first()));
    QCOMPARE(window.diaryWritable(), takeOver);
    if (takeOver) {
        QVERIFY(messages.shown.isEmpty());
        QVERIFY(folder.read("Bk_Trimbo.xls.lock").contains(QSysInfo::machineHostName().toUtf8()));
        return;
    }
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown.first().contains("kitchen-pc") && messages.shown.first().contains("保存はできません"),
             qPrintable(messages.shown.first()));
    QCOMPARE(folder.read("Bk_Trimbo.xls.lock"), lock);
    // A save asks again; left alone, nothing is written.
    const QByteArray before = folder.read("Bk_Trimbo.xls");
    QTest::mouseClick(control<QPushButton>(window, "BtBtn_Save_Today"), Qt::LeftButton);
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(messages.shown.size(), 2);
    QCOMPARE(folder.read("Bk_Trimbo.xls"), before);
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
