#include "datetext.h"
#include "entryrules.h"
#include "exchange.h"
#include "helpers.h"
#include "photostore.h"
#include "picturecheck.h"

#include <QBuffer>
#include <QImageWriter>
#include <QImageReader>
#include <QtEndian>

#include <QImage>
#include <QTest>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

DiaryRow day(QDate date, const QString &weight)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    if (!weight.isEmpty())
        row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight.toDouble());
    return row;
}

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void levels_data();
    void levels();
    void zeroValueLooksBack();
    void levelWaitsForTheSettings();
    void exchangeFileIsRewrittenNeverCreated();
    void steps_data();
    void steps();
    void measurementsToSave();
    void photoOfAJpegKeepsItsSize();
    void photoExtensionIgnoresCase();
    void clearedPhotoIsDeleted();
    void iconKeepsItsOwnSize();
    void wholePicturesAreNotCutShort();
    void badPicturesAreReported_data();
    void badPicturesAreReported();
    void wholePicturesOfEachFormatLoad();
    void sizeLimitIsQtsOwn();
};

void TestEntry::levels_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("goal");
    QTest::addColumn<double>("current");
    QTest::addColumn<int>("level");
    const QList<std::pair<double, int>> rows{{80, 1},  {79, 1},  {78, 2},   {75, 5},
                                             {70, 10}, {65, 10}, {80.5, 1}, {81, 0}};
    for (const auto &[current, level] : rows)
        QTest::addRow("80 to 70, now %g", current) << 80.0 << 70.0 << current << level;
    QTest::newRow("start equals goal") << 70.0 << 70.0 << 60.0 << 1;
    QTest::newRow("body fat 25 to 20, now 22.5") << 25.0 << 20.0 << 22.5 << 5;
}

void TestEntry::levels()
{
    QFETCH(double, start);
    QFETCH(double, goal);
    QFETCH(double, current);
    QFETCH(int, level);
    QCOMPARE(levelForProgress(start, goal, current), level);
}

void TestEntry::zeroValueLooksBack()
{
    const DiaryTable diary({day(QDate(2010, 1, 1), "76"), day(QDate(2010, 1, 2), ""), day(QDate(2010, 1, 5), "74")});
    QCOMPARE(ZeroValue(diary, Measure::Weight, QDate(2010, 1, 3), "80"), std::optional(76.0));
    QCOMPARE(ZeroValue(diary, Measure::Weight, QDate(2010, 1, 5), "80"), std::optional(74.0)); // the same day counts
    QCOMPARE(ZeroValue(diary, Measure::Weight, QDate(2009, 12, 31), "80"), std::optional(80.0));
    QCOMPARE(ZeroValue(DiaryTable(), Measure::Fat, QDate(2010, 1, 3), "x"), std::nullopt);
    // A day whose date the sheet keeps as text is a day like any other.
    DiaryRow typed = day(QDate(2010, 1, 3), "75");
    typed[columnIndex(DiaryColumn::Date)] = CellValue::text("2010/01/03");
    const DiaryTable withText({day(QDate(2010, 1, 1), "76"), typed});
    QCOMPARE(ZeroValue(withText, Measure::Weight, QDate(2010, 1, 4), "80"), std::optional(75.0));

    // Start 80, goal 70, the field showing 0: judged on the 76 recorded before.
    const Judgement judged = judgeLevel({"80", "70", "0", "", ""}, diary, Measure::Weight, QDate(2010, 1, 3));
    QCOMPARE(judged.level, std::optional(4));
    // No weight recorded at all: judged on the start value.
    QCOMPARE(judgeLevel({"80", "70", "", "", ""}, DiaryTable(), Measure::Weight, QDate(2010, 1, 3)).level,
             std::optional(1));
}

void TestEntry::levelWaitsForTheSettings()
{
    const Judgement unset = judgeLevel({"", "70", "75", "開始", "目標"}, DiaryTable(), Measure::Weight, QDate());
    QCOMPARE(unset.level, std::nullopt);
    QVERIFY(unset.problem.isEmpty());
    const Judgement broken =
        judgeLevel({"80", "seventy", "75", "開始", "目標"}, DiaryTable(), Measure::Weight, QDate());
    QCOMPARE(broken.level, std::nullopt);
    QVERIFY(broken.problem.contains("目標") && broken.problem.contains("seventy"));
}

void TestEntry::exchangeFileIsRewrittenNeverCreated()
{
    TempProgramFolder folder;
    QVERIFY(WriteText("7", folder.filePath("data.txt")));
    QVERIFY(!QFileInfo::exists(folder.filePath("data.txt")));
    folder.write("data.txt", "10\r\nold lines\r\n");
    QVERIFY(WriteText("7", folder.filePath("data.txt")));
    QCOMPARE(folder.read("data.txt"), QByteArray("7\r\n"));
}

void TestEntry::steps_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("up");
    QTest::addColumn<bool>("ceiling");
    QTest::addColumn<std::optional<QString>>("result");
    QTest::newRow("60 up") << "60" << true << false << std::optional<QString>("60.1");
    QTest::newRow("60.25 up") << "60.25" << true << false << std::optional<QString>("60.35");
    QTest::newRow("60.1 down") << "60.1" << false << false << std::optional<QString>("60");
    QTest::newRow("body fat 99.95 up") << "99.95" << true << true << std::optional<QString>("100.05");
    QTest::newRow("body fat 100.05 up") << "100.05" << true << true << std::optional<QString>();
    QTest::newRow("weight 150 up") << "150" << true << false << std::optional<QString>("150.1");
    QTest::newRow("0.05 down") << "0.05" << false << false << std::optional<QString>("-0.05");
    QTest::newRow("-0.05 down") << "-0.05" << false << false << std::optional<QString>();
    QTest::newRow("0 does nothing") << "0" << true << false << std::optional<QString>();
    QTest::newRow("empty does nothing") << "" << true << false << std::optional<QString>();
    QTest::newRow("words do nothing") << "abc" << false << false << std::optional<QString>();
}

void TestEntry::steps()
{
    QFETCH(QString, text);
    QFETCH(bool, up);
    QFETCH(bool, ceiling);
    QFETCH(std::optional<QString>, result);
    QCOMPARE(stepMeasurement(text, up ? Step::Up : Step::Down, ceiling), result);
}

void TestEntry::measurementsToSave()
{
    QVERIFY(measurementProblem("", WeightBounds).isEmpty());
    QVERIFY(measurementProblem("0", WeightBounds).isEmpty());
    QVERIFY(measurementProblem("65.5", WeightBounds).isEmpty());
    QVERIFY(measurementProblem("1000", WeightBounds).isEmpty());
    QVERIFY(measurementProblem("100", FatBounds).isEmpty());
    QVERIFY(measurementProblem("65kg", WeightBounds).startsWith("体重の値「65kg」は数値ではありません。"));
    QVERIFY(measurementProblem("1000.1", WeightBounds).contains("体重は 0 から 1000 kg までの数値です。"));
    QVERIFY(measurementProblem("-1", FatBounds).contains("体脂肪率は 0 から 100 % までの数値です。"));
}

void TestEntry::photoOfAJpegKeepsItsSize()
{
    TempProgramFolder folder;
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(200, 40, 40));
    QDir().mkpath(folder.filePath("Picture"));
    QVERIFY(picture.save(folder.filePath("meal.jpg"), "JPG"));
    const LoadedPicture loaded = loadPicture(folder.filePath("meal.jpg"));
    QVERIFY(loaded.error.isEmpty());

    const PhotoChange change =
        planPhotoChange(0, folder.filePath("meal.jpg"), loaded.image, QDate(2010, 1, 25), folder.filePath("Picture/"));
    QCOMPARE(change.reference, QString("20100125.bmp"));
    QString error;
    PhotoWriter writer(change);
    QVERIFY(writer.stage(&error));
    QVERIFY(!QFileInfo::exists(folder.filePath("Picture/20100125.bmp"))); // not before the commit
    QVERIFY(writer.commit(&error));
    const QImage stored(folder.filePath("Picture/20100125.bmp"), "BMP");
    QCOMPARE(stored.size(), QSize(640, 480));
    QVERIFY(folder.read("Picture/20100125.bmp").startsWith("BM"));
}

void TestEntry::photoExtensionIgnoresCase()
{
    QImage picture(10, 10, QImage::Format_RGB32);
    for (const char *name : {"a.jpg", "a.JPG", "a.Jpeg", "a.gif", "a.bmp", "a.png", "a.PNG"})
        QCOMPARE(planPhotoChange(0, name, picture, QDate(2010, 1, 1), "/x/").action, PhotoChange::Write);
    // A picture shown from a reference of any other kind is stored as shown, never dropped.
    const PhotoChange other = planPhotoChange(0, "a.tif", picture, QDate(2010, 1, 1), "/x/");
    QCOMPARE(other.action, PhotoChange::Write);
    QCOMPARE(other.reference, QString("20100101.bmp"));
    // A reference that is the stored name itself rewrites the day's file from the thumbnail.
    QCOMPARE(planPhotoChange(0, "20100101.bmp", picture, QDate(2010, 1, 1), "/x/").action, PhotoChange::Write);
}

void TestEntry::clearedPhotoIsDeleted()
{
    TempProgramFolder folder;
    folder.write("Picture/20100125.bmp", "BM old");
    const PhotoChange change =
        planPhotoChange(1, "whatever.jpg", QImage(), QDate(2010, 1, 25), folder.filePath("Picture/"));
    QCOMPARE(change.action, PhotoChange::Delete);
    QVERIFY(change.reference.isEmpty());
    QString error;
    PhotoWriter writer(change);
    QVERIFY(writer.stage(&error));
    QVERIFY(QFileInfo::exists(folder.filePath("Picture/20100125.bmp")));
    QVERIFY(writer.commit(&error));
    QVERIFY(!QFileInfo::exists(folder.filePath("Picture/20100125.bmp")));
    QCOMPARE(planPhotoChange(1, "", QImage(), QDate(2010, 1, 25), folder.filePath("Picture/")).action,
             PhotoChange::Nothing);
}

void TestEntry::iconKeepsItsOwnSize()
{
    TempProgramFolder folder;
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(QColor(0, 0, 255, 255));
    QVERIFY(icon.save(folder.filePath("face.ico"), "ICO"));
    QDir().mkpath(folder.filePath("Picture"));
    const PhotoChange change = planPhotoChange(0, folder.filePath("face.ico"), QImage(55, 31, QImage::Format_RGB32),
                                               QDate(2010, 1, 25), folder.filePath("Picture/"));
    QString error;
    PhotoWriter writer(change);
    QVERIFY(writer.stage(&error) && writer.commit(&error));
    QCOMPARE(QImage(folder.filePath("Picture/20100125.bmp"), "BMP").size(), QSize(32, 32));
}

namespace {

QImage pattern(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
    return image;
}

QByteArray encoded(const QImage &image, const char *format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

QByteArray encoded(const char *format, QSize size = {40, 30})
{
    return encoded(pattern(size), format);
}

// The same bitmap stored top row first, as a negative height says.
QByteArray topDownBitmap()
{
    QByteArray bytes = encoded("BMP");
    qToLittleEndian<qint32>(-qFromLittleEndian<qint32>(bytes.constData() + 22), bytes.data() + 22);
    return bytes;
}

// A one-pixel GIF (Qt reads GIF but cannot write it).
const QByteArray onePixelGif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00!\xf9\x04\x01\x00\x00\x00\x00"
                             ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                             43);

// Two frames of one pixel behind a looping extension, as animations are.
const QByteArray twoFrameGif =
    QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00", 19)
    + QByteArray("!\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19)
    + QByteArray("!\xf9\x04\x00\x0a\x00\x00\x00,\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00", 23)
          .repeated(2)
    + ";";

// A JPEG whose frame header claims the given size.
QByteArray jpegClaiming(QSize size)
{
    QByteArray bytes = encoded("JPEG");
    const qsizetype frame = bytes.indexOf("\xFF\xC0");
    qToBigEndian<quint16>(size.height(), bytes.data() + frame + 5);
    qToBigEndian<quint16>(size.width(), bytes.data() + frame + 7);
    return bytes;
}

QByteArray bitmapHeaderClaiming(QSize size)
{
    QByteArray bytes = encoded("BMP", {2, 2});
    qToLittleEndian<qint32>(size.width(), bytes.data() + 18);
    qToLittleEndian<qint32>(size.height(), bytes.data() + 22);
    return bytes;
}

} // namespace

void TestEntry::wholePicturesAreNotCutShort()
{
    const QList<QByteArray> wholes{encoded("BMP"),
                                   encoded(pattern({40, 30}).convertToFormat(QImage::Format_Indexed8), "BMP"),
                                   topDownBitmap(),
                                   encoded("JPEG"),
                                   encoded(pattern({40, 30}), "JPEG", true),
                                   onePixelGif,
                                   twoFrameGif};
    for (const QByteArray &whole : wholes) {
        QVERIFY(!isCutShort(whole));
        // Every cut from just past the signature to one byte short.
        for (qsizetype length = 6; length < whole.size(); ++length)
            QVERIFY2(isCutShort(whole.left(length)), qPrintable(QString::number(length)));
    }
    // Bytes after a JPEG's end (a camera's trailer, say) are no cut.
    QVERIFY(!isCutShort(encoded("JPEG") + QByteArray(300, '\x11')));
    // A PNG is left to its decoder, which refuses a cut one itself.
    QVERIFY(!isCutShort(encoded("PNG").left(100)));
    QCOMPARE(bitmapHeaderSize(encoded("BMP")), QSize(40, 30));
    QVERIFY(!bitmapHeaderSize(encoded("PNG")).isValid());
}

void TestEntry::badPicturesAreReported_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("problem");
    QTest::newRow("not a picture") << "broken.jpg" << QByteArray("not a picture at all")
                                   << "画像ファイルとして読めません";
    QTest::newRow("empty") << "empty.bmp" << QByteArray() << "画像ファイルとして読めません";
    QTest::newRow("cut bitmap") << "cut.bmp" << encoded("BMP").chopped(100) << "途中で切れています";
    QTest::newRow("cut JPEG") << "cut.jpg" << encoded("JPEG").chopped(40) << "途中で切れています";
    QTest::newRow("cut GIF") << "cut.gif" << onePixelGif.chopped(3) << "途中で切れています";
    QTest::newRow("cut PNG") << "cut.png" << encoded("PNG").chopped(40) << "画像ファイルとして読めません";
    QTest::newRow("huge bitmap") << "huge.bmp" << bitmapHeaderClaiming({20000, 20000})
                                 << "画像が大きすぎます: 20000 × 20000 ピクセル";
    QTest::newRow("huge bitmap at the integer limit")
        << "huger.bmp" << bitmapHeaderClaiming({INT32_MAX, INT32_MAX}) << "画像が大きすぎます";
    QTest::newRow("huge JPEG") << "huge.jpg" << jpegClaiming({30000, 30000})
                               << "画像が大きすぎます: 30000 × 30000 ピクセル";
}

void TestEntry::badPicturesAreReported()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, problem);
    TempProgramFolder folder;
    folder.write(name, content);
    const LoadedPicture loaded = loadPicture(folder.filePath(name));
    QVERIFY(loaded.image.isNull());
    QVERIFY2(loaded.error.contains(folder.filePath(name)) && loaded.error.contains(problem), qPrintable(loaded.error));
}

void TestEntry::wholePicturesOfEachFormatLoad()
{
    TempProgramFolder folder;
    folder.write("a.bmp", encoded("BMP"));
    folder.write("a.jpg", encoded("JPEG"));
    folder.write("a.gif", twoFrameGif);
    folder.write("top-down.bmp", topDownBitmap());
    QCOMPARE(loadPicture(folder.filePath("a.bmp")).image.size(), QSize(40, 30));
    QCOMPARE(loadPicture(folder.filePath("a.jpg")).image.size(), QSize(40, 30));
    QCOMPARE(loadPicture(folder.filePath("a.gif")).image.size(), QSize(1, 1));
    QCOMPARE(loadPicture(folder.filePath("top-down.bmp")).image.size(), QSize(40, 30));
}

void TestEntry::sizeLimitIsQtsOwn()
{
    const int limit = QImageReader::allocationLimit();
    QImageReader::setAllocationLimit(1); // megabytes: 262,144 pixels of four bytes
    TempProgramFolder folder;
    folder.write("fits.jpg", encoded("JPEG", {512, 512}));
    folder.write("over.jpg", encoded("JPEG", {513, 512}));
    const LoadedPicture fits = loadPicture(folder.filePath("fits.jpg"));
    const LoadedPicture over = loadPicture(folder.filePath("over.jpg"));
    QImageReader::setAllocationLimit(limit);
    QCOMPARE(fits.image.size(), QSize(512, 512));
    QVERIFY2(over.error.contains("画像が大きすぎます: 513 × 512 ピクセル"), qPrintable(over.error));
}

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_entry.moc"
