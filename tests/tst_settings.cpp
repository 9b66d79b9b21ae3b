#include "helpers.h"
#include "inifile.h"
#include "programfixture.h"
#include "settings.h"

#include <QTest>

Q_DECLARE_METATYPE(SettingsFields)
Q_DECLARE_METATYPE(SettingsError)
Q_DECLARE_METATYPE(FileProblem)

namespace {

// A file as a user might have it after years: comments, a foreign section,
// odd spacing, a line that is no key at all, Windows line breaks.
const QByteArray userFile = "; diary settings\r\n"
                            "[Graph]\r\n"
                            "WUpper = 85\r\n"
                            "WDown=60\r\n"
                            "this line is not a key\r\n"
                            "FUpper=30\r\n"
                            "FDown=15\r\n"
                            "GraphVis=2\r\n"
                            "StartD=2010/01/01\r\n"
                            "EndD=2010/01/31\r\n"
                            "LineClW=255\r\n"
                            "LineClF=16711680\r\n"
                            "BckGrnd=11\r\n"
                            "TrimboVis=1\r\n"
                            "\r\n"
                            "[Other]\r\n"
                            "Keep=me   \r\n"
                            "\r\n"
                            "[Establish]\r\n"
                            "DStartD=2010/01/01\r\n"
                            "DStartW=  70.5\r\n"
                            "DStartF=25\r\n"
                            "GoalW=65\r\n"
                            "GoalF=20\r\n"
                            "FloatW=0\r\n"
                            "FloatF=1\r\n";

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsEveryKey();
    void readsKeys_data();
    void readsKeys();
    void damagedLinesAreNamedAndNeverRead();
    void integersThatAreNoIntegersAreNamed();
    void problemMessageNamesTheFileAndStaysShort();

    void writeGraphTouchesOnlyItsLines();
    void writeEstablishTouchesOnlyItsLines();
    void writeAddsMissingKeysAndSections();
    void writeKeepsUnixLineBreaksAndByteOrderMark();
    void writtenSettingsReadBack();
    void writeTrendKeepsTheWindowsSectionsByteForByte();
    void lineEndsAndEncodingsAreKept_data();
    void lineEndsAndEncodingsAreKept();
    void unusableFileIsNamedAndNeverWritten_data();
    void unusableFileIsNamedAndNeverWritten();

private:
    static SettingsFields read(const QByteArray &content);
};

SettingsFields TestSettings::read(const QByteArray &content)
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", content);
    const GetIniResult result = GetIni(folder.filePath("Trimbo.ini"));
    if (result.problem)
        qWarning() << "settings not read: code" << int(result.problem->code);
    return result.fields;
}

void TestSettings::readsEveryKey()
{
    const SettingsFields fields = read(userFile);
    const GraphSettings graph{"85", "60", "30", "15", 2, "2010/01/01", "2010/01/31", 255, 16711680, 11, 1};
    QCOMPARE(fields.graph, graph);
    const EstablishSettings establish{"2010/01/01", "70.5", "25", "65", "20", 0, 1};
    QCOMPARE(fields.establish, establish);
    QCOMPARE(fields.trend, TrendSettings()); // the Windows version writes no [Trend]
}

void TestSettings::readsKeys_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<SettingsFields>("expected");
    const auto fields = [](auto fill) {
        SettingsFields f;
        fill(f);
        return f;
    };
    QTest::newRow("empty file") << QByteArray() << fields([](SettingsFields &) {});
    QTest::newRow("absent sections") << QByteArray("[Establish]\r\nGoalW=60\r\n")
                                     << fields([](SettingsFields &f) { f.establish.GoalW = "60"; });
    QTest::newRow("names in any case") << QByteArray(
        "[graph]\nwupper=72.5\nGRAPHVIS=1\nStartd=2011/02/03\n[ESTABLISH]\ngoalw=64\n[trend]\nbackups=1\n")
                                       << fields([](SettingsFields &f) {
                                              f.graph.WUpper = "72.5", f.graph.GraphVis = 1,
                                              f.graph.StartD = "2011/02/03";
                                              f.establish.GoalW = "64", f.trend.Backups = 1;
                                          });
    QTest::newRow("first of two keys") << QByteArray("[Graph]\nWUpper=80\nWUpper=90\n[Graph]\nWUpper=100\n")
                                       << fields([](SettingsFields &f) { f.graph.WUpper = "80"; });
    // A damaged header opens no section and ends none.
    QTest::newRow("damaged headers") << QByteArray(
        "[Graph]\r\nWUpper=80\r\n[Other]\0\r\nWDown=60\r\n[Establish]\0\0\r\nGoalW=65\r\n", 65)
                                     << fields([](SettingsFields &f) { f.graph.WUpper = "80", f.graph.WDown = "60"; });
    const std::pair<const char *, int> integers[] = {
        {"7", 7}, {"-16777201", -16777201}, {"  3 ", 3}, {"abc", 0}, {"12abc", 0}, {"1.5", 0}, {"", 0},
        {"-", 0}, {"99999999999", 0},       {"１", 0}};
    for (const auto &[text, value] : integers)
        QTest::addRow("integer '%s'", text) << "[Graph]\r\nLineClW=" + QByteArray(text) + "\r\n"
                                            << fields([value](SettingsFields &f) { f.graph.LineClW = value; });
}

void TestSettings::readsKeys()
{
    QFETCH(QByteArray, content);
    QFETCH(SettingsFields, expected);
    QCOMPARE(read(content), expected);
}

void TestSettings::damagedLinesAreNamedAndNeverRead()
{
    TempProgramFolder folder;
    const QByteArray longValue(5000, '8');
    const QByteArray damaged = QByteArray("[Graph]\r\nWUpper=") + longValue + "\r\nWDown=60\r\n"
                               + QByteArray("GraphVis=2\0\0\0\r\n", 15) + "FUpper 30\r\n[Establish\r\nGoalW=65\r\n";
    folder.write("Trimbo.ini", damaged);
    const GetIniResult result = GetIni(folder.filePath("Trimbo.ini"));
    QVERIFY(!result.problem);
    QCOMPARE(result.problems,
             (QStringList{"2 行目: 長すぎます (5007 バイト)", "4 行目: NUL 文字が入っています",
                          "5 行目: 「キー=値」の形ではありません", "6 行目: セクション名を閉じる「]」がありません"}));
    QCOMPARE(result.fields.graph.WUpper, QString());
    QCOMPARE(result.fields.graph.WDown, QString("60"));
    QCOMPARE(result.fields.graph.GraphVis, 0);
    QCOMPARE(result.fields.establish.GoalW, QString("65"));

    // Saving the section puts its values over the damaged lines of its keys
    // and keeps every other byte.
    GraphSettings graph = result.fields.graph;
    graph.WUpper = "85";
    QVERIFY(!WriteIni_Graph(folder.filePath("Trimbo.ini"), graph));
    const QByteArray written = folder.read("Trimbo.ini");
    QVERIFY(written.startsWith("[Graph]\r\nWUpper=85\r\nWDown=60\r\nGraphVis=0\r\nFUpper 30\r\n"));
    QVERIFY(!written.contains(longValue) && !written.contains('\0'));
    QVERIFY(written.contains("[Establish\r\nGoalW=65\r\n"));
    QCOMPARE(GetIni(folder.filePath("Trimbo.ini")).problems.size(), 2);
}

void TestSettings::integersThatAreNoIntegersAreNamed()
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", "[Graph]\r\nWUpper=heavy\r\nWDown=60\r\nGraphVis=two\r\nStartD=yesterday\r\n"
                               "EndD=2010/01/31\r\nLineClW=12abc\r\n[Establish]\r\nGoalW=65\r\nFloatW=1.5\r\n");
    const GetIniResult result = GetIni(folder.filePath("Trimbo.ini"));
    // Numbers and dates kept as text are judged where they are used.
    QCOMPARE(result.problems, (QStringList{"[Graph] GraphVis=two: 整数ではありません (0 として読みます)",
                                           "[Graph] LineClW=12abc: 整数ではありません (0 として読みます)",
                                           "[Establish] FloatW=1.5: 整数ではありません (0 として読みます)"}));
    // Text keys keep their text as read; integers fall back to 0.
    QCOMPARE(result.fields.graph.WUpper, QString("heavy"));
    QCOMPARE(result.fields.graph.LineClW, 0);
    folder.write("Trimbo.ini", userFile);
    QCOMPARE(GetIni(folder.filePath("Trimbo.ini")).problems, QStringList{"5 行目: 「キー=値」の形ではありません"});
}

void TestSettings::problemMessageNamesTheFileAndStaysShort()
{
    QStringList problems;
    for (int line = 1; line <= 25; ++line)
        problems.append(QStringLiteral("%1 行目: NUL 文字が入っています").arg(line));
    const QStringList lines = settingsProblemMessage("/home/a/Trimbo/Trimbo.ini", problems).split("\r\n");
    QCOMPARE(lines.first(), QString("設定ファイル \"/home/a/Trimbo/Trimbo.ini\" に読めないところがあります。"));
    QCOMPARE(lines.size(), 1 + 10 + 2);
    QCOMPARE(lines.at(10), QString("10 行目: NUL 文字が入っています"));
    QCOMPARE(lines.at(11), QString("ほか 15 か所"));
}

void TestSettings::writeGraphTouchesOnlyItsLines()
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", userFile);
    const GraphSettings graph{"90", "55.5", "35", "10", 0, "2011/03/01", "2011/03/31", 0, 32768, 15, 0};
    QVERIFY(!WriteIni_Graph(folder.filePath("Trimbo.ini"), graph));

    QByteArray expected = userFile;
    expected.replace("WUpper = 85", "WUpper=90")
        .replace("WDown=60", "WDown=55.5")
        .replace("FUpper=30", "FUpper=35")
        .replace("FDown=15", "FDown=10")
        .replace("GraphVis=2", "GraphVis=0")
        .replace("StartD=2010/01/01", "StartD=2011/03/01")
        .replace("EndD=2010/01/31", "EndD=2011/03/31")
        .replace("LineClW=255", "LineClW=0")
        .replace("LineClF=16711680", "LineClF=32768")
        .replace("BckGrnd=11", "BckGrnd=15")
        .replace("TrimboVis=1", "TrimboVis=0");
    // The Establish line "DStartD=2010/01/01" must not have been caught by the StartD edit.
    expected.replace("DStartD=2011/03/01", "DStartD=2010/01/01");
    QCOMPARE(folder.read("Trimbo.ini"), expected);
}

void TestSettings::writeEstablishTouchesOnlyItsLines()
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", userFile);
    const EstablishSettings establish{"2012/05/06", "80", "", "70", "18.5", 1, 0};
    QVERIFY(!WriteIni_Establish(folder.filePath("Trimbo.ini"), establish));

    QByteArray expected = userFile;
    const qsizetype section = expected.indexOf("[Establish]");
    expected.truncate(section);
    expected += "[Establish]\r\nDStartD=2012/05/06\r\nDStartW=80\r\nDStartF=\r\nGoalW=70\r\n"
                "GoalF=18.5\r\nFloatW=1\r\nFloatF=0\r\n";
    QCOMPARE(folder.read("Trimbo.ini"), expected);
}

void TestSettings::writeAddsMissingKeysAndSections()
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", "[Establish]\r\nGoalW=60\r\n\r\n[Other]\r\nx=1");
    QVERIFY(!WriteIni_Establish(folder.filePath("Trimbo.ini"), {"2010/01/01", "70", "25", "60", "20", 0, 0}));
    QVERIFY(!WriteIni_Graph(folder.filePath("Trimbo.ini"), {"85", "60", "30", "15", 0, "", "", 0, 0, 1, 0}));
    QCOMPARE(folder.read("Trimbo.ini"),
             QByteArray("[Establish]\r\nGoalW=60\r\nDStartD=2010/01/01\r\nDStartW=70\r\nDStartF=25\r\n"
                        "GoalF=20\r\nFloatW=0\r\nFloatF=0\r\n\r\n[Other]\r\nx=1\r\n"
                        "[Graph]\r\nWUpper=85\r\nWDown=60\r\nFUpper=30\r\nFDown=15\r\nGraphVis=0\r\n"
                        "StartD=\r\nEndD=\r\nLineClW=0\r\nLineClF=0\r\nBckGrnd=1\r\nTrimboVis=0\r\n"));
}

void TestSettings::writeKeepsUnixLineBreaksAndByteOrderMark()
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", "\xEF\xBB\xBF[Graph]\nWUpper=85\n");
    GraphSettings graph;
    graph.WUpper = "86";
    QVERIFY(!WriteIni_Graph(folder.filePath("Trimbo.ini"), graph));
    const QByteArray written = folder.read("Trimbo.ini");
    QVERIFY(written.startsWith("\xEF\xBB\xBF[Graph]\nWUpper=86\nWDown=\n"));
    QVERIFY(!written.contains('\r'));
    QCOMPARE(read(written).graph.WUpper, QString("86"));
}

void TestSettings::writtenSettingsReadBack()
{
    TempProgramFolder folder;
    SettingsFields fields;
    fields.graph = {"72.5", "60", "30", "15", 1, "2010/01/01", "2010/01/31", -16777201, 65280, 3, 1};
    fields.establish = {"2010/01/01", "70", "25", "65", "20", 1, 1};
    fields.trend = {1, 0, 1, 1, 1};
    layOutFixtureFolder(folder.path(), fields); // writes each section through the settings code
    QCOMPARE(GetIni(folder.filePath("Trimbo.ini")).fields, fields);
}

void TestSettings::writeTrendKeepsTheWindowsSectionsByteForByte()
{
    TempProgramFolder folder;
    folder.write("Trimbo.ini", userFile);
    QVERIFY(!WriteIni_Trend(folder.filePath("Trimbo.ini"), {1, 1, 0, 1, 0}));
    QVERIFY(!WriteIni_Trend(folder.filePath("Trimbo.ini"), {0, 1, 1, 1, 1}));
    QCOMPARE(folder.read("Trimbo.ini"),
             userFile + "[Trend]\r\nTrend=0\r\nGoalLines=1\r\nLatestDays=1\r\nBackups=1\r\nReadOut=1\r\n");
}

void TestSettings::lineEndsAndEncodingsAreKept_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("comment");    // the value of [Other] Note, as read
    QTest::addColumn<QByteArray>("written"); // the file after GoalW became ７１ (full width)
    // トリンボ① in code page 932, ７０ and ７１ in full-width digits.
    const QByteArray trimbo = "\x83\x67\x83\x8A\x83\x93\x83\x7B\x87\x40";
    const QByteArray seventy = "\x82\x56\x82\x4F", seventyOne = "\x82\x56\x82\x50";
    QTest::newRow("CR only") << QByteArray("[Other]\rNote=old mac\r[Establish]\rGoalW=65\rGoalF=20") << "old mac"
                             << QByteArray("[Other]\rNote=old mac\r[Establish]\rGoalW=７１\rGoalF=20\rDStartD=\r"
                                           "DStartW=\rDStartF=\rFloatW=0\rFloatF=0\r");
    QTest::newRow("CR, LF and CR LF mixed")
        << QByteArray("[Other]\r\nNote=mixed\n[Establish]\rGoalW=65\r\n") << "mixed"
        << QByteArray("[Other]\r\nNote=mixed\n[Establish]\rGoalW=７１\r\nDStartD=\r\nDStartW=\r\nDStartF=\r\n"
                      "GoalF=\r\nFloatW=0\r\nFloatF=0\r\n");
    QTest::newRow("Shift-JIS of the Windows version")
        << "[Other]\r\nNote=" + trimbo + "\r\n[Establish]\r\nGoalW=" + seventy + "\r\n"
        << QString("トリンボ①")
        << "[Other]\r\nNote=" + trimbo + "\r\n[Establish]\r\nGoalW=" + seventyOne
               + "\r\nDStartD=\r\nDStartW=\r\nDStartF=\r\nGoalF=\r\nFloatW=0\r\nFloatF=0\r\n";
    QTest::newRow("UTF-8") << QByteArray("[Other]\nNote=トリンボ\n[Establish]\nGoalW=７０\n") << "トリンボ"
                           << QByteArray("[Other]\nNote=トリンボ\n[Establish]\nGoalW=７１\nDStartD=\nDStartW=\n"
                                         "DStartF=\nGoalF=\nFloatW=0\nFloatF=0\n");
}

void TestSettings::lineEndsAndEncodingsAreKept()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, comment);
    QFETCH(QByteArray, written);
    TempProgramFolder folder;
    folder.write("Trimbo.ini", file);
    const GetIniResult result = GetIni(folder.filePath("Trimbo.ini"));
    QVERIFY(!result.problem);
    QVERIFY2(result.problems.isEmpty(), qPrintable(result.problems.join(';')));
    QCOMPARE(IniFile(file).value(u"Other", u"Note"), std::optional<QString>(comment));
    QCOMPARE(IniFile(file).content(), file);

    EstablishSettings establish = result.fields.establish;
    QVERIFY(!establish.GoalW.isEmpty());
    establish.GoalW = "７１";
    QVERIFY(!WriteIni_Establish(folder.filePath("Trimbo.ini"), establish));
    QCOMPARE(folder.read("Trimbo.ini"), written);
    QCOMPARE(GetIni(folder.filePath("Trimbo.ini")).fields.establish.GoalW, QString("７１"));
}

void TestSettings::unusableFileIsNamedAndNeverWritten_data()
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

void TestSettings::unusableFileIsNamedAndNeverWritten()
{
    QFETCH(QByteArray, file);
    QFETCH(SettingsError, code);
    QFETCH(FileProblem, reason);
    TempProgramFolder folder;
    const QString path = folder.filePath("Trimbo.ini");
    file.isEmpty() ? void(QDir().mkpath(path)) : folder.write("Trimbo.ini", file);
    const SettingsFailure read = GetIni(path).problem;
    QVERIFY(read);
    QCOMPARE(read->code, code);
    QCOMPARE(read->path, path);
    QCOMPARE(read->reason.has_value(), reason != FileProblem::Other);
    if (read->reason)
        QCOMPARE(read->reason->problem, reason);
    if (code == SettingsError::TooLarge)
        QCOMPARE(read->number, qint64(file.size()));
    // The write is refused for the same reason, before the file is touched.
    for (const SettingsFailure &notWritten :
         {WriteIni_Graph(path, GraphSettings()), WriteIni_Establish(path, EstablishSettings())}) {
        QVERIFY(notWritten);
        QCOMPARE(notWritten->code, SettingsError::NotWritten);
        QCOMPARE(notWritten->path, path);
        QCOMPARE(notWritten->parts.size(), size_t(1));
        QCOMPARE(notWritten->parts.front().code, code);
    }
    QCOMPARE(folder.read("Trimbo.ini"), file);
    QCOMPARE(QFileInfo(path).isDir(), file.isEmpty());
    // Nor is a file made where there was none.
    const SettingsFailure nowhere = WriteIni_Trend(folder.filePath("missing/Trimbo.ini"), TrendSettings());
    QVERIFY(nowhere);
    QCOMPARE(nowhere->code, SettingsError::NotWritten);
    QVERIFY(nowhere->parts.size() == 1 && nowhere->parts.front().reason);
    QCOMPARE(nowhere->parts.front().reason->problem, FileProblem::Missing);
    QVERIFY(!QFileInfo::exists(folder.filePath("missing")));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
