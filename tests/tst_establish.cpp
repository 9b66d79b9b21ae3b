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

struct ExitCase
{
    bool goal; // the goal's rule, else the start value's
    QString typed;
    QString other; // the start value for a goal; the stored value for a start value
    bool accepted;
    QString shown;
};

struct EditCase
{
    const char *name;
    QString typed;
    bool byMouse;
    QString shownAfter;
    int messages;
    QString saved; // the value saved for the edit; empty: nothing saved
};

} // namespace

Q_DECLARE_METATYPE(ExitCase)
Q_DECLARE_METATYPE(EditCase)

class TestEstablish : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startAndGoalValues_data()
    {
        QTest::addColumn<ExitCase>("exit");
        QTest::newRow("start: a number") << ExitCase{false, "70", "72", true, "70"};
        QTest::newRow("start: blanks lost") << ExitCase{false, " 68.5 ", "72", true, "68.5"};
        QTest::newRow("start: control characters lost") << ExitCase{false, "\t68.5\x01", "72", true, "68.5"};
        QTest::newRow("start: 0 goes back") << ExitCase{false, "0", "72", false, "72"};
        QTest::newRow("start: letters go back") << ExitCase{false, "seventy", "72", false, "72"};
        QTest::newRow("start: empty goes back") << ExitCase{false, "", "72", false, "72"};
        QTest::newRow("goal equal to the start") << ExitCase{true, "70", "70", false, "70"};
        QTest::newRow("goal below the start") << ExitCase{true, "65", "70", true, "65"};
        QTest::newRow("goal in letters counts as 0") << ExitCase{true, "abc", "70", true, "abc"};
        QTest::newRow("goal 99 counts as 0") << ExitCase{true, "99", "70", true, "99"};
        QTest::newRow("goal above the start") << ExitCase{true, "75", " 70 ", false, " 70 "};
        QTest::newRow("goal with blanks") << ExitCase{true, " 60 ", "70", true, "60"};
    }
    void startAndGoalValues()
    {
        QFETCH(ExitCase, exit);
        const ExitCheck result =
            exit.goal ? goalValueExit(exit.typed, exit.other) : startValueExit(exit.typed, exit.other);
        QCOMPARE(result.text, exit.shown);
        QCOMPARE(result.accepted, exit.accepted);
    }

    // Saved, the dialog closes; not saved (the settings file cannot be
    // written, say), it stays open with what was typed; cancelled, nothing
    // is handed over.
    void buttons_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<bool>("refuse");
        QTest::addColumn<int>("handed");
        QTest::addColumn<int>("result");
        QTest::newRow("save") << QByteArray("Btn_Save") << false << 1 << int(QDialog::Accepted);
        QTest::newRow("save refused") << QByteArray("Btn_Save") << true << 1 << int(QDialog::Rejected);
        QTest::newRow("cancel") << QByteArray("Btn_Cancel") << false << 0 << int(QDialog::Rejected);
    }
    void buttons()
    {
        QFETCH(QByteArray, button);
        QFETCH(bool, refuse);
        QFETCH(int, handed);
        QFETCH(int, result);
        RecordingResponder messages;
        SaveRecorder saves;
        saves.refuse = refuse;
        SetupDialog dialog({"2010/01/01", "72", "25", "65", "20", 0, 0}, saves.save());
        dialog.show();
        control<QDateEdit>(dialog, "Dt_DStrtD")->setDate(QDate(2011, 2, 3));
        control<QLineEdit>(dialog, "Edt_W_Goal")->setText("63.5");
        control<RadioGroup>(dialog, "RdoGrp_W")->setItemIndex(1);
        QTest::mouseClick(control<QPushButton>(dialog, button.constData()), Qt::LeftButton);
        const EstablishSettings expected{"2011/02/03", "72", "25", "63.5", "20", 1, 0};
        QCOMPARE(saves.handed, QList<EstablishSettings>(handed, expected));
        QCOMPARE(dialog.result(), result);
        QCOMPARE(dialog.isVisible(), refuse);
        QCOMPARE(control<QLineEdit>(dialog, "Edt_W_Goal")->text(), QString("63.5"));
        QVERIFY(messages.shown.isEmpty());
    }

    void saveChecksTheEditFirst_data()
    {
        QTest::addColumn<EditCase>("edit");
        QTest::newRow("Enter on a goal not below the start") << EditCase{"Edt_W_Goal", "90", false, "80", 1, {}};
        QTest::newRow("click on a goal not below the start") << EditCase{"Edt_W_Goal", "90", true, "80", 1, {}};
        QTest::newRow("Enter on a start that is no number") << EditCase{"Edt_W_DStrtDy", "abc", false, "80", 0, {}};
        QTest::newRow("Enter on a body-fat goal too high") << EditCase{"Edt_F_Goal", "26", false, "25", 1, {}};
        QTest::newRow("Enter on a good goal saves it") << EditCase{"Edt_W_Goal", " 75 ", false, "75", 0, "75"};
        QTest::newRow("click on a good start saves it") << EditCase{"Edt_W_DStrtDy", "81.5", true, "81.5", 0, "81.5"};
        QTest::newRow("a full-width goal saves as ASCII")
            << EditCase{"Edt_F_Goal", "１８．５", false, "18.5", 0, "18.5"};
    }
    // Enter presses "保存/閉じる" with the focus still in an edit; a click on the
    // button leaves it there too. The edit's check comes first, and a value it
    // refuses never reaches the file.
    void saveChecksTheEditFirst()
    {
        QFETCH(EditCase, edit);
        RecordingResponder recorded;
        SaveRecorder saves;
        SetupDialog dialog({"2010/01/01", "80", "25", "70", "20", 0, 0}, saves.save());
        showActive(dialog);
        auto *typedInto = control<QLineEdit>(dialog, edit.name);
        typedInto->setFocus(Qt::TabFocusReason);
        typedInto->selectAll();
        typeText(typedInto, edit.typed);
        if (edit.byMouse)
            QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
        else
            QTest::keyClick(typedInto, Qt::Key_Return);

        QCOMPARE(recorded.shown.size(), edit.messages);
        QCOMPARE(typedInto->text(), edit.shownAfter);
        if (edit.saved.isEmpty()) {
            QVERIFY(saves.handed.isEmpty());
            QVERIFY(dialog.isVisible());
            QCOMPARE(QApplication::focusWidget(), typedInto);
            return;
        }
        QCOMPARE(saves.handed.size(), 1);
        const EstablishSettings &handed = saves.handed.first();
        const QString name = edit.name;
        QCOMPARE(name == "Edt_W_Goal"   ? handed.GoalW
                 : name == "Edt_F_Goal" ? handed.GoalF
                                        : handed.DStartW,
                 edit.saved);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // A check runs when the user leaves its edit, and only then: a message box
    // or another window taking the focus is no leaving.
    void oneMessagePerWrongField()
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
};

QTEST_MAIN(TestEstablish)
#include "tst_establish.moc"
