#include "helpers.h"
#include "startup.h"
#include "tfrm_establishment.h"
#include "tfrm_main.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

// Qt's own words and calendars, as the program sets them up at start-up.
class TestJapanese : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { prepareApplication(); }
    void questionButtons();
    void fileDialog();
    void calendarsOfEveryWindow();
};

void TestJapanese::questionButtons()
{
    QMessageBox question(QMessageBox::Question, QString(), QStringLiteral("上書きしますか？"),
                         QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text(), QString("はい(&Y)"));
    QCOMPARE(question.button(QMessageBox::No)->text(), QString("いいえ(&N)"));
    QMessageBox information(QMessageBox::Information, QString(), QStringLiteral("保存しました。"), QMessageBox::Ok);
    QCOMPARE(information.button(QMessageBox::Ok)->text(), QString("OK"));
}

void TestJapanese::fileDialog()
{
    QFileDialog dialog(nullptr, QStringLiteral("写真選択"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QCOMPARE(control<QLabel>(dialog, "fileNameLabel")->text(), QString("ファイル名(&N):"));
    QCOMPARE(control<QLabel>(dialog, "fileTypeLabel")->text(), QString("ファイルの種類:"));
    const QDialogButtonBox *buttons = control<QDialogButtonBox>(dialog, "buttonBox");
    QCOMPARE(buttons->button(QDialogButtonBox::Cancel)->text(), QString("キャンセル"));
}

// Every date picker of every window: weekdays 日 月 火 …, Sunday first,
// the month in Japanese and the year as a plain number.
void TestJapanese::calendarsOfEveryWindow()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    folder.layOut("[Graph]\r\nStartD=2026/11/01\r\nEndD=2026/11/30\r\nBckGrnd=1\r\n[Establish]\r\nDStartD=2026/11/01\r\n");
    TFrm_Main main(folder.path());
    main.show();
    TFrm_Establishment setup({"2026/11/01", "80", "25", "70", "20", 0, 0}, [](const EstablishSettings &) { return true; });
    setup.show();
    QList<QDateEdit *> pickers = main.findChildren<QDateEdit *>() + setup.findChildren<QDateEdit *>();
    QCOMPARE(pickers.size(), 4);
    for (QDateEdit *picker : pickers) {
        picker->setDate(QDate(2026, 11, 1));
        QCalendarWidget *calendar = picker->calendarWidget();
        calendar->setSelectedDate(QDate(2026, 11, 1));
        calendar->show();
        const QString name = picker->objectName();
        QVERIFY2(calendar->firstDayOfWeek() == Qt::Sunday, qPrintable(name));
        const QAbstractItemModel *days = calendar->findChild<QTableView *>()->model();
        QStringList weekdays;
        for (int column = 0; column < 7; ++column)
            weekdays << days->data(days->index(0, column)).toString();
        QCOMPARE(weekdays, QStringList({"日", "月", "火", "水", "木", "金", "土"}));
        // 1 November 2026 is a Sunday: the first column, in the second week shown.
        QCOMPARE(days->data(days->index(2, 0)).toString(), QString("1"));
        QCOMPARE(days->data(days->index(2, 6)).toString(), QString("7"));
        QCOMPARE(calendar->findChild<QToolButton *>("qt_calendar_monthbutton")->text(), QString("11月"));
        QCOMPARE(calendar->findChild<QToolButton *>("qt_calendar_yearbutton")->text(), QString("2026年"));
        QCOMPARE(picker->text(), QString("2026/11/01")); // the date itself keeps the diary's form
    }
}

QTEST_MAIN(TestJapanese)
#include "tst_japanese.moc"
