#include "establishrules.h"
#include "helpers.h"
#include "inifile.h"
#include "problemwording.h"
#include "programfixture.h"
#include "radiogroup.h"
#include "settings.h"
#include "setupdialog.h"

#include <QApplication>
#include <QDateEdit>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

Q_DECLARE_METATYPE(SettingsError)
Q_DECLARE_METATYPE(FileProblem)

namespace {

// A problem's code, and the line or the value it names.
using Named = std::pair<SettingsError, QString>;
QList<Named> named(const std::vector<SettingsProblem> &problems)
{
    QList<Named> out;
    for (const SettingsProblem &p : problems)
        out.append({p.code, p.names.isEmpty() ? QString::number(p.number) : p.names.join(u' ')});
    return out;
}

// Lines with Windows line breaks, written with "|" for each.
QByteArray crlf(const char *lines)
{
    return QByteArray(lines).replace('|', "\r\n");
}

// A file as a user might have it after years: comments, a foreign section,
// odd spacing, a line that is no key at all, Windows line breaks.
const QByteArray userFile = crlf("; diary settings|[Graph]|WUpper = 85|WDown=60|this line is not a key|FUpper=30|"
                                 "FDown=15|GraphVis=2|StartD=2010/01/01|EndD=2010/01/31|LineClW=255|LineClF=16711680|"
                                 "BckGrnd=11|TrimboVis=1||[Other]|Keep=me   ||[Establish]|DStartD=2010/01/01|"
                                 "DStartW=  70.5|DStartF=25|GoalW=65|GoalF=20|FloatW=0|FloatF=1|");

// A settings file in a program folder of its own.
struct Ini
{
    explicit Ini(const QByteArray &content) { folder.write("Trimbo.ini", content); }
    TempProgramFolder folder;
    const QString path = folder.filePath("Trimbo.ini");
    QByteArray content() const { return folder.read("Trimbo.ini"); }
};

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

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsKeys()
    {
        const auto fields = [](auto fill) {
            SettingsFields f;
            fill(f);
            return f;
        };
        const std::tuple<const char *, QByteArray, SettingsFields> files[] = {
            {"a user's file", userFile, fields([](SettingsFields &f) {
                 f.graph = {"85", "60", "30", "15", 2, "2010/01/01", "2010/01/31", 255, 16711680, 11, 1};
                 f.establish = {"2010/01/01", "70.5", "25", "65", "20", 0, 1}; // and no [Trend]
             })},
            {"empty file", {}, {}},
            {"absent sections", crlf("[Establish]|GoalW=60|"),
             fields([](SettingsFields &f) { f.establish.GoalW = "60"; })},
            {"names in any case",
             "[graph]\nwupper=72.5\nGRAPHVIS=1\nStartd=2011/02/03\n[ESTABLISH]\ngoalw=64\n[trend]\nbackups=1\n",
             fields([](SettingsFields &f) {
                 f.graph.WUpper = "72.5", f.graph.GraphVis = 1, f.graph.StartD = "2011/02/03";
                 f.establish.GoalW = "64", f.trend.Backups = 1;
             })},
            {"first of two keys", "[Graph]\nWUpper=80\nWUpper=90\n[Graph]\nWUpper=100\n",
             fields([](SettingsFields &f) { f.graph.WUpper = "80"; })},
            // A damaged header opens no section and ends none.
            {"damaged headers",
             QByteArray("[Graph]\r\nWUpper=80\r\n[Other]\0\r\nWDown=60\r\n[Establish]\0\0\r\nGoalW=65\r\n", 65),
             fields([](SettingsFields &f) { f.graph.WUpper = "80", f.graph.WDown = "60"; })}};
        for (const auto &[row, content, expected] : files)
            QVERIFY2(settingsFromIni(IniFile(content)).fields == expected, row);
        const std::pair<const char *, int> integers[] = {
            {"7", 7}, {"-16777201", -16777201}, {"  3 ", 3}, {"abc", 0}, {"12abc", 0}, {"1.5", 0}, {"", 0},
            {"-", 0}, {"99999999999", 0},       {"１", 0}};
        for (const auto &[text, value] : integers)
            QVERIFY2(settingsFromIni(IniFile(crlf("[Graph]|LineClW=") + text + "\r\n")).fields.graph.LineClW == value,
                     text);
    }

    void damagedLinesAreNamedAndNeverRead()
    {
        const QByteArray longValue(5000, '8');
        Ini ini("[Graph]\r\nWUpper=" + longValue + "\r\nWDown=60\r\n" + QByteArray("GraphVis=2\0\0\0\r\n", 15)
                + "FUpper 30\r\n[Establish\r\nGoalW=65\r\n");
        const GetIniResult result = GetIni(ini.path);
        QVERIFY(!result.problem);
        QVERIFY(named(result.problems)
                == (QList<Named>{{SettingsError::LineTooLong, "2"},
                                 {SettingsError::NulInLine, "4"},
                                 {SettingsError::NotKeyValue, "5"},
                                 {SettingsError::SectionNotClosed, "6"}}));
        QCOMPARE(result.problems.front().limit, 5007);
        const GraphSettings &read = result.fields.graph;
        QCOMPARE(std::tuple(read.WUpper, read.WDown, read.GraphVis), std::tuple(QString(), QString("60"), 0));
        QCOMPARE(result.fields.establish.GoalW, QString("65"));

        // Saving the section puts its values over the damaged lines of its keys
        // and keeps every other byte.
        GraphSettings graph = result.fields.graph;
        graph.WUpper = "85";
        QVERIFY(!WriteIni_Graph(ini.path, graph));
        const QByteArray written = ini.content();
        QVERIFY(written.startsWith("[Graph]\r\nWUpper=85\r\nWDown=60\r\nGraphVis=0\r\nFUpper 30\r\n"));
        QVERIFY(!written.contains(longValue) && !written.contains('\0'));
        QVERIFY(written.contains("[Establish\r\nGoalW=65\r\n"));
        QCOMPARE(GetIni(ini.path).problems.size(), 2);
    }

    void integersThatAreNoIntegersAreNamed()
    {
        const GetIniResult result = settingsFromIni(
            IniFile(crlf("[Graph]|WUpper=heavy|WDown=60|GraphVis=two|StartD=yesterday|EndD=2010/01/31|LineClW=12abc|"
                         "[Establish]|GoalW=65|FloatW=1.5|")));
        // Numbers and dates kept as text are judged where they are used.
        QVERIFY(named(result.problems)
                == (QList<Named>{{SettingsError::NotAnInteger, "Graph GraphVis two"},
                                 {SettingsError::NotAnInteger, "Graph LineClW 12abc"},
                                 {SettingsError::NotAnInteger, "Establish FloatW 1.5"}}));
        QCOMPARE(result.fields.graph.WUpper, QString("heavy"));
        QVERIFY(named(settingsFromIni(IniFile(userFile)).problems)
                == (QList<Named>{{SettingsError::NotKeyValue, "5"}}));
    }

    void problemMessageNamesTheFileAndStaysShort()
    {
        SettingsProblem damaged(SettingsError::Damaged, "/home/a/Trimbo/Trimbo.ini");
        for (int line = 1; line <= 25; ++line)
            damaged.parts.push_back(SettingsProblem(SettingsError::NulInLine, {}, {}, line));
        const QStringList lines = problemText(damaged).split("\r\n");
        QCOMPARE(lines.first(), QString("設定ファイル \"/home/a/Trimbo/Trimbo.ini\" に読めないところがあります。"));
        QCOMPARE(lines.size(), 1 + 10 + 2);
        QCOMPARE(lines.mid(10, 2), (QStringList{"10 行目: NUL 文字が入っています", "ほか 15 か所"}));
    }

    // Each section's save rewrites its own keys where they stand and keeps
    // every other byte; the [Graph] key StartD is no part of DStartD.
    void writeTouchesOnlyItsLines()
    {
        Ini ini(userFile);
        QVERIFY(!WriteIni_Establish(ini.path, {"2012/05/06", "80", "", "70", "18.5", 1, 0}));
        QVERIFY(!WriteIni_Graph(ini.path, {"90", "55.5", "35", "10", 0, "2011/03/01", "2011/03/31", 0, 32768, 15, 0}));
        QVERIFY(!WriteIni_Trend(ini.path, {1, 1, 0, 1, 0}));
        QVERIFY(!WriteIni_Trend(ini.path, {0, 1, 1, 1, 1}));
        QCOMPARE(ini.content(),
                 crlf("; diary settings|[Graph]|WUpper=90|WDown=55.5|this line is not a key|FUpper=35|FDown=10|"
                      "GraphVis=0|StartD=2011/03/01|EndD=2011/03/31|LineClW=0|LineClF=32768|BckGrnd=15|TrimboVis=0||"
                      "[Other]|Keep=me   ||[Establish]|DStartD=2012/05/06|DStartW=80|DStartF=|GoalW=70|GoalF=18.5|"
                      "FloatW=1|FloatF=0|[Trend]|Trend=0|GoalLines=1|LatestDays=1|Backups=1|ReadOut=1|"));
    }

    void writeAddsMissingKeysAndSections()
    {
        Ini ini(crlf("[Establish]|GoalW=60||[Other]|x=1"));
        QVERIFY(!WriteIni_Establish(ini.path, {"2010/01/01", "70", "25", "60", "20", 0, 0}));
        QVERIFY(!WriteIni_Graph(ini.path, {"85", "60", "30", "15", 0, "", "", 0, 0, 1, 0}));
        QCOMPARE(ini.content(), crlf("[Establish]|GoalW=60|DStartD=2010/01/01|DStartW=70|DStartF=25|GoalF=20|FloatW=0|"
                                     "FloatF=0||[Other]|x=1|[Graph]|WUpper=85|WDown=60|FUpper=30|FDown=15|GraphVis=0|"
                                     "StartD=|EndD=|LineClW=0|LineClF=0|BckGrnd=1|TrimboVis=0|"));
        SettingsFields fields;
        fields.graph = {"72.5", "60", "30", "15", 1, "2010/01/01", "2010/01/31", -16777201, 65280, 3, 1};
        fields.establish = {"2010/01/01", "70", "25", "65", "20", 1, 1};
        fields.trend = {1, 0, 1, 1, 1};
        layOutFixtureFolder(ini.folder.path(), fields); // writes each section through the settings code
        QCOMPARE(GetIni(ini.path).fields, fields);
    }

    void lineEndsAndEncodingsAreKept()
    {
        // トリンボ① in code page 932, ７０ and ７１ in full-width digits.
        const QByteArray trimbo = "\x83\x67\x83\x8A\x83\x93\x83\x7B\x87\x40";
        const QByteArray seventy = "\x82\x56\x82\x4F", seventyOne = "\x82\x56\x82\x50";
        // the file, the value of [Other] Note as read, the file after GoalW became ７１
        const std::tuple<const char *, QByteArray, QString, QByteArray> files[] = {
            {"CR only", "[Other]\rNote=old mac\r[Establish]\rGoalW=65\rGoalF=20", "old mac",
             "[Other]\rNote=old "
             "mac\r[Establish]\rGoalW=７１\rGoalF=20\rDStartD=\rDStartW=\rDStartF=\rFloatW=0\rFloatF=0\r"},
            {"CR, LF and CR LF mixed", "[Other]\r\nNote=mixed\n[Establish]\rGoalW=65\r\n", "mixed",
             "[Other]\r\nNote=mixed\n[Establish]\rGoalW=７１\r\nDStartD=\r\nDStartW=\r\nDStartF=\r\nGoalF=\r\nFloatW="
             "0\r\n"
             "FloatF=0\r\n"},
            {"Shift-JIS of the Windows version",
             "[Other]\r\nNote=" + trimbo + "\r\n[Establish]\r\nGoalW=" + seventy + "\r\n", "トリンボ①",
             "[Other]\r\nNote=" + trimbo + "\r\n[Establish]\r\nGoalW=" + seventyOne
                 + "\r\nDStartD=\r\nDStartW=\r\nDStartF=\r\nGoalF=\r\nFloatW=0\r\nFloatF=0\r\n"},
            {"UTF-8 with its byte order mark", "\xEF\xBB\xBF[Other]\nNote=トリンボ\n[Establish]\nGoalW=７０\n",
             "トリンボ",
             "\xEF\xBB\xBF[Other]\nNote=トリンボ\n[Establish]\nGoalW=７１\nDStartD=\nDStartW=\nDStartF=\nGoalF="
             "\nFloatW=0\n"
             "FloatF=0\n"}};
        for (const auto &[row, file, comment, written] : files) {
            Ini ini(file);
            const GetIniResult result = GetIni(ini.path);
            QVERIFY2(!result.problem && result.problems.empty() && !result.fields.establish.GoalW.isEmpty(), row);
            QVERIFY2(IniFile(file).value(u"Other", u"Note") == comment && IniFile(file).content() == file, row);
            EstablishSettings establish = result.fields.establish;
            establish.GoalW = "７１";
            QVERIFY2(!WriteIni_Establish(ini.path, establish) && ini.content() == written, row);
            QVERIFY2(GetIni(ini.path).fields.establish.GoalW == "７１", row);
        }
    }

    void unusableFileIsNamedAndNeverWritten_data()
    {
        QTest::addColumn<QByteArray>("file"); // empty: a folder stands in the file's place
        QTest::addColumn<SettingsError>("code");
        QTest::addColumn<FileProblem>("reason"); // what the system said, when it is asked
        const QString text = "[Graph]\r\nWUpper=85\r\n";
        const QByteArray little(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QByteArray big = little;
        for (qsizetype i = 0; i + 1 < big.size(); i += 2)
            std::swap(big[i], big[i + 1]);
        const auto none = FileProblem::Other;
        QTest::newRow("folder") << QByteArray() << SettingsError::Unreadable << FileProblem::Folder;
        QTest::newRow("oversized") << "[Graph]\r\n" + QByteArray(IniFile::MaxFileBytes, ';') << SettingsError::TooLarge
                                   << none;
        QTest::newRow("UTF-16 little endian with its mark") << "\xFF\xFE" + little << SettingsError::Utf16 << none;
        QTest::newRow("UTF-16 big endian with its mark") << "\xFE\xFF" + big << SettingsError::Utf16 << none;
        QTest::newRow("UTF-16 little endian without a mark") << little << SettingsError::Utf16 << none;
    }

    void unusableFileIsNamedAndNeverWritten()
    {
        QFETCH(QByteArray, file);
        QFETCH(SettingsError, code);
        QFETCH(FileProblem, reason);
        TempProgramFolder folder;
        const QString path = folder.filePath("Trimbo.ini");
        file.isEmpty() ? void(QDir().mkpath(path)) : folder.write("Trimbo.ini", file);
        const SettingsFailure read = GetIni(path).problem;
        QVERIFY(read);
        QCOMPARE(std::tuple(read->code, read->path), std::tuple(code, path));
        QCOMPARE(read->reason ? read->reason->problem : FileProblem::Other, reason);
        if (code == SettingsError::TooLarge)
            QCOMPARE(read->number, qint64(file.size()));
        // The write is refused for the same reason, before the file is touched.
        for (const SettingsFailure &notWritten :
             {WriteIni_Graph(path, GraphSettings()), WriteIni_Establish(path, EstablishSettings())}) {
            QVERIFY(notWritten && notWritten->parts.size() == 1);
            QCOMPARE(std::tuple(notWritten->code, notWritten->path, notWritten->parts.front().code),
                     std::tuple(SettingsError::NotWritten, path, code));
        }
        QCOMPARE(folder.read("Trimbo.ini"), file);
        QCOMPARE(QFileInfo(path).isDir(), file.isEmpty());
        // Nor is a file made where there was none.
        const SettingsFailure nowhere = WriteIni_Trend(folder.filePath("missing/Trimbo.ini"), TrendSettings());
        QVERIFY(nowhere && nowhere->code == SettingsError::NotWritten && nowhere->parts.size() == 1);
        QCOMPARE(nowhere->parts.front().reason.value().problem, FileProblem::Missing);
        QVERIFY(!QFileInfo::exists(folder.filePath("missing")));
    }

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

    // Enter presses "保存/閉じる" with the focus still in an edit; a click on the
    // button leaves it there too. The edit's check comes first, and a value it
    // refuses never reaches the file. Saved, the dialog closes; not saved (the
    // settings file cannot be written, say), it stays open with what was typed.
    void saveChecksTheEditFirst()
    {
        using E = EstablishSettings;
        // the edit, typed, the button clicked (none: Enter), the save refused:
        // the edit's text after, messages, the setting handed over (none: nothing handed)
        const std::tuple<const char *, QString, const char *, bool, QString, int, QString E::*> edits[] = {
            {"Edt_W_Goal", "90", "Btn_Save", false, "80", 1, nullptr},  // not below the start
            {"Edt_F_Goal", "26", nullptr, false, "25", 1, nullptr},     // not below the start
            {"Edt_F_DStrtDy", "abc", nullptr, false, "25", 0, nullptr}, // no number
            {"Edt_W_Goal", " 75 ", nullptr, false, "75", 0, &E::GoalW},
            {"Edt_W_DStrtDy", "81.5", "Btn_Save", false, "81.5", 0, &E::DStartW},
            {"Edt_W_DStrtDy", "81.5", "Btn_Save", true, "81.5", 0, &E::DStartW},
            {"Edt_W_Goal", "75", "Btn_Cancel", false, "75", 0, nullptr}};
        for (const auto &[name, typed, button, refuse, shownAfter, messages, saved] : edits) {
            RecordingResponder recorded;
            SaveRecorder saves(refuse);
            SetupDialog dialog({"2010/01/01", "80", "25", "70", "20", 0, 0}, saves.save());
            showActive(dialog);
            control<QDateEdit>(dialog, "Dt_DStrtD")->setDate(QDate(2011, 2, 3));
            control<RadioGroup>(dialog, "RdoGrp_F")->setItemIndex(1);
            auto *edit = control<QLineEdit>(dialog, name);
            edit->setFocus(Qt::TabFocusReason);
            edit->selectAll();
            typeText(edit, typed);
            if (button)
                QTest::mouseClick(control<QPushButton>(dialog, button), Qt::LeftButton);
            else
                QTest::keyClick(edit, Qt::Key_Return);
            const QByteArray row = QByteArray(name) + " " + typed.toUtf8() + " " + button;
            QVERIFY2(recorded.shown.size() == messages && edit->text() == shownAfter, row);
            EstablishSettings expected{"2011/02/03", "80", "25", "70", "20", 0, 1};
            if (saved)
                expected.*saved = shownAfter;
            QVERIFY2(saves.handed == QList<EstablishSettings>(saved ? 1 : 0, expected), row);
            const bool closes = saved ? !refuse : button && QByteArray(button) == "Btn_Cancel";
            QVERIFY2(dialog.isVisible() != closes && (closes || QApplication::focusWidget() == edit), row);
            QVERIFY2((dialog.result() == QDialog::Accepted) == (saved && !refuse), row);
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

QTEST_MAIN(TestSettings)
#include "tst_settings.moc"
