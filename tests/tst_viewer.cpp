#include "levelanimation.h"
#include "levelfile.h"
#include "levelwording.h"
#include "viewerplan.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

enum class Place { File, Missing, Folder };

struct LevelCase
{
    Place place;
    QByteArray content;
    std::optional<int> level;
    QString errorMentions; // what the message must say; empty when read
};

struct PlanCase
{
    std::optional<int> before, after;
    double from, to;
    std::optional<int> shown, beforeShown;
    QStringList problemFiles;
};

LevelRead readOf(std::optional<int> level, const QString &fileName)
{
    return level ? LevelRead{level, {}} : LevelRead{std::nullopt, fileName + QStringLiteral(" が見つかりません。")};
}

} // namespace

Q_DECLARE_METATYPE(LevelCase)
Q_DECLARE_METATYPE(PlanCase)

class TestViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void levelFile_data()
    {
        QTest::addColumn<LevelCase>("file");
        QTest::newRow("7 CR LF, as the diary writes it") << LevelCase{Place::File, "7\r\n", 7, ""};
        QTest::newRow("7 without a line break") << LevelCase{Place::File, "7", 7, ""};
        QTest::newRow("10, the goal") << LevelCase{Place::File, "10\r\n", 10, ""};
        QTest::newRow("0, the fullest") << LevelCase{Place::File, "0\r\n", 0, ""};
        QTest::newRow("7 LF only") << LevelCase{Place::File, "7\n", 7, ""};
        QTest::newRow("only the first line counts") << LevelCase{Place::File, "4\r\nold lines\r\n", 4, ""};
        QTest::newRow("empty file") << LevelCase{Place::File, {}, {}, "が空です"};
        QTest::newRow("only a line break") << LevelCase{Place::File, "\r\n", {}, "1 行目が空"};
        QTest::newRow("11, past the goal") << LevelCase{Place::File, "11\r\n", {}, "「11」"};
        QTest::newRow("-1") << LevelCase{Place::File, "-1\r\n", {}, "「-1」"};
        QTest::newRow("a sign is no digit") << LevelCase{Place::File, "+7\r\n", {}, "「+7」"};
        QTest::newRow("too long for an int") << LevelCase{Place::File, "99999999999999999999\r\n", {}, "0〜10"};
        QTest::newRow("level on the second line") << LevelCase{Place::File, "\r\n7\r\n", {}, "1 行目が空"};
        QTest::newRow("missing file") << LevelCase{Place::Missing, {}, {}, "見つかりません"};
        QTest::newRow("a folder in its place") << LevelCase{Place::Folder, {}, {}, "読み込めません"};
    }
    void levelFile()
    {
        QFETCH(LevelCase, file);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("data.txt"));
        QFile written(path);
        if (file.place == Place::File)
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(file.content) == file.content.size());
        else if (file.place == Place::Folder)
            QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("data.txt")));
        written.close();

        const LevelRead read = readLevelFile(path);
        QCOMPARE(read.level, file.level);
        // Otherwise one line that names the file and says what was wrong with it.
        QVERIFY2(file.level ? read.error.isEmpty()
                            : read.error.contains(QStringLiteral("data.txt")) && read.error.contains(file.errorMentions)
                                  && !read.error.contains(u'\n'),
                 qPrintable(read.error));
    }

    // The level before held a moment, then a steady change, over not a moment early.
    void animation()
    {
        const LevelAnimation rising(3, 7, 500, 2000);
        QCOMPARE(std::tuple(rising.levelAt(500), rising.levelAt(1000), rising.finishedAt(2499), rising.levelAt(2500),
                            rising.finishedAt(2500)),
                 std::tuple(3.0, 4.0, false, 7.0, true));
    }

    // At the edges of each range, where an off-by-one would show.
    void wording()
    {
        QStringList phrases;
        for (const int level : {0, 1, 3, 4, 6, 7, 9, 10})
            phrases << levelPhrase(level);
        QCOMPARE(phrases, (QStringList{"スタート前より増えています", "スタートしたところ", "スタートしたところ",
                                       "順調です", "順調です", "あと少し", "あと少し", "目標達成！"}));
        QCOMPARE(levelCaption(7), QStringLiteral("レベル 7 / 10"));
    }

    void plan_data()
    {
        QTest::addColumn<PlanCase>("plan");
        const std::optional<int> none;
        const double neutral = NeutralLevel;
        QTest::newRow("both read") << PlanCase{3, 7, 3, 7, 7, 3, {}};
        QTest::newRow("gone backwards") << PlanCase{5, 0, 5, 0, 0, 5, {}};
        QTest::newRow("same level") << PlanCase{4, 4, 4, 4, 4, 4, {}};
        QTest::newRow("no level before") << PlanCase{none, 7, 7, 7, 7, none, {"Beforedata.txt"}};
        QTest::newRow("no new level") << PlanCase{3, none, 3, 3, 3, none, {"data.txt"}};
        QTest::newRow("neither") << PlanCase{none, none, neutral, neutral, none, none, {"Beforedata.txt", "data.txt"}};
    }
    void plan()
    {
        QFETCH(PlanCase, plan);
        const ViewerPlan made = planViewer(readOf(plan.before, QStringLiteral("Beforedata.txt")),
                                           readOf(plan.after, QStringLiteral("data.txt")));
        QCOMPARE(std::pair(made.fromLevel, made.toLevel), std::pair(plan.from, plan.to));
        QCOMPARE(std::pair(made.shownLevel, made.beforeLevel), std::pair(plan.shown, plan.beforeShown));
        QStringList problemFiles;
        for (const QString &problem : made.problems)
            problemFiles << problem.section(u' ', 0, 0);
        QCOMPARE(problemFiles, plan.problemFiles);
    }
};

QTEST_GUILESS_MAIN(TestViewer)
#include "tst_viewer.moc"
