#include "datetext.h"
#include "entryrules.h"
#include "entrytab.h"
#include "helpers.h"
#include "independent.h"
#include "mainwindow.h"
#include "radiogroup.h"
#include "recordlistdialog.h"
#include "startup.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <sys/stat.h>

// The entry tab driven as a user drives it, in a program folder of its own
// with a real workbook: each control reaches the diary, each result the
// right message. The rules of a save are tested on the diary core.
class TestEntryTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { prepareApplication(); } // a camera's photo may take its memory
    void init()
    {
        m_messages = std::make_unique<RecordingResponder>();
        m_shell = std::make_unique<RecordingShell>();
        m_folder = std::make_unique<TempProgramFolder>();
        m_folder->layOut({}); // start() writes the settings
        m_folder->write("BoxingGame/Figurat.exe", "viewer");
    }
    void cleanup()
    {
        m_window.reset();
        m_messages.reset(); // before the next test's responder takes over
    }

    // Every field reaches the workbook as typed (full-width digits of a
    // Japanese keyboard too); the overwrite question and a refusal reach the
    // user, whose No and whose typing are kept.
    void valuesReachTheDiaryAndAnswersTheUser()
    {
        QVERIFY(saveDays(book(), {{"2010/01/25", "65", "20", 9, 0, "前の日", "", ""}}, false).saved);
        start();
        // The newest day's values, but not its comments: it is not today.
        QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("65"));
        QVERIFY(control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn")->toPlainText().isEmpty());
        QCOMPARE(control<QDateEdit>(*m_tab, "Dt_Enter_Day")->date(), QDate::currentDate());
        enter(QDate(2010, 1, 29), {}, {}, "朝はパン\n昼はうどん");
        typeText(control<QLineEdit>(*m_tab, "Edt_Weight"), "７８．５");
        typeText(control<QLineEdit>(*m_tab, "Edt_Fat"), "\u3000２１．３");
        control<RadioGroup>(*m_tab, "RdoGrp_Cal_In")->setItemIndex(2);
        control<RadioGroup>(*m_tab, "RdoGrp_Cal_Out")->setItemIndex(0);
        save();
        QVERIFY2(m_messages->shown.isEmpty() && m_messages->asked.isEmpty(), qPrintable(m_messages->shown.join('|')));
        const QStringList dump = xlrdDump(book());
        for (const char *written : {"1,1 type=2 value=78.5", "1,2 type=2 value=21.3", "1,3 type=2 value=2.0",
                                    "1,4 type=2 value=0.0", "1,5 type=1 value='朝はパン\\r\\n昼はうどん'"})
            QVERIFY2(!dump.filter(QString("St_Trimbo!") + written).isEmpty(), written);
        QCOMPARE(m_window->graph().weight.size(), 2); // redrawn

        const QByteArray before = m_folder->read("Bk_Trimbo.xls");
        control<QLineEdit>(*m_tab, "Edt_Weight")->setText("64");
        save({false});
        QCOMPARE(m_messages->asked,
                 QStringList{"選択された日のデータが存在します\r\n上書きしますか？\r\n\r\n2010/01/29"});
        control<QLineEdit>(*m_tab, "Edt_Weight")->setText("－１");
        save({true});
        QVERIFY2(only().startsWith("体重の値「-1」は使えません。"), qPrintable(only()));
        QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("－１"));
        QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);

        // A level the sheet holds outside 0 to 2 (9, typed in a spreadsheet)
        // shows as "多い", as the graph and the list count it, and is saved so.
        pickDay(*m_tab, QDate(2010, 1, 25));
        QCOMPARE(control<RadioGroup>(*m_tab, "RdoGrp_Cal_In")->itemIndex(), 2);
        save({true});
        QCOMPARE(cell(1, DiaryColumn::IntakeLevel), QString("2"));
        QCOMPARE(cell(2, DiaryColumn::Weight), QString("78.5"));
    }

    // Column H as another program or a hand in the sheet left it: a path out
    // of the photo folder, a link to an endless device, a pipe, a folder.
    // None is ever opened (a hang ends in QtTest's watchdog); each is named
    // once, at start-up, shows as no photo in the entry tab and the list,
    // and stays as it is when the day is saved again.
    void photoReferencesThatAreNoPhotoAreNamedOnceAndNeverRead()
    {
        const QString outside = writePicture("outside.bmp", {40, 30}, Qt::red, "BMP");
        const QByteArray outsideBytes = m_folder->read("outside.bmp");
        const auto inFolder = [this](int day) { return m_folder->filePath(QString("Picture/201001%1.bmp").arg(day)); };
        QVERIFY(::symlink("/dev/zero", QFile::encodeName(inFolder(24)).constData()) == 0);
        QVERIFY(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(inFolder(25)).constData()) == 0);
        QVERIFY(::mkfifo(QFile::encodeName(inFolder(26)).constData(), 0600) == 0);
        QVERIFY(QDir().mkpath(inFolder(27)));
        const QStringList references{"../outside.bmp", "../../../../../../../../dev/zero",
                                     "/etc/passwd",    "20100124.bmp",
                                     "20100125.bmp",   "20100126.bmp",
                                     "20100127.bmp"};
        std::vector<DayValues> days;
        for (int i = 0; i < references.size(); ++i)
            days.push_back({dateText(QDate(2010, 1, 21 + i)), "65", "20", 1, 1, "", "", references[i]});
        QVERIFY(saveDays(book(), days, false).saved);

        start();
        QVERIFY2(only().contains("写真なしとして表示します"), qPrintable(m_messages->shown.join('|')));
        RecordListDialog list(&m_window->core().diary(), QDate(2010, 1, 1), QDate(2010, 1, 31),
                              m_window->core().paths().PictureDir);
        list.DataToStrGrd(RecordListDialog::Pictures);
        for (int i = 0; i < references.size(); ++i) {
            QVERIFY2(only().contains(dateText(QDate(2010, 1, 21 + i)) + ": \"" + references[i] + "\""),
                     qPrintable(references[i]));
            QVERIFY2(list.photo(i).isNull(), qPrintable(references[i]));
            pickDay(*m_tab, QDate(2010, 1, 21 + i));
            QVERIFY2(!m_tab->hasPhoto(), qPrintable(references[i]));
            save({true});
            QCOMPARE(cell(i + 1, DiaryColumn::Photo), references[i]);
        }
        QCOMPARE(m_messages->shown.size(), 1);
        QCOMPARE(m_folder->read("outside.bmp"), outsideBytes);
        QVERIFY(QFileInfo(inFolder(24)).isSymLink() && QFileInfo(inFolder(25)).isSymLink());
        QVERIFY(QFileInfo::exists(inFolder(26)) && !QFileInfo(inFolder(26)).isFile()
                && QFileInfo(inFolder(27)).isDir());
    }

    void storedPhotoIsKeptUntilCleared_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("said"); // when the day is picked again
        QTest::newRow("whole") << QString() << QString();
        QTest::newRow("cut short on disk") << QString("cut") << QString("途中で切れています");
        QTest::newRow("its folder away") << QString("folder away") << QString("20100125.bmp");
    }
    // A day saved with its photo, picked again (after a start, for a whole
    // photo) once another day was shown with a picture of its own, and saved
    // again: the photo is kept as it is on disk, whatever the tab could show
    // of it; cleared on purpose, it goes.
    void storedPhotoIsKeptUntilCleared()
    {
        QFETCH(QString, damage);
        QFETCH(QString, said);
        const QString meal = writePicture("meal.bmp", {120, 90}, QColor(10, 150, 10), "BMP");
        const QString face = writePicture("face.ico", {32, 32}, Qt::red, "ICO");
        start();
        enter(QDate(2010, 1, 25), "65", "20");
        choosePicture(meal);
        save();
        const QString stored = m_folder->filePath("Picture/20100125.bmp");
        if (damage == "cut")
            m_folder->write("Picture/20100125.bmp", m_folder->read("Picture/20100125.bmp").chopped(500));
        if (damage == "folder away") // a drive not mounted, say
            QVERIFY(QDir().rename(m_folder->filePath("Picture"), m_folder->filePath("Picture.away")));
        const QByteArray kept = m_folder->read("Picture/20100125.bmp");
        if (damage.isEmpty())
            start();
        enter(QDate(2010, 1, 26), "64", "20");
        choosePicture(face);
        enter(QDate(2010, 1, 25), "64", "20");
        QCOMPARE(m_tab->hasPhoto(), damage.isEmpty());
        QVERIFY2(said.isEmpty() ? m_messages->shown.isEmpty() : only().contains(stored) && only().contains(said),
                 qPrintable(m_messages->shown.join('|')));
        save({true});
        QCOMPARE(cell(1, DiaryColumn::Weight), QString("64"));
        QCOMPARE(cell(1, DiaryColumn::Photo), QString("20100125.bmp"));
        QCOMPARE(m_folder->read("Picture/20100125.bmp"), kept);

        QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_PicClear"), Qt::LeftButton);
        save({true});
        QVERIFY(!QFileInfo::exists(stored) && cell(1, DiaryColumn::Photo).isEmpty());
    }

    // A picture that is chosen is either stored with the day exactly as
    // shown, or refused when it is chosen; never shown and then dropped at
    // the save. A camera's JPEG of 48 megapixels fits in the memory allowed.
    void pictureKinds()
    {
        start();
        const std::tuple<QString, const char *, QSize, bool> kinds[] = {{"meal.png", "PNG", {40, 30}, true},
                                                                        {"camera.jpg", "JPG", {8000, 6000}, true},
                                                                        {"meal.xpm", "XPM", {40, 30}, false}};
        int row = 0;
        for (const auto &[name, format, size, storable] : kinds) {
            const QDate day(2010, 1, 25 + row++);
            const QString path = writePicture(name, size, QColor(200, 40, 40), format);
            enter(day, "65", "20");
            choosePicture(path);
            QCOMPARE(m_tab->hasPhoto(), storable);
            save();
            const QImage stored(m_folder->filePath("Picture/" + photoName(day)), "BMP");
            QCOMPARE(stored.size(), storable ? size : QSize(0, 0)); // none stored
            QCOMPARE(cell(row, DiaryColumn::Photo), storable ? photoName(day) : QString());
            QVERIFY(!storable || qAbs(stored.pixelColor(20, 15).red() - 200) < 8); // JPEG is lossy
            QVERIFY2(storable ? m_messages->shown.isEmpty()
                              : only() == problemText(PictureProblem(PictureError::NotStorable, path)),
                     qPrintable(m_messages->shown.join('|')));
        }
    }

    // At a start the tab shows the newest day's values, with its comments
    // when it is today; the viewer is asked for when a save changes the
    // level from the start's.
    void startUpShowsTheNewestDayAndTheViewerFollows()
    {
        start();
        QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("0"));
        QVERIFY(!control<QDateEdit>(*m_tab, "Dt_Enter_Day")->isEnabled());
        enter(QDate::currentDate(), "75.5", "25", "今日");
        save();
        QCOMPARE(m_shell->opened.size() + m_shell->started.size(), 1);
        start();
        QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("75.5"));
        QCOMPARE(control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn")->toPlainText(), QString("今日"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    // A day picked with the mouse, with the keyboard in the calendar, or
    // typed into the picker: the tab shows that day's values, so that saving
    // it writes what is on screen.
    void tabFollowsTheDayHoweverChosen()
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
        auto *comment = control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn");
        const auto typeDay = [picker](const char *day) {
            picker->setFocus(Qt::TabFocusReason);
            picker->setSelectedSection(QDateTimeEdit::DaySection);
            QTest::keyClicks(picker, day);
        };
        typeDay("10");
        QTest::keyClick(picker, Qt::Key_Return);
        QCOMPARE(comment->toPlainText(), QString("十日"));
        QVERIFY(m_tab->hasPhoto());
        typeDay("11");
        QTest::keyClick(picker, Qt::Key_Tab);
        QCOMPARE(control<QLineEdit>(*m_tab, "Edt_Weight")->text(), QString("74"));
        QVERIFY(!m_tab->hasPhoto());

        // Chosen with the keyboard in the calendar: a day back, then Enter.
        picker->calendarWidget()->setSelectedDate(QDate(2010, 1, 11));
        auto *days = picker->calendarWidget()->findChild<QTableView *>();
        QTest::keyClick(days, Qt::Key_Left);
        QTest::keyClick(days, Qt::Key_Return);
        QCoreApplication::processEvents();
        QCOMPARE(comment->toPlainText(), QString("十日"));

        // A day typed and saved at once is saved with its own values, and
        // without the photo of the day shown before.
        typeDay("11");
        save({true});
        QVERIFY(!m_messages->asked.isEmpty());
        QCOMPARE(m_messages->asked.last(), overwriteQuestion(QDate(2010, 1, 11)));
        QCOMPARE(cell(2, DiaryColumn::Weight), QString("74"));
        QCOMPARE(cell(2, DiaryColumn::IntakeComment), QString("十一日"));
        QVERIFY(!QFileInfo::exists(m_folder->filePath("Picture/20100111.bmp")));
        QCOMPARE(QImage(m_folder->filePath("Picture/20100110.bmp"), "BMP").size(), QSize(64, 48));
    }

private:
    void start()
    {
        m_window.reset();
        m_folder->write("Trimbo.ini",
                        "[Graph]\r\nWUpper=90\r\nWDown=50\r\nGraphVis=0\r\nStartD=2010/01/01\r\n"
                        "EndD=2010/01/31\r\nBckGrnd=1\r\nTrimboVis=0\r\n[Establish]\r\nDStartW=80\r\nGoalW=70\r\n");
        m_window = std::make_unique<MainWindow>(m_folder->path(), m_shell.get());
        m_window->show();
        m_tab = control<EntryTab>(*m_window, "Tab_Enter");
    }
    void enter(QDate day, const QString &weight, const QString &fat, const QString &comment = QString())
    {
        pickDay(*m_tab, day);
        control<QLineEdit>(*m_tab, "Edt_Weight")->setText(weight);
        control<QLineEdit>(*m_tab, "Edt_Fat")->setText(fat);
        control<QPlainTextEdit>(*m_tab, "RcEdt_ComeIn")->setPlainText(comment);
    }
    void save(QList<bool> answers = {})
    {
        m_messages->answers = answers;
        QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Today"), Qt::LeftButton);
    }
    // A picture of one colour in the program folder, to be chosen as a photo.
    QString writePicture(const QString &name, QSize size, const QColor &colour, const char *format) const
    {
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(colour);
        if (!picture.save(m_folder->filePath(name), format))
            qFatal("cannot write a picture");
        return m_folder->filePath(name);
    }
    // The picture button, with the file dialog answered by path.
    void choosePicture(const QString &path)
    {
        m_tab->setPictureChooser([path] { return path; });
        QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_PicSel"), Qt::LeftButton);
    }
    QString cell(int row, DiaryColumn column) const { return m_window->core().diary().cell(row, column).toText(); }
    QString book() const { return m_folder->filePath("Bk_Trimbo.xls"); }
    QString only() const { return m_messages->shown.size() == 1 ? m_messages->shown.first() : QString(); }

    std::unique_ptr<RecordingResponder> m_messages;
    std::unique_ptr<RecordingShell> m_shell;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
    EntryTab *m_tab = nullptr;
};

QTEST_MAIN(TestEntryTab)
#include "tst_entrytab.moc"
