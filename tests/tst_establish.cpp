#include "establishrules.h"
#include "helpers.h"
#include "radiogroup.h"
#include "setupdialog.h"

#include <QApplication>
#include <QDateEdit>
#include <QFocusEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {

// Shows each message in a real box that takes the activation from the
// dialog, as a message box does, closes it and gives the activation back:
// the focus changes are real, only nobody has to press OK.
class ActivatingResponder final : public Messages::Responder
{
public:
    ActivatingResponder() { Messages::setResponder(this); }
    ~ActivatingResponder() override { Messages::setResponder(nullptr); }

    void show(Messages::Kind, const QString &text) override
    {
        shown << text;
        QWidget *window = QApplication::activeWindow();
        QMessageBox box(QMessageBox::Information, QString(), text, QMessageBox::Ok, window);
        box.show();
        box.activateWindow();
        boxesActivated += int(QTest::qWaitForWindowActive(&box));
        box.close();
        if (window) {
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
        }
    }

    bool ask(const QString &) override { return false; }

    QStringList shown;
    int boxesActivated = 0;
};

// The dialog on screen and active, as the user meets it.
void showActive(QWidget &dialog)
{
    dialog.show();
    // Without a window manager (Xvfb) a request for the focus may need repeating.
    const bool active = QTest::qWaitFor(
        [&dialog] {
            dialog.activateWindow();
            return QApplication::activeWindow() == &dialog;
        },
        5000);
    if (!active)
        qFatal("%s did not become active", qPrintable(dialog.objectName()));
}

// Stands in for the settings save behind the dialog: keeps what the dialog
// hands over, and takes it unless told to refuse.
struct SaveRecorder
{
    SetupDialog::Save save()
    {
        return [this](const EstablishSettings &chosen) {
            handed.append(chosen);
            return !refuse;
        };
    }
    QList<EstablishSettings> handed;
    bool refuse = false;
};

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
    void saveHandsOverTheValues();
    void refusedSaveKeepsTheDialogOpen();
    void saveChecksTheEditFirst_data();
    void saveChecksTheEditFirst();
    void oneMessagePerWrongField();
    void keyboardOrder();
};

void TestEstablish::startValues_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("a number") << "70"
                              << "70" << true;
    QTest::newRow("blanks lost") << " 68.5 "
                                 << "68.5" << true;
    QTest::newRow("control characters lost") << "\t68.5\x01"
                                             << "68.5" << true;
    QTest::newRow("the stored value typed again") << "72"
                                                  << "72" << true;
    QTest::newRow("0 goes back to the stored value") << "0"
                                                     << "72" << false;
    QTest::newRow("letters go back") << "seventy"
                                     << "72" << false;
    QTest::newRow("empty goes back") << ""
                                     << "72" << false;
}

void TestEstablish::startValues()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, accepted);
    const ExitCheck result = startValueExit(typed, "72");
    QCOMPARE(result.text, shown);
    QCOMPARE(result.accepted, accepted);
}

void TestEstablish::goalValues_data()
{
    QTest::addColumn<QString>("goal");
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("shown");
    QTest::newRow("equal to the start") << "70"
                                        << "70" << false << "70";
    QTest::newRow("below the start") << "65"
                                     << "70" << true << "65";
    QTest::newRow("letters count as 0") << "abc"
                                        << "70" << true << "abc";
    QTest::newRow("99 counts as 0") << "99"
                                    << "70" << true << "99";
    QTest::newRow("above the start") << "75"
                                     << " 70 " << false << " 70 ";
    QTest::newRow("blanks trimmed") << " 60 "
                                    << "70" << true << "60";
}

void TestEstablish::goalValues()
{
    QFETCH(QString, goal);
    QFETCH(QString, start);
    QFETCH(bool, accepted);
    QFETCH(QString, shown);
    const ExitCheck result = goalValueExit(goal, start);
    QCOMPARE(result.accepted, accepted);
    QCOMPARE(result.text, shown);
}

void TestEstablish::dialogChecksOnLeaving()
{
    RecordingResponder messages;
    SaveRecorder saves;
    SetupDialog dialog({"2010/01/01", "72", "25", "65", "20", 0, 0}, saves.save());
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
    QCOMPARE(messages.shown.last(),
             QString("目標の体脂肪率はダイエット開始日の体脂肪率より\r\n小さくなければなりません。"));
    QCOMPARE(fatGoal->text(), fatStart->text());

    start->setText("0");
    leave(start);
    QCOMPARE(start->text(), QString("72")); // the stored start value
    QVERIFY(saves.handed.isEmpty());
}

void TestEstablish::cancelLeavesEverything()
{
    RecordingResponder messages;
    SaveRecorder saves;
    SetupDialog dialog({"2010/01/01", "72", "25", "65", "20", 0, 0}, saves.save());
    control<QLineEdit>(dialog, "Edt_W_Goal")->setText("60");
    control<RadioGroup>(dialog, "RdoGrp_W")->setItemIndex(1);
    QTest::mouseClick(control<QPushButton>(dialog, "Btn_Cancel"), Qt::LeftButton);
    QVERIFY(saves.handed.isEmpty());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void TestEstablish::saveHandsOverTheValues()
{
    RecordingResponder messages;
    SaveRecorder saves;
    SetupDialog dialog({"2010/01/01", "72", "25", "65", "20", 0, 0}, saves.save());
    control<QDateEdit>(dialog, "Dt_DStrtD")->setDate(QDate(2011, 2, 3));
    control<QLineEdit>(dialog, "Edt_W_Goal")->setText("63.5");
    control<RadioGroup>(dialog, "RdoGrp_W")->setItemIndex(1);
    QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
    const EstablishSettings expected{"2011/02/03", "72", "25", "63.5", "20", 1, 0};
    QCOMPARE(saves.handed, QList<EstablishSettings>{expected});
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

// Not saved (the settings file cannot be written, say): the dialog stays
// open with what was typed.
void TestEstablish::refusedSaveKeepsTheDialogOpen()
{
    RecordingResponder messages;
    SaveRecorder saves;
    saves.refuse = true;
    SetupDialog dialog({"2010/01/01", "72", "25", "65", "20", 0, 0}, saves.save());
    dialog.show();
    control<QLineEdit>(dialog, "Edt_W_Goal")->setText("63.5");
    QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
    QCOMPARE(saves.handed.size(), 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(control<QLineEdit>(dialog, "Edt_W_Goal")->text(), QString("63.5"));
}

void TestEstablish::saveChecksTheEditFirst_data()
{
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("byMouse");
    QTest::addColumn<QString>("shownAfter");
    QTest::addColumn<int>("messages");
    QTest::addColumn<QString>("saved"); // the value saved for the edit; empty: nothing saved

    QTest::newRow("Enter on a goal not below the start")
        << QByteArray("Edt_W_Goal") << "90" << false << "80" << 1 << QString();
    QTest::newRow("click on a goal not below the start")
        << QByteArray("Edt_W_Goal") << "90" << true << "80" << 1 << QString();
    QTest::newRow("Enter on a start that is no number")
        << QByteArray("Edt_W_DStrtDy") << "abc" << false << "80" << 0 << QString();
    QTest::newRow("Enter on a body-fat goal too high")
        << QByteArray("Edt_F_Goal") << "26" << false << "25" << 1 << QString();
    QTest::newRow("Enter on a good goal saves it") << QByteArray("Edt_W_Goal") << " 75 " << false << "75" << 0 << "75";
    QTest::newRow("click on a good start saves it")
        << QByteArray("Edt_W_DStrtDy") << "81.5" << true << "81.5" << 0 << "81.5";
    QTest::newRow("a full-width goal saves as ASCII")
        << QByteArray("Edt_F_Goal") << "１８．５" << false << "18.5" << 0 << "18.5";
}

// Enter presses "保存/閉じる" with the focus still in an edit; a click on the
// button leaves it there too. The edit's check comes first, and a value it
// refuses never reaches the file.
void TestEstablish::saveChecksTheEditFirst()
{
    QFETCH(QByteArray, edit);
    QFETCH(QString, typed);
    QFETCH(bool, byMouse);
    QFETCH(QString, shownAfter);
    QFETCH(int, messages);
    QFETCH(QString, saved);

    RecordingResponder recorded;
    SaveRecorder saves;
    SetupDialog dialog({"2010/01/01", "80", "25", "70", "20", 0, 0}, saves.save());
    showActive(dialog);
    auto *typedInto = control<QLineEdit>(dialog, edit.constData());
    typedInto->setFocus(Qt::TabFocusReason);
    typedInto->selectAll();
    typeText(typedInto, typed);
    if (byMouse)
        QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
    else
        QTest::keyClick(typedInto, Qt::Key_Return);

    QCOMPARE(recorded.shown.size(), messages);
    QCOMPARE(typedInto->text(), shownAfter);
    if (saved.isEmpty()) {
        QVERIFY(saves.handed.isEmpty());
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), typedInto);
    } else {
        QCOMPARE(saves.handed.size(), 1);
        const EstablishSettings &handed = saves.handed.first();
        QCOMPARE(edit == "Edt_W_Goal" ? handed.GoalW : edit == "Edt_F_Goal" ? handed.GoalF : handed.DStartW, saved);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
}

// A check runs when the user leaves its edit, and only then: a message box
// or another window taking the focus is no leaving.
void TestEstablish::oneMessagePerWrongField()
{
    ActivatingResponder messages;
    // The stored body-fat goal is no good either; it is left alone until the user leaves it.
    SaveRecorder saves;
    SetupDialog dialog({"2010/01/01", "80", "25", "70", "30", 0, 0}, saves.save());
    showActive(dialog);
    QCOMPARE(focusName(), QString("Edt_W_DStrtDy")); // typing starts in the first edit, not the date
    auto *goal = control<QLineEdit>(dialog, "Edt_W_Goal");
    auto *fatGoal = control<QLineEdit>(dialog, "Edt_F_Goal");
    goal->setFocus(Qt::TabFocusReason);
    goal->selectAll();
    QTest::keyClicks(goal, "90");
    QTest::keyClick(goal, Qt::Key_Tab);
    QCOMPARE(messages.boxesActivated, 1);
    QCOMPARE(messages.shown, QStringList{"目標の体重はダイエット開始日の体重より\r\n小さくなければなりません。"});
    QCOMPARE(goal->text(), QString("80"));
    QCOMPARE(fatGoal->text(), QString("30"));
    QCOMPARE(QApplication::focusWidget(), fatGoal);

    // Another window comes to the front and goes: still no check. (It
    // belongs to the dialog, which is modal and would block any other.)
    QWidget other(&dialog, Qt::Window);
    showActive(other);
    other.close();
    showActive(dialog);
    QCOMPARE(QApplication::focusWidget(), fatGoal);
    QCOMPARE(messages.shown.size(), 1);

    // Leaving the body-fat goal checks it: its own message, once.
    QTest::keyClick(fatGoal, Qt::Key_Tab);
    QCOMPARE(messages.shown.size(), 2);
    QCOMPARE(messages.shown.last(),
             QString("目標の体脂肪率はダイエット開始日の体脂肪率より\r\n小さくなければなりません。"));
    QCOMPARE(fatGoal->text(), QString("25"));
    QCOMPARE(goal->text(), QString("80"));
}

void TestEstablish::keyboardOrder()
{
    RecordingResponder messages;
    SaveRecorder saves;
    SetupDialog dialog({"2010/01/01", "80", "25", "70", "20", 0, 0}, saves.save());
    showActive(dialog);
    QStringList order{focusName()};
    for (int i = 0; i < 9; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        order << focusName();
    }
    QCOMPARE(order, QStringList({"Edt_W_DStrtDy", "Edt_F_DStrtDy", "Edt_W_Goal", "Edt_F_Goal", "Btn_Save", "Btn_Cancel",
                                 "RdoGrp_W", "RdoGrp_F", "Dt_DStrtD", "Edt_W_DStrtDy"}));
    QVERIFY(messages.shown.isEmpty());
}

QTEST_MAIN(TestEstablish)
#include "tst_establish.moc"
