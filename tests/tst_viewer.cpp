#include "bodyshape.h"
#include "levelanimation.h"
#include "levelfile.h"
#include "levelwording.h"
#include "viewerplan.h"

#include <QTemporaryDir>
#include <QTest>
#include <array>

Q_DECLARE_METATYPE(std::optional<int>)

namespace {

enum class Place { File, Missing, Folder };

// Every width of the figure, so a new one cannot be left out of the checks.
constexpr std::array shapeWidths{
    &BodyShape::headRadius,   &BodyShape::shoulderHalfWidth, &BodyShape::waistHalfWidth,
    &BodyShape::hipHalfWidth, &BodyShape::armThickness,      &BodyShape::thighThickness,
};

void compareShapes(const BodyShape &actual, const BodyShape &expected)
{
    for (const auto width : shapeWidths)
        QCOMPARE(actual.*width, expected.*width);
}

LevelRead readOf(std::optional<int> level, const QString &fileName)
{
    return level ? LevelRead{level, {}} : LevelRead{std::nullopt, fileName + QStringLiteral(" が見つかりません。")};
}

} // namespace

Q_DECLARE_METATYPE(Place)

class TestViewer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void levelFile_data();
    void levelFile();
    void figureSlimsAsLevelRises();
    void animation_data();
    void animation();
    void wording_data();
    void wording();
    void plan_data();
    void plan();
};

void TestViewer::levelFile_data()
{
    QTest::addColumn<Place>("place");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<std::optional<int>>("level");
    QTest::addColumn<QString>("errorMentions"); // what the message must say; empty when read

    const std::optional<int> none;
    QTest::newRow("7 CR LF, as the diary writes it") << Place::File << QByteArray("7\r\n") << std::optional(7) << "";
    QTest::newRow("7 without a line break") << Place::File << QByteArray("7") << std::optional(7) << "";
    QTest::newRow("10, the goal") << Place::File << QByteArray("10\r\n") << std::optional(10) << "";
    QTest::newRow("0, the fullest") << Place::File << QByteArray("0\r\n") << std::optional(0) << "";
    QTest::newRow("7 LF only") << Place::File << QByteArray("7\n") << std::optional(7) << "";
    QTest::newRow("only the first line counts")
        << Place::File << QByteArray("4\r\nold lines\r\n") << std::optional(4) << "";
    QTest::newRow("empty file") << Place::File << QByteArray() << none << "が空です";
    QTest::newRow("only a line break") << Place::File << QByteArray("\r\n") << none << "1 行目が空";
    QTest::newRow("abc") << Place::File << QByteArray("abc\r\n") << none << "「abc」";
    QTest::newRow("11, past the goal") << Place::File << QByteArray("11\r\n") << none << "「11」";
    QTest::newRow("-1") << Place::File << QByteArray("-1\r\n") << none << "「-1」";
    QTest::newRow("a sign is no digit") << Place::File << QByteArray("+7\r\n") << none << "「+7」";
    QTest::newRow("a fraction") << Place::File << QByteArray("3.5\r\n") << none << "「3.5」";
    QTest::newRow("too long for an int") << Place::File << QByteArray("99999999999999999999\r\n") << none << "0〜10";
    QTest::newRow("level on the second line") << Place::File << QByteArray("\r\n7\r\n") << none << "1 行目が空";
    QTest::newRow("missing file") << Place::Missing << QByteArray() << none << "見つかりません";
    QTest::newRow("a folder in its place") << Place::Folder << QByteArray() << none << "読み込めません";
}

void TestViewer::levelFile()
{
    QFETCH(Place, place);
    QFETCH(QByteArray, content);
    QFETCH(std::optional<int>, level);
    QFETCH(QString, errorMentions);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("data.txt"));
    if (place == Place::File) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(content), content.size());
    } else if (place == Place::Folder) {
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("data.txt")));
    }

    const LevelRead read = readLevelFile(path);
    QCOMPARE(read.level, level);
    if (level) {
        QVERIFY2(read.error.isEmpty(), qPrintable(read.error));
        return;
    }
    // One line that names the file and says what was wrong with it.
    QVERIFY2(read.error.contains(QStringLiteral("data.txt")), qPrintable(read.error));
    QVERIFY2(read.error.contains(errorMentions), qPrintable(read.error));
    QVERIFY(!read.error.contains(u'\n'));
}

void TestViewer::figureSlimsAsLevelRises()
{
    BodyShape previous = shapeForLevel(0);
    for (double level = 0.5; level <= 10; level += 0.5) {
        const BodyShape shape = shapeForLevel(level);
        for (const auto width : shapeWidths)
            QVERIFY2(shape.*width <= previous.*width, qPrintable(QStringLiteral("level %1").arg(level)));
        // The waist is where the change shows: it narrows at every step.
        QVERIFY2(shape.waistHalfWidth < previous.waistHalfWidth, qPrintable(QStringLiteral("level %1").arg(level)));
        previous = shape;
    }
    // A fuller figure has a belly; the slimmest one a waist narrower than its hips.
    QVERIFY(shapeForLevel(0).waistHalfWidth > shapeForLevel(0).hipHalfWidth);
    QVERIFY(shapeForLevel(10).waistHalfWidth < shapeForLevel(10).hipHalfWidth);
    // Levels outside the range take the nearest end.
    compareShapes(shapeForLevel(-3), shapeForLevel(0));
    compareShapes(shapeForLevel(12.5), shapeForLevel(10));
}

void TestViewer::animation_data()
{
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<int>("holdMs");
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<double>("level");
    QTest::addColumn<bool>("finished");

    // Held, then 2000 ms of change (none when nothing is held: the new level at once).
    QTest::newRow("3 to 7, at the start") << 3.0 << 7.0 << 500 << 0 << 3.0 << false;
    QTest::newRow("3 to 7, end of the hold") << 3.0 << 7.0 << 500 << 500 << 3.0 << false;
    QTest::newRow("3 to 7, a quarter through") << 3.0 << 7.0 << 500 << 1000 << 4.0 << false;
    QTest::newRow("3 to 7, halfway") << 3.0 << 7.0 << 500 << 1500 << 5.0 << false;
    QTest::newRow("3 to 7, at the end") << 3.0 << 7.0 << 500 << 2500 << 7.0 << true;
    QTest::newRow("3 to 7, long after") << 3.0 << 7.0 << 500 << 60000 << 7.0 << true;
    QTest::newRow("8 to 2, gone backwards, halfway") << 8.0 << 2.0 << 500 << 1500 << 5.0 << false;
    QTest::newRow("8 to 2, at the end") << 8.0 << 2.0 << 500 << 2500 << 2.0 << true;
    QTest::newRow("no change") << 6.0 << 6.0 << 500 << 1200 << 6.0 << false;
    QTest::newRow("nothing to wait for") << 3.0 << 7.0 << 0 << 0 << 7.0 << true;
}

void TestViewer::animation()
{
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(int, holdMs);
    QFETCH(int, elapsedMs);
    QFETCH(double, level);
    QFETCH(bool, finished);
    const LevelAnimation animation(from, to, holdMs, holdMs ? 2000 : 0);
    QCOMPARE(animation.levelAt(elapsedMs), level);
    QCOMPARE(animation.finishedAt(elapsedMs), finished);
    // Not a moment early.
    if (finished && elapsedMs > 0) {
        QVERIFY(!animation.finishedAt(holdMs + 2000 - 1));
        QVERIFY(animation.levelAt(holdMs + 2000 - 1) != to);
    }
}

void TestViewer::wording_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("phrase");

    // The edges of each range, where an off-by-one would show.
    QTest::newRow("0") << 0 << QStringLiteral("スタート前より増えています");
    QTest::newRow("1") << 1 << QStringLiteral("スタートしたところ");
    QTest::newRow("3") << 3 << QStringLiteral("スタートしたところ");
    QTest::newRow("4") << 4 << QStringLiteral("順調です");
    QTest::newRow("6") << 6 << QStringLiteral("順調です");
    QTest::newRow("7") << 7 << QStringLiteral("あと少し");
    QTest::newRow("9") << 9 << QStringLiteral("あと少し");
    QTest::newRow("10") << 10 << QStringLiteral("目標達成！");
}

void TestViewer::wording()
{
    QFETCH(int, level);
    QFETCH(QString, phrase);
    QCOMPARE(levelPhrase(level), phrase);
    QCOMPARE(levelCaption(level), QStringLiteral("レベル %1 / 10").arg(level));
}

void TestViewer::plan_data()
{
    QTest::addColumn<std::optional<int>>("before");
    QTest::addColumn<std::optional<int>>("after");
    QTest::addColumn<double>("from");
    QTest::addColumn<double>("to");
    QTest::addColumn<bool>("animated");
    QTest::addColumn<std::optional<int>>("shown");
    QTest::addColumn<std::optional<int>>("beforeShown");
    QTest::addColumn<QStringList>("problemFiles");

    const std::optional<int> none;
    QTest::newRow("both read") << std::optional(3) << std::optional(7) << 3.0 << 7.0 << true << std::optional(7)
                               << std::optional(3) << QStringList{};
    QTest::newRow("gone backwards") << std::optional(5) << std::optional(0) << 5.0 << 0.0 << true << std::optional(0)
                                    << std::optional(5) << QStringList{};
    QTest::newRow("same level") << std::optional(4) << std::optional(4) << 4.0 << 4.0 << false << std::optional(4)
                                << std::optional(4) << QStringList{};
    QTest::newRow("no level before") << none << std::optional(7) << 7.0 << 7.0 << false << std::optional(7) << none
                                     << QStringList{"Beforedata.txt"};
    QTest::newRow("no new level") << std::optional(3) << none << 3.0 << 3.0 << false << std::optional(3) << none
                                  << QStringList{"data.txt"};
    QTest::newRow("neither") << none << none << double(NeutralLevel) << double(NeutralLevel) << false << none << none
                             << QStringList{"Beforedata.txt", "data.txt"};
}

void TestViewer::plan()
{
    QFETCH(std::optional<int>, before);
    QFETCH(std::optional<int>, after);
    QFETCH(double, from);
    QFETCH(double, to);
    QFETCH(bool, animated);
    QFETCH(std::optional<int>, shown);
    QFETCH(std::optional<int>, beforeShown);
    QFETCH(QStringList, problemFiles);

    const ViewerPlan plan =
        planViewer(readOf(before, QStringLiteral("Beforedata.txt")), readOf(after, QStringLiteral("data.txt")));
    QCOMPARE(plan.fromLevel, from);
    QCOMPARE(plan.toLevel, to);
    QCOMPARE(plan.animated(), animated);
    QCOMPARE(plan.shownLevel, shown);
    QCOMPARE(plan.beforeLevel, beforeShown);
    QCOMPARE(plan.problems.size(), problemFiles.size());
    for (qsizetype i = 0; i < problemFiles.size(); ++i)
        QVERIFY2(plan.problems.at(i).startsWith(problemFiles.at(i) + u' '), qPrintable(plan.problems.at(i)));
}

QTEST_GUILESS_MAIN(TestViewer)
#include "tst_viewer.moc"
