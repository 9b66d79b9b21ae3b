#include "establishrules.h"
#include "helpers.h"
#include "tfrm_establishment.h"

#include <QApplication>
#include <QFocusEvent>
#include <QTest>

namespace {

const QByteArray ini = "[Graph]\r\nWUpper=90\r\n[Establish]\r\nDStartD=2010/01/01\r\nDStartW=72\r\nDStartF=25\r\n"
                       "GoalW=65\r\nGoalF=20\r\nFloatW=0\r\nFloatF=0\r\n";

} // namespace

class TestEstablish : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startValues_data();
    void startValues();
    void goalValues_data();
    void goalValues();
    void dialogChecksOnLeaving();
    void cancelLeavesEverything();
    void saveWritesTheSection();
    void unwritableFileKeepsTheDialogOpen();
};

void TestEstablish::startValues_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("a number") << "70" << "70";
    QTest::newRow("blanks lost") << " 68.5 " << "68.5";
    QTest::newRow("control characters lost") << "\t68.5\x01" << "68.5";
    QTest::newRow("0 goes back to the stored value") << "0" << "72";
    QTest::newRow("letters go back") << "seventy" << "72";
    QTest::newRow("empty goes back") << "" << "72";
}

void TestEstablish::startValues()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QCOMPARE(startValueExit(typed, "72"), shown);
}

void TestEstablish::goalValues_data()
{
    QTest::addColumn<QString>("goal");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("equal to the start") << "70" << "70" << false << "70";
    QTest::newRow("below the start") << "65" << "70" << true << "65";
    QTest::newRow("letters count as 0") << "abc" << "70" << true << "abc";
    QTest::newRow("99 counts as 0") << "99" << "70" << true << "99";
    QTest::newRow("above the start") << "75" << " 70 " << false << " 70 ";
    QTest::newRow("blanks trimmed") << " 60 " << "70" << true << "60";
}

void TestEstablish::goalValues()
{
    QFETCH(QString, goal);
    QFETCH(QString, start);
    QFETCH(bool, accepted);
    QFETCH(QString, shown);
    const GoalExit result = goalValueExit(goal, start);
    QCOMPARE(result.accepted, accepted);
    QCOMPARE(result.text, shown);
}

void TestEstablish::dialogChecksOnLeaving()
{
    RecordingResponder messages;
    EstablishSettings fields{"2010/01/01", "72", "25", "65", "20", 0, 0};
    TFrm_Establishment dialog(&fields, "/nowhere/Trimbo.ini");
    auto *start = control<QLineEdit>(dialog, "Edt_W_DStrtDy");
    auto *goal = control<QLineEdit>(dialog, "Edt_W_Goal");
    QCOMPARE(start->text(), QString("72"));

    start->setText("70");
    leave(start);
    goal->setText("75");
    leave(goal);
    QCOMPARE(messages.shown, QStringList{"目標の体重はダイエット開始日の体重より\r\n小さくなければなりません。"});
    QCOMPARE(goal->text(), QString("70")); // the start value

    auto *fatStart = control<QLineEdit>(dialog, "Edt_F_DStrtDy");
    auto *fatGoal = control<QLineEdit>(dialog, "Edt_F_Goal");
    fatGoal->setText("30");
    leave(fatGoal);
    QCOMPARE(messages.shown.last(), QString("目標の体脂肪率はダイエット開始日の体脂肪率より\r\n小さくなければなりません。"));
    QCOMPARE(fatGoal->text(), fatStart->text());

    start->setText("0");
    leave(start);
    QCOMPARE(start->text(), QString("72")); // the stored start value
    QCOMPARE(fields.DStartW, QString("72"));
}

void TestEstablish::cancelLeavesEverything()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    folder.write("Trimbo.ini", ini);
    EstablishSettings fields{"2010/01/01", "72", "25", "65", "20", 0, 0};
    const EstablishSettings before = fields;
    TFrm_Establishment dialog(&fields, folder.filePath("Trimbo.ini"));
    control<QLineEdit>(dialog, "Edt_W_Goal")->setText("60");
    control<RadioGroup>(dialog, "RdoGrp_W")->setItemIndex(1);
    QTest::mouseClick(control<QPushButton>(dialog, "Btn_Cancel"), Qt::LeftButton);
    QCOMPARE(fields, before);
    QCOMPARE(folder.read("Trimbo.ini"), ini);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestEstablish::saveWritesTheSection()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    folder.write("Trimbo.ini", ini);
    EstablishSettings fields{"2010/01/01", "72", "25", "65", "20", 0, 0};
    TFrm_Establishment dialog(&fields, folder.filePath("Trimbo.ini"));
    control<QDateEdit>(dialog, "Dt_DStrtD")->setDate(QDate(2011, 2, 3));
    control<QLineEdit>(dialog, "Edt_W_Goal")->setText("63.5");
    control<RadioGroup>(dialog, "RdoGrp_W")->setItemIndex(1);
    QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
    QCOMPARE(fields.FloatW, 1);
    QCOMPARE(fields.GoalW, QString("63.5"));
    QCOMPARE(folder.read("Trimbo.ini"),
             QByteArray("[Graph]\r\nWUpper=90\r\n[Establish]\r\nDStartD=2011/02/03\r\nDStartW=72\r\nDStartF=25\r\n"
                        "GoalW=63.5\r\nGoalF=20\r\nFloatW=1\r\nFloatF=0\r\n"));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestEstablish::unwritableFileKeepsTheDialogOpen()
{
    RecordingResponder messages;
    TempProgramFolder folder;
    QDir().mkpath(folder.filePath("Trimbo.ini")); // replaced by a folder since the program started
    EstablishSettings fields{"2010/01/01", "72", "25", "65", "20", 0, 0};
    const EstablishSettings before = fields;
    TFrm_Establishment dialog(&fields, folder.filePath("Trimbo.ini"));
    dialog.show();
    control<QLineEdit>(dialog, "Edt_W_Goal")->setText("63.5");
    QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
    QCOMPARE(messages.shown.size(), 1);
    QVERIFY2(messages.shown.first().contains(folder.filePath("Trimbo.ini"))
                 && messages.shown.first().endsWith("設定は保存されていません。"),
             qPrintable(messages.shown.first()));
    QCOMPARE(fields, before);
    QVERIFY(dialog.isVisible());
    QCOMPARE(control<QLineEdit>(dialog, "Edt_W_Goal")->text(), QString("63.5"));
}

QTEST_MAIN(TestEstablish)
#include "tst_establish.moc"
