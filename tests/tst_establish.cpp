#include "establishrules.h"
#include "helpers.h"
#include "radiogroup.h"
#include "setupdialog.h"

#include <QApplication>
#include <QDateEdit>
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
    explicit SaveRecorder(bool refuse = false) : refuse(refuse) {}
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
    void startAndGoalValues()
    {
        // goal or start value, typed, the start value for a goal or the stored value for a start: accepted, shown.
        // Control characters are lost; a goal in letters, or 99, counts as 0; full-width goes to ASCII.
        const std::tuple<bool, QString, QString, bool, QString> exits[] = {
            {false, "70", "72", true, "70"},           {false, " 68.5 ", "72", true, "68.5"},
            {false, "\t68.5\x01", "72", true, "68.5"}, {false, "0", "72", false, "72"},
            {false, "seventy", "72", false, "72"},     {false, "", "72", false, "72"},
            {true, "70", "70", false, "70"},           {true, "65", "70", true, "65"},
            {true, "abc", "70", true, "abc"},          {true, "99", "70", true, "99"},
            {true, "75", " 70 ", false, " 70 "},       {true, " 60 ", "70", true, "60"},
            {true, "１８．５", "25", true, "18.5"}};
        for (const auto &[goal, typed, other, accepted, shown] : exits) {
            const ExitCheck got = goal ? goalValueExit(typed, other) : startValueExit(typed, other);
            QVERIFY2(got.accepted == accepted && got.text == shown, qPrintable(typed + " -> " + got.text));
        }
    }

    // Saved, the dialog closes; not saved (the settings file cannot be
    // written, say), it stays open with what was typed; cancelled, nothing
    // is handed over.
    void buttons()
    {
        const std::tuple<const char *, bool, int, int> presses[] = {{"Btn_Save", false, 1, QDialog::Accepted},
                                                                    {"Btn_Save", true, 1, QDialog::Rejected},
                                                                    {"Btn_Cancel", false, 0, QDialog::Rejected}};
        for (const auto &[button, refuse, handed, result] : presses) {
            RecordingResponder messages;
            SaveRecorder saves(refuse);
            SetupDialog dialog({"2010/01/01", "72", "25", "65", "20", 0, 0}, saves.save());
            dialog.show();
            control<QDateEdit>(dialog, "Dt_DStrtD")->setDate(QDate(2011, 2, 3));
            control<QLineEdit>(dialog, "Edt_W_Goal")->setText("63.5");
            control<RadioGroup>(dialog, "RdoGrp_F")->setItemIndex(1);
            QTest::mouseClick(control<QPushButton>(dialog, button), Qt::LeftButton);
            const EstablishSettings expected{"2011/02/03", "72", "25", "63.5", "20", 0, 1};
            QVERIFY2(saves.handed == QList<EstablishSettings>(handed, expected), button);
            QVERIFY2(dialog.result() == result && dialog.isVisible() == refuse && messages.shown.isEmpty(), button);
            QCOMPARE(control<QLineEdit>(dialog, "Edt_W_Goal")->text(), QString("63.5"));
        }
    }

    // Enter presses "保存/閉じる" with the focus still in an edit; a click on the
    // button leaves it there too. The edit's check comes first, and a value it
    // refuses never reaches the file.
    void saveChecksTheEditFirst()
    {
        using E = EstablishSettings;
        // the edit, typed, by mouse or Enter: the edit's text after, messages, the setting saved (none: refused)
        const std::tuple<const char *, QString, bool, QString, int, QString E::*> edits[] = {
            {"Edt_W_Goal", "90", true, "80", 1, nullptr},      // not below the start
            {"Edt_F_Goal", "26", false, "25", 1, nullptr},     // not below the start
            {"Edt_F_DStrtDy", "abc", false, "25", 0, nullptr}, // no number
            {"Edt_W_Goal", " 75 ", false, "75", 0, &E::GoalW},
            {"Edt_W_DStrtDy", "81.5", true, "81.5", 0, &E::DStartW}};
        for (const auto &[name, typed, byMouse, shownAfter, messages, saved] : edits) {
            RecordingResponder recorded;
            SaveRecorder saves;
            const EstablishSettings stored{"2010/01/01", "80", "25", "70", "20", 0, 0};
            SetupDialog dialog(stored, saves.save());
            showActive(dialog);
            auto *edit = control<QLineEdit>(dialog, name);
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            typeText(edit, typed);
            if (byMouse)
                QTest::mouseClick(control<QPushButton>(dialog, "Btn_Save"), Qt::LeftButton);
            else
                QTest::keyClick(edit, Qt::Key_Return);
            QVERIFY2(recorded.shown.size() == messages && edit->text() == shownAfter, name);
            if (!saved) {
                QVERIFY2(saves.handed.isEmpty() && dialog.isVisible() && QApplication::focusWidget() == edit, name);
                continue;
            }
            EstablishSettings expected = stored;
            expected.*saved = shownAfter;
            QVERIFY2(saves.handed == QList{expected} && dialog.result() == QDialog::Accepted, name);
        }
    }

    // A check runs when the user leaves its edit, and only then: a message box
    // or another window taking the focus is no leaving.
    void oneMessagePerWrongField()
    {
        ActivatingResponder messages;
        SaveRecorder saves;
        // The stored body-fat goal is no good either; it is left alone until the user leaves it.
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
        const QString weightMessage = "目標の体重はダイエット開始日の体重より\r\n小さくなければなりません。";
        QCOMPARE(messages.shown, QStringList{weightMessage});
        QCOMPARE(goal->text() + " " + fatGoal->text(), QString("80 30"));
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
        QCOMPARE(messages.shown,
                 (QStringList{weightMessage,
                              "目標の体脂肪率はダイエット開始日の体脂肪率より\r\n小さくなければなりません。"}));
        QCOMPARE(goal->text() + " " + fatGoal->text(), QString("80 25"));
    }
};

QTEST_MAIN(TestEstablish)
#include "tst_establish.moc"
