#include "entrytab.h"
#include "helpers.h"
#include "independent.h"
#include "mainwindow.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QTest>

namespace {

void click(const QWidget &window, const char *button)
{
    QTest::mouseClick(control<QPushButton>(window, button), Qt::LeftButton);
}

} // namespace

// The whole program as a user meets it: a diary kept in another spreadsheet
// program, days recorded with a photo, and everything found again at the
// next start. (Each tab and dialog is tested on its own.)
class TestEndToEnd : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aUsersSession();
};

void TestEndToEnd::aUsersSession()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    QProcess layout;
    layout.start("bash", {QStringLiteral(TRIMBO_SOURCE_DIR "/tools/layout.sh"), QStringLiteral(TRIMBO_BUILD_DIR),
                          folder.path()});
    QVERIFY(layout.waitForFinished(60000) && layout.exitCode() == 0);

    // The diary as another spreadsheet program left it, with a second sheet.
    const QString book = folder.filePath("Bk_Trimbo.xls");
    writeWithGnumeric(
        {{"St_Trimbo",
          {{0, 0, GnumericCell::Date, "40188"},
           {0, 1, GnumericCell::Number, "66.2"},
           {0, 5, GnumericCell::Text, "朝はパン\n夜は鍋"},
           {1, 0, GnumericCell::Date, "40198"},
           {1, 1, GnumericCell::Number, "65.8"},
           {1, 2, GnumericCell::Number, "24.1"},
           {1, 6, GnumericCell::Text, "歩いた"}}},
         {"体重メモ", {{0, 0, GnumericCell::Text, "目標まであと少し"}, {0, 1, GnumericCell::Formula, "=2*21"}}}},
        0, book);
    const QStringList otherSheet = xlrdDump(book).filter("体重メモ");
    QVERIFY(!otherSheet.isEmpty());
    QImage meal(400, 300, QImage::Format_RGB32);
    meal.fill(QColor(230, 160, 60));
    QVERIFY(meal.save(folder.filePath("meal.jpg"), "JPG"));

    auto window = std::make_unique<MainWindow>(folder.path());
    window->show();
    auto *tab = control<EntryTab>(*window, "Tab_Enter");
    QCOMPARE(control<QLineEdit>(*tab, "Edt_Weight")->text(), QString("65.8")); // the newest day

    const auto enter = [&](QDate day, const QString &weight, const QString &comment) {
        pickDay(*tab, day);
        control<QLineEdit>(*tab, "Edt_Weight")->setText(weight);
        control<QPlainTextEdit>(*tab, "RcEdt_ComeIn")->setPlainText(comment);
    };
    // A new day with a photo, and a recorded day twice.
    tab->setPictureChooser([&] { return folder.filePath("meal.jpg"); });
    enter(QDate(2010, 1, 25), "65.1", "写真の日");
    click(*tab, "BtBtn_PicSel");
    click(*tab, "BtBtn_Save_Today");
    messages.answers = {false, true};
    enter(QDate(2010, 1, 20), "65.5", "書き直し");
    click(*tab, "BtBtn_Save_Today");
    QCOMPARE(window->core().diary().cell(2, DiaryColumn::Weight).toText(), QString("65.8")); // No kept it
    click(*tab, "BtBtn_Save_Today");
    QCOMPARE(messages.asked.size(), 2);
    QCOMPARE(window->core().diary().firstEmptyRow(), 4);

    click(*window, "BtBtn_Close");
    window.reset();
    QVERIFY2(messages.shown.isEmpty(), qPrintable(messages.shown.join(" / ")));

    // The next start finds everything again.
    window = std::make_unique<MainWindow>(folder.path());
    window->show();
    const DiaryTable &diary = window->core().diary();
    QCOMPARE(diary.firstEmptyRow(), 4);
    QCOMPARE(diary.cell(1, DiaryColumn::IntakeComment).toText(), QString("朝はパン\n夜は鍋"));
    QCOMPARE(diary.cell(2, DiaryColumn::Weight).toText(), QString("65.5"));
    QCOMPARE(diary.cell(2, DiaryColumn::IntakeComment).toText(), QString("書き直し"));
    QCOMPARE(diary.cell(3, DiaryColumn::Photo).toText(), QString("20100125.bmp"));
    QCOMPARE(QImage(folder.filePath("Picture/20100125.bmp")).size(), QSize(400, 300));
    QCOMPARE(xlrdDump(book).filter("体重メモ"), otherSheet);
    QVERIFY(xlrdDump(book).contains("St_Trimbo!2,0 type=3 value=(2010, 1, 25) format='yyyy/mm/dd'"));
    QVERIFY(messages.shown.isEmpty());
}

QTEST_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
