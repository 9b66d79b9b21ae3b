#include "datetext.h"
#include "diarybook.h"
#include "entryrules.h"
#include "entrytab.h"
#include "helpers.h"
#include "independent.h"
#include "photostore.h"
#include "radiogroup.h"
#include "startup.h"
#include "mainwindow.h"

#include "recordlistdialog.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <condition_variable>
#include <sys/stat.h>
#include <thread>

namespace {

// Ends the test program when a step hangs: a read blocked on a pipe cannot
// be interrupted from the event loop, so a thread of its own keeps the time.
class HangGuard
{
public:
    explicit HangGuard(std::chrono::seconds limit)
        : m_thread([this, limit] {
              std::unique_lock lock(m_mutex);
              if (!m_done.wait_for(lock, limit, [this] { return m_finished; }))
                  qFatal("hung for %lld s", static_cast<long long>(limit.count()));
          })
    {}
    ~HangGuard()
    {
        {
            std::lock_guard lock(m_mutex);
            m_finished = true;
        }
        m_done.notify_one();
        m_thread.join();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace

// The entry tab driven as a user drives it, in a program folder of its own
// with a real workbook.
class TestEntryTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void newDayThenTheOverwriteQuestion();
    void valuesOutOfReachAreRefused();
    void levelOutsideTheThreeShowsAsMuch();
    void photoReferencesThatAreNoPhotoAreNamedOnceAndNeverRead_data();
    void photoReferencesThatAreNoPhotoAreNamedOnceAndNeverRead();
    void storedPhotoSurvivesAResave();
    void unreadableStoredPhotoIsKept();
    void chosenPictureStaysWithItsDay();
    void photoOfAFolderGoneIsKept();
    void largeCameraPhotoIsSaved();
    void viewerOnlyWhenTheLevelChanges();
    void startUpShowsTheNewestDay();
    void numberFormatsOfGnumericShowAsNumbers();
    void tabFollowsTheDayHoweverChosen();
    void pictureKinds_data();
    void pictureKinds();
    void keyboardOrder();
    void fullWidthNumbersAreSaved();

private:
    void start(const QByteArray &establish = "DStartW=80\r\nGoalW=70\r\n", int trimboVis = 0);
    void enter(QDate day, const QString &weight, const QString &fat, const QString &comment = QString());
    void save() { QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Today"), Qt::LeftButton); }
    // A picture of one colour in the program folder, to be chosen as a photo.
    QString writePicture(const QString &name, QSize size, const QColor &colour, const char *format) const;
    // The picture button, with the file dialog answered by path.
    void choosePicture(const QString &path);
    QString book() const { return m_folder->filePath("Bk_Trimbo.xls"); }

    std::unique_ptr<RecordingResponder> m_messages;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
    EntryTab *m_tab = nullptr;
};

void TestEntryTab::init()
{
    m_messages = std::make_unique<RecordingResponder>();
    m_shell = std::make_unique<RecordingShell>();
    m_folder = std::make_unique<TempProgramFolder>();
    m_folder->layOut({}); // each test's start() writes its settings
    m_folder->write("BoxingGame/Figurat.exe", "viewer");
}

void TestEntryTab::cleanup()
{
    m_window.reset();
    m_messages.reset();
}

void TestEntryTab::start(const QByteArray &establish, int trimboVis)
{
    m_window.reset();
    m_folder->write("Trimbo.ini", "[Graph]\r\nWUpper=90\r\nWDown=50\r\nFUpper=40\r\nFDown=10\r\nGraphVis=0\r\n"
                                  "StartD=2010/01/01\r\nEndD=2010/01/31\r\nLineClW=255\r\nLineClF=16711680\r\n"
                                  "BckGrnd=1\r\nTrimboVis="
                                      + QByteArray::number(trimboVis) + "\r\n[Establish]\r\n" + establish);
    m_window = std::make_unique<MainWindow>(m_folder->path(), m_shell.get());
    m_window->show();
    m_tab = control<EntryTab>(*m_window, "Tab_Enter");
}

QString TestEntryTab::writePicture(const QString &name, QSize size, const QColor &colour, const char *format) const
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    if (!picture.save(m_folder->filePath(name), format))
        qFatal("cannot write a picture");
    return m_folder->filePath(name);
}

void TestEntryTab::choosePicture(const QString &path)
{
    m_tab->setPictureChooser([path] { return path; });
    QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_PicSel"), Qt::LeftButton);
}

void TestEntryTab::enter(QDate day, const QString &weight, const QString &fat, const QString &comment)
{
    pickDay(*m_tab, day);
    control<QLineEdit>(*m_tab, "Edt_Weight")->setText(weight);
    control<QLineEdit>(*m_tab, "Edt_Fat")->setText(fat);
    control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn")->setPlainText(comment);
}

void TestEntryTab::newDayThenTheOverwriteQuestion()
{
    start();
    enter(QDate(2010, 1, 29), "65.5", "21.3", "朝はパン\n昼はうどん");
    control<RadioGroup>(*m_tab, "RdoGrp_Cal_In")->setItemIndex(2);
    save();
    QVERIFY(m_messages->asked.isEmpty());
    QVERIFY(m_messages->shown.isEmpty());
    const QStringList dump = xlrdDump(book());
    QVERIFY(dump.contains("St_Trimbo!0,0 type=3 value=(2010, 1, 29) format='yyyy/mm/dd'"));
    QVERIFY(dump.contains("St_Trimbo!0,1 type=2 value=65.5 format='General'"));
    QVERIFY(dump.contains("St_Trimbo!0,3 type=2 value=2.0 format='General'"));
    QVERIFY(dump.contains("St_Trimbo!0,5 type=1 value='朝はパン\\r\\n昼はうどん' format='General'"));
    QCOMPARE(m_window->core().diary().FirstEmptyRow(), 2);
    QCOMPARE(m_window->graph().weight.size(), 1); // redrawn

    // The same day again: the question, and No changes nothing.
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    control<QLineEdit>(*m_tab, "Edt_Weight")->setText("64");
    m_messages->answers = {false};
    save();
    QCOMPARE(m_messages->asked, QStringList{"選択された日のデータが存在します\r\n上書きしますか？\r\n\r\n2010/01/29"});
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("65.5"));
}

// A value the diary refuses reaches the user, and the tab keeps what was typed.
void TestEntryTab::valuesOutOfReachAreRefused()
{
    start();
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    enter(QDate(2010, 1, 21), "sixty", "22");
    save();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown.first().startsWith("体重の値「sixty」は数値ではありません。"),
             qPrintable(m_messages->shown.first()));
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("sixty"));
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
}

// A level the sheet holds outside 0 to 2 (9, typed in a spreadsheet) shows
// as "多い", as the graph and the list count it, and is saved as 2.
void TestEntryTab::levelOutsideTheThreeShowsAsMuch()
{
    QVERIFY(saveDays(book(), {{"2010/01/25", "65", "20", 9, 0, "", "", ""}}, false).saved);
    start();
    QCOMPARE(m_window->core().diary().cell(1, ColIntakeLevel).toText(), QString("9"));
    pickDay(*m_tab, QDate(2010, 1, 25));
    QCOMPARE(control<RadioGroup>(*m_tab, "RdoGrp_Cal_In")->itemIndex(), 2);
    QCOMPARE(control<RadioGroup>(*m_tab, "RdoGrp_Cal_Out")->itemIndex(), 0);
    m_messages->answers = {true};
    save();
    QCOMPARE(m_window->core().diary().cell(1, ColIntakeLevel).toText(), QString("2"));
    QCOMPARE(m_window->core().diary().cell(1, ColBurnLevel).toText(), QString("0"));
}

// Column H as another program or a hand in the sheet left it: a path out of
// the photo folder, a link to an endless device, a pipe, a folder. None is
// ever opened; each is named once, at start-up, shows as no photo in the
// entry tab and the list, and stays as it is when the day is saved again.
void TestEntryTab::photoReferencesThatAreNoPhotoAreNamedOnceAndNeverRead_data()
{
    QTest::addColumn<QString>("reference");
    QTest::addColumn<QString>("kind"); // what Picture/20100125.bmp is made as, if anything
    QTest::newRow("a path out of the folder") << "../outside.bmp"
                                              << "";
    QTest::newRow("a path down to /dev/zero") << "../../../../../../../../dev/zero"
                                              << "";
    QTest::newRow("an absolute path") << "/etc/passwd"
                                      << "";
    QTest::newRow("a link to /dev/zero") << "20100125.bmp"
                                         << "link to /dev/zero";
    QTest::newRow("a link to a picture outside") << "20100125.bmp"
                                                 << "link outside";
    QTest::newRow("a FIFO") << "20100125.bmp"
                            << "fifo";
    QTest::newRow("a folder") << "20100125.bmp"
                              << "folder";
}

void TestEntryTab::photoReferencesThatAreNoPhotoAreNamedOnceAndNeverRead()
{
    QFETCH(QString, reference);
    QFETCH(QString, kind);
    const QString outside = writePicture("outside.bmp", {40, 30}, Qt::red, "BMP");
    const QByteArray outsideBytes = m_folder->read("outside.bmp");
    const QByteArray inFolder = QFile::encodeName(m_folder->filePath("Picture/20100125.bmp"));
    if (kind == "link to /dev/zero")
        QVERIFY(::symlink("/dev/zero", inFolder.constData()) == 0);
    else if (kind == "link outside")
        QVERIFY(::symlink(QFile::encodeName(outside).constData(), inFolder.constData()) == 0);
    else if (kind == "fifo")
        QVERIFY(::mkfifo(inFolder.constData(), 0600) == 0);
    else if (kind == "folder")
        QVERIFY(QDir().mkpath(m_folder->filePath("Picture/20100125.bmp")));
    QVERIFY(saveDays(book(), {{"2010/01/25", "65", "20", 1, 1, "", "", reference}}, false).saved);

    const HangGuard guard(std::chrono::seconds(60));
    start();
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown.first().contains("2010/01/25: \"" + reference + "\"")
                 && m_messages->shown.first().contains("写真なしとして表示します"),
             qPrintable(m_messages->shown.first()));
    pickDay(*m_tab, QDate(2010, 1, 25));
    QVERIFY(!m_tab->hasPhoto());
    RecordListDialog list(&m_window->core().diary(), QDate(2010, 1, 1), QDate(2010, 1, 31),
                          m_window->core().paths().PictureDir);
    list.DataToStrGrd(RecordListDialog::Pictures);
    QVERIFY(list.photo(0).isNull());
    QCOMPARE(m_messages->shown.size(), 1);

    m_messages->answers = {true};
    save();
    QCOMPARE(m_messages->shown.size(), 1);
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("65"));
    QCOMPARE(m_window->core().diary().cell(1, ColPhoto).toText(), reference);
    QCOMPARE(m_folder->read("outside.bmp"), outsideBytes);
    const QFileInfo left(m_folder->filePath("Picture/20100125.bmp"));
    QCOMPARE(left.isSymLink(), kind.startsWith("link"));
    QCOMPARE(left.isDir(), kind == "folder");
}

void TestEntryTab::storedPhotoSurvivesAResave()
{
    const QString meal = writePicture("meal.bmp", {120, 90}, QColor(10, 150, 10), "BMP");
    start();
    enter(QDate::currentDate(), "65", "20");
    choosePicture(meal);
    save();
    const QString stored = m_folder->filePath("Picture/" + photoName(QDate::currentDate()));
    QVERIFY(QFileInfo::exists(stored));

    // Started again: today's row comes with its photo, and saving it keeps it.
    start();
    QVERIFY(m_tab->hasPhoto());
    m_messages->answers = {true};
    save();
    QCOMPARE(QImage(stored, "BMP").size(), QSize(120, 90));
    QCOMPARE(m_window->core().diary().cell(1, ColPhoto).toText(), photoName(QDate::currentDate()));
}

void TestEntryTab::unreadableStoredPhotoIsKept()
{
    const QString meal = writePicture("meal.bmp", {120, 90}, QColor(10, 150, 10), "BMP");
    start();
    enter(QDate(2010, 1, 25), "65", "20");
    choosePicture(meal);
    save();
    // The stored photo is cut short on disk (a copy that broke off, say).
    const QString stored = m_folder->filePath("Picture/20100125.bmp");
    const QByteArray cut = m_folder->read("Picture/20100125.bmp").chopped(500);
    m_folder->write("Picture/20100125.bmp", cut);

    enter(QDate(2010, 1, 25), "64", "20");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown.first().contains(stored) && m_messages->shown.first().contains("途中で切れています"),
             qPrintable(m_messages->shown.first()));
    QVERIFY(!m_tab->hasPhoto());
    m_messages->answers = {true};
    save();
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("64"));
    QCOMPARE(m_folder->read("Picture/20100125.bmp"), cut);
    QCOMPARE(m_window->core().diary().cell(1, ColPhoto).toText(), QString("20100125.bmp"));

    // Cleared on purpose, it goes.
    QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_PicClear"), Qt::LeftButton);
    m_messages->answers = {true};
    save();
    QVERIFY(!QFileInfo::exists(stored));
    QVERIFY(m_window->core().diary().cell(1, ColPhoto).isEmpty());
}

void TestEntryTab::chosenPictureStaysWithItsDay()
{
    const QString meal = writePicture("meal.bmp", {120, 90}, QColor(10, 150, 10), "BMP");
    const QString face = writePicture("face.ico", {32, 32}, Qt::red, "ICO");
    start();
    enter(QDate(2010, 1, 25), "65", "20");
    choosePicture(meal);
    save();
    // An icon chosen for another day, then that day left unsaved for the 25th.
    enter(QDate(2010, 1, 26), "64", "20");
    choosePicture(face);
    enter(QDate(2010, 1, 25), "64.5", "20");
    m_messages->answers = {true};
    save();
    const QImage stored(m_folder->filePath("Picture/20100125.bmp"), "BMP");
    QCOMPARE(stored.size(), QSize(120, 90));
    QCOMPARE(stored.pixelColor(60, 45), QColor(10, 150, 10));
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("64.5"));
}

void TestEntryTab::photoOfAFolderGoneIsKept()
{
    const QString meal = writePicture("meal.bmp", {64, 48}, Qt::yellow, "BMP");
    start();
    enter(QDate(2010, 1, 25), "65", "20");
    choosePicture(meal);
    save();
    // The photo folder is away (a drive not mounted, say): the day keeps its photo.
    QVERIFY(QDir().rename(m_folder->filePath("Picture"), m_folder->filePath("Picture.away")));
    enter(QDate(2010, 1, 25), "64", "20");
    QCOMPARE(m_messages->shown.size(), 1);
    QVERIFY2(m_messages->shown.first().contains(m_folder->filePath("Picture/20100125.bmp")),
             qPrintable(m_messages->shown.first()));
    m_messages->answers = {true};
    save();
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("64"));
    QCOMPARE(m_window->core().diary().cell(1, ColPhoto).toText(), QString("20100125.bmp"));
}

// A camera's photo of 48 megapixels is taken as a day photo when its bitmap
// fits in the photo folder.
void TestEntryTab::largeCameraPhotoIsSaved()
{
    prepareApplication();
    const QString photo = writePicture("camera.jpg", {8000, 6000}, Qt::darkGreen, "JPEG");
    start();
    enter(QDate(2010, 1, 21), "65", "22");
    choosePicture(photo);
    save();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join("|")));
    QCOMPARE(m_window->core().diary().cell(1, ColPhoto).toText(), QString("20100121.bmp"));
    QCOMPARE(QFileInfo(m_folder->filePath("Picture/20100121.bmp")).size(), photoFileSize({8000, 6000}));
}

// The core's request to start the viewer reaches the desktop.
void TestEntryTab::viewerOnlyWhenTheLevelChanges()
{
    start("DStartW=80\r\nGoalW=70\r\n", 1); // 非表示: never started
    enter(QDate(2010, 1, 10), "75", "20");
    save();
    QCOMPARE(m_folder->read("BoxingGame/data.txt"), QByteArray("5\r\n"));
    QVERIFY(m_shell->started.isEmpty() && m_shell->opened.isEmpty());

    start(); // 表示; the newest day (75 kg) is level 5 at start-up
    QCOMPARE(m_window->core().startLevel(), 5);
    enter(QDate(2010, 1, 11), "75.5", "20");
    save();
    QCOMPARE(m_shell->opened.size() + m_shell->started.size(), 1);
    QVERIFY(m_messages->shown.isEmpty());
}

void TestEntryTab::startUpShowsTheNewestDay()
{
    start();
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("0"));
    QCOMPARE(control<RadioGroup>(*m_tab, "RdoGrp_Cal_In")->itemIndex(), 1);
    QVERIFY(!control<QDateEdit>(*m_tab, "Dt_Enter_Day")->isEnabled());

    enter(QDate::currentDate().addDays(-1), "70", "25", "昨日");
    save();
    start();
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("70"));
    QVERIFY(control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn")->toPlainText().isEmpty()); // not today's row
    QCOMPARE(control<QDateEdit>(*m_tab, "Dt_Enter_Day")->date(), QDate::currentDate());

    enter(QDate::currentDate(), "69.5", "25", "今日");
    control<RadioGroup>(*m_tab, "RdoGrp_Cal_Out")->setItemIndex(0);
    save();
    start();
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("69.5"));
    QCOMPARE(control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn")->toPlainText(), QString("今日"));
    QCOMPARE(control<RadioGroup>(*m_tab, "RdoGrp_Cal_Out")->itemIndex(), 0);
}

// A diary whose columns B to E were given number formats of their own in
// Gnumeric: the weights are weights on the tab and in the graph.
void TestEntryTab::numberFormatsOfGnumericShowAsNumbers()
{
    writeGnumericDiaryWithCustomFormats(book());
    start();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join(u'\n')));
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("74")); // the newest day
    pickDay(*m_tab, QDate(2010, 1, 10));
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("74.5"));
    QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Fat")->text(), QString("20.25"));
    QCOMPARE(control<RadioGroup>(*m_tab, "RdoGrp_Cal_Out")->itemIndex(), 2);
    QCOMPARE(m_window->graph().weight.size(), 2);

    enter(QDate(2010, 1, 12), "73.5", "20");
    save();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join(u'\n')));
    start();
    QCOMPARE(m_window->graph().weight.size(), 3);
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("74.5"));
}

// A day picked with the mouse, with the keyboard in the calendar, or typed
// into the picker: the tab shows that day's values, so that saving it
// writes what is on screen.
void TestEntryTab::tabFollowsTheDayHoweverChosen()
{
    const QString meal = writePicture("meal.bmp", {64, 48}, Qt::yellow, "BMP");
    start();
    enter(QDate(2010, 1, 10), "75", "20", "十日");
    choosePicture(meal);
    save();
    enter(QDate(2010, 1, 11), "74", "21", "十一日");
    save();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    auto *picker = control<QDateEdit>(*m_tab, "Dt_Enter_Day");
    auto *weight = control<QLineEdit>(*m_tab, "Edt_Weight");
    auto *comment = control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn");

    // The day typed, then Enter.
    picker->setFocus(Qt::TabFocusReason);
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(picker, "10");
    QTest::keyClick(picker, Qt::Key_Return);
    QCOMPARE(picker->date(), QDate(2010, 1, 10));
    QCOMPARE(weight->text(), QString("75"));
    QCOMPARE(comment->toPlainText(), QString("十日"));
    QVERIFY(m_tab->hasPhoto());

    // Typed, then left with Tab.
    picker->setFocus(Qt::TabFocusReason);
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(picker, "11");
    QTest::keyClick(picker, Qt::Key_Tab);
    QCOMPARE(weight->text(), QString("74"));
    QCOMPARE(comment->toPlainText(), QString("十一日"));
    QVERIFY(!m_tab->hasPhoto());

    // Chosen with the keyboard in the calendar: a day on, then Enter.
    QCalendarWidget *calendar = picker->calendarWidget();
    calendar->setSelectedDate(QDate(2010, 1, 11));
    auto *days = calendar->findChild<QTableView *>();
    QTest::keyClick(days, Qt::Key_Left);
    QTest::keyClick(days, Qt::Key_Return);
    QCoreApplication::processEvents();
    QCOMPARE(picker->date(), QDate(2010, 1, 10));
    QCOMPARE(comment->toPlainText(), QString("十日"));

    // Saving the typed day keeps its own values and its photo.
    picker->setFocus(Qt::TabFocusReason);
    picker->setSelectedSection(QDateTimeEdit::DaySection);
    QTest::keyClicks(picker, "10");
    m_messages->answers = {true};
    save();
    QCOMPARE(m_messages->asked.last(), overwriteQuestion(QDate(2010, 1, 10)));
    QCOMPARE(m_window->core().diary().cell(1, ColWeight).toText(), QString("75"));
    QCOMPARE(m_window->core().diary().cell(1, ColIntakeComment).toText(), QString("十日"));
    QCOMPARE(QImage(m_folder->filePath("Picture/20100110.bmp"), "BMP").size(), QSize(64, 48));
}

void TestEntryTab::pictureKinds_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<bool>("storable");
    QTest::newRow("PNG") << "meal.png" << QByteArray("PNG") << true;
    QTest::newRow("PNG, upper case") << "MEAL.PNG" << QByteArray("PNG") << true;
    QTest::newRow("JPEG") << "meal.jpeg" << QByteArray("JPG") << true;
    QTest::newRow("bitmap") << "meal.bmp" << QByteArray("BMP") << true;
    QTest::newRow("PPM, which Qt reads") << "meal.ppm" << QByteArray("PPM") << false;
    QTest::newRow("XPM, which Qt reads") << "meal.xpm" << QByteArray("XPM") << false;
}

// A picture that is chosen is either stored with the day exactly as shown,
// or refused when it is chosen; never shown and then dropped at the save.
void TestEntryTab::pictureKinds()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(bool, storable);
    const QString path = writePicture(name, {40, 30}, QColor(200, 40, 40), format.constData());
    start();
    enter(QDate(2010, 1, 25), "65", "20");
    choosePicture(path);
    QCOMPARE(m_tab->hasPhoto(), storable);
    save();
    const QImage stored(m_folder->filePath("Picture/20100125.bmp"), "BMP");
    if (storable) {
        QVERIFY(m_messages->shown.isEmpty());
        QCOMPARE(stored.size(), QSize(40, 30));
        QVERIFY(qAbs(stored.pixelColor(20, 15).red() - 200) < 8); // JPEG is lossy
        QCOMPARE(m_window->core().diary().cell(1, ColPhoto).toText(), QString("20100125.bmp"));
    } else {
        QCOMPARE(m_messages->shown.size(), 1);
        QVERIFY2(m_messages->shown.first().contains(path) && m_messages->shown.first().contains("保存できません"),
                 qPrintable(m_messages->shown.first()));
        QVERIFY(stored.isNull());
        QVERIFY(m_window->core().diary().cell(1, ColPhoto).isEmpty());
    }
}

void TestEntryTab::keyboardOrder()
{
    start();
    pickDay(*m_tab, QDate(2010, 1, 5)); // the day picker takes part only when enabled
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    control<QLineEdit>(*m_tab, "Edt_Weight")->setFocus(Qt::TabFocusReason);
    QStringList order{focusName()};
    for (int i = 0; i < 10; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << focusName();
    }
    QCOMPARE(order,
             QStringList({"Edt_Weight", "Edt_Fat", "RcEdt_ComeIn", "RcEdt_ComeOut", "RdoGrp_Day", "RdoGrp_Cal_In",
                          "RdoGrp_Cal_Out", "BtBtn_Save_Today", "Dt_Enter_Day", "BtBtn_PicSel", "BtBtn_PicClear"}));
}

// Typed on a Japanese keyboard: the input method hands over full-width
// digits, point and minus.
void TestEntryTab::fullWidthNumbersAreSaved()
{
    start();
    enter(QDate(2010, 1, 29), {}, {});
    typeText(control<QLineEdit>(*m_tab, "Edt_Weight"), "７８．５");
    typeText(control<QLineEdit>(*m_tab, "Edt_Fat"), "\u3000２１．３");
    save();
    QVERIFY2(m_messages->shown.isEmpty(), qPrintable(m_messages->shown.join('\n')));
    const QStringList dump = xlrdDump(book());
    QVERIFY(dump.contains("St_Trimbo!0,1 type=2 value=78.5 format='General'"));
    QVERIFY(dump.contains("St_Trimbo!0,2 type=2 value=21.3 format='General'"));

    control<QLineEdit>(*m_tab, "Edt_Weight")->setText("－１");
    save();
    QVERIFY2(m_messages->shown.value(0).startsWith("体重の値「-1」は使えません。"),
             qPrintable(m_messages->shown.value(0)));
}

QTEST_MAIN(TestEntryTab)
#include "tst_entrytab.moc"
