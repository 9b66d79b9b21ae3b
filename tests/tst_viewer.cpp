#include "bodyshape.h"
#include "levelanimation.h"
#include "levelfile.h"
#include "levelwording.h"
#include "problemwording.h"
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
    ExchangeError error = ExchangeError::End; // End: read
    QString shown = {};                       // of a line that is no level
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
    return level ? LevelRead{level, {}}
                 : LevelRead{std::nullopt, ExchangeProblem(ExchangeError::LevelFileMissing, fileName)};
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
        QTest::newRow("7 CR LF, as the diary writes it") << LevelCase{Place::File, "7\r\n", 7};
        QTest::newRow("7 without a line break") << LevelCase{Place::File, "7", 7};
        QTest::newRow("10, the goal") << LevelCase{Place::File, "10\r\n", 10};
        QTest::newRow("0, the fullest") << LevelCase{Place::File, "0\r\n", 0};
        QTest::newRow("7 LF only") << LevelCase{Place::File, "7\n", 7};
        QTest::newRow("only the first line counts") << LevelCase{Place::File, "4\r\nold lines\r\n", 4};
        QTest::newRow("empty file") << LevelCase{Place::File, {}, {}, ExchangeError::LevelFileEmpty};
        QTest::newRow("only a line break") << LevelCase{Place::File, "\r\n", {}, ExchangeError::FirstLineEmpty};
        QTest::newRow("11, past the goal") << LevelCase{Place::File, "11\r\n", {}, ExchangeError::NotALevel, "11"};
        QTest::newRow("-1") << LevelCase{Place::File, "-1\r\n", {}, ExchangeError::NotALevel, "-1"};
        QTest::newRow("a sign is no digit") << LevelCase{Place::File, "+7\r\n", {}, ExchangeError::NotALevel, "+7"};
        QTest::newRow("too long for an int")
            << LevelCase{Place::File, "99999999999999999999\r\n", {}, ExchangeError::NotALevel, "999999999999…"};
        QTest::newRow("level on the second line")
            << LevelCase{Place::File, "\r\n7\r\n", {}, ExchangeError::FirstLineEmpty};
        QTest::newRow("missing file") << LevelCase{Place::Missing, {}, {}, ExchangeError::LevelFileMissing};
        QTest::newRow("a folder in its place") << LevelCase{Place::Folder, {}, {}, ExchangeError::LevelFileUnreadable};
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
        // Otherwise the problem names the file, and its words stay on one line.
        QCOMPARE(read.error ? read.error->code : ExchangeError::End, file.error);
        if (read.error) {
            QCOMPARE(read.error->path, QStringLiteral("data.txt"));
            QCOMPARE(read.error->names.value(0), file.shown);
            QVERIFY(!problemText(*read.error).contains(u'\n'));
        }
    }

    // Each width narrows, the waist most, as the level rises: a belly at 0, a
    // waist narrower than the hips at 10; levels outside 0..10 draw the ends.
    void figureSlimsAsLevelRises()
    {
        const auto widths = [](const BodyShape &s) {
            return std::array{s.headRadius,   s.shoulderHalfWidth, s.waistHalfWidth,
                              s.hipHalfWidth, s.armThickness,      s.thighThickness};
        };
        for (int level = 1; level <= 10; ++level) {
            const BodyShape before = shapeForLevel(level - 1), shape = shapeForLevel(level);
            for (size_t i = 0; i < widths(shape).size(); ++i)
                QVERIFY2(widths(shape)[i] <= widths(before)[i], qPrintable(QStringLiteral("level %1").arg(level)));
            QVERIFY2(shape.waistHalfWidth < before.waistHalfWidth, qPrintable(QStringLiteral("level %1").arg(level)));
        }
        QVERIFY(shapeForLevel(0).waistHalfWidth > shapeForLevel(0).hipHalfWidth);
        QVERIFY(shapeForLevel(10).waistHalfWidth < shapeForLevel(10).hipHalfWidth);
        QCOMPARE(widths(shapeForLevel(-3)), widths(shapeForLevel(0)));
        QCOMPARE(widths(shapeForLevel(12.5)), widths(shapeForLevel(10)));
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
        for (const ExchangeProblem &problem : made.problems)
            problemFiles << problem.path;
        QCOMPARE(problemFiles, plan.problemFiles);
    }
};

QTEST_GUILESS_MAIN(TestViewer)
#include "tst_viewer.moc"
