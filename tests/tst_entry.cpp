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
#include <tuple>

namespace {

DiaryRow day(QDate date, const QString &weight)
{
    DiaryRow row;
    row[columnIndex(DiaryColumn::Date)] = CellValue::date(oleDayNumber(date));
    if (!weight.isEmpty())
        row[columnIndex(DiaryColumn::Weight)] = CellValue::number(weight.toDouble());
    return row;
}

QByteArray encoded(const char *format, QSize size = {40, 30}, QImage::Format pixels = QImage::Format_RGB32,
                   bool progressive = false)
{
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, (x * y) % 256));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image.convertToFormat(pixels));
    return bytes;
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

// Its two frames (control extension, descriptor, pixels) behind a looping
// extension, as animations are.
const QByteArray twoFrameGif = onePixelGif.left(19) + QByteArray("!\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19)
                               + onePixelGif.mid(19, 23).repeated(2) + ";";

// A JPEG or a bitmap whose header claims the given size.
QByteArray claiming(const char *format, QSize size)
{
    QByteArray bytes = encoded(format, {2, 2});
    if (bytes.startsWith("BM")) {
        qToLittleEndian<qint32>(size.width(), bytes.data() + 18);
        qToLittleEndian<qint32>(size.height(), bytes.data() + 22);
    } else {
        qToBigEndian<quint16>(size.height(), bytes.data() + bytes.indexOf("\xFF\xC0") + 5);
        qToBigEndian<quint16>(size.width(), bytes.data() + bytes.indexOf("\xFF\xC0") + 7);
    }
    return bytes;
}

} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The level handed to the viewer: tenths of the way from start to goal,
    // 1 to 10, 0 once heavier than at the start. A field showing 0 or
    // nothing is judged on the value recorded on or before the day.
    void levels()
    {
        // A day whose date the sheet keeps as text is a day like any other.
        DiaryRow typed = day(QDate(2010, 1, 3), "75");
        typed[columnIndex(DiaryColumn::Date)] = CellValue::text("2010/01/03");
        const DiaryTable diary(
            {day(QDate(2010, 1, 1), "76"), day(QDate(2010, 1, 2), ""), typed, day(QDate(2010, 1, 5), "74")});
        // A level of -1: none is handed over; End: no problem.
        constexpr ExchangeError none = ExchangeError::End;
        const std::tuple<const char *, const char *, const char *, int, ExchangeError> rows[] = {
            {"80", "70", "80", 1, none},
            {"80", "70", "79", 1, none},
            {"80", "70", "78", 2, none},
            {"80", "70", "75", 5, none},
            {"80", "70", "70", 10, none},
            {"80", "70", "65", 10, none},
            {"80", "70", "80.5", 1, none},
            {"80", "70", "81", 0, none},
            {"70", "70", "60", 1, none},
            {"25", "20", "22.5", 5, none},
            {"80", "70", "0", 5, none},
            {"80", "70", "", 5, none},
            {"", "70", "75", -1, none},
            {"80", " ", "75", -1, none},
            {"80", "seventy", "75", -1, ExchangeError::GoalNotANumber},
            {"eighty", "70", "75", -1, ExchangeError::StartNotANumber}};
        for (const auto &[start, goal, current, level, problem] : rows) {
            const Judgement judged = judgeLevel({start, goal, current}, diary, Measure::Weight, QDate(2010, 1, 3));
            QVERIFY2(judged.level.value_or(-1) == level && (judged.problem ? judged.problem->code : none) == problem,
                     qPrintable(QString("%1 to %2, now %3").arg(start, goal, current)));
        }
        QCOMPARE(ZeroValue(diary, Measure::Weight, QDate(2010, 1, 2), "80"), std::optional(76.0));
        QCOMPARE(ZeroValue(diary, Measure::Weight, QDate(2009, 12, 31), "80"), std::optional(80.0));
        QCOMPARE(ZeroValue(DiaryTable(), Measure::Fat, QDate(2010, 1, 3), "x"), std::nullopt);
    }

    // The step buttons; "none" where the field stays as it is.
    void stepsAndBounds()
    {
        const std::tuple<const char *, Step, bool, const char *> rows[] = {
            {"60", Step::Up, false, "60.1"},      {"60.25", Step::Up, false, "60.35"},
            {"60.1", Step::Down, false, "60"},    {"99.95", Step::Up, true, "100.05"},
            {"100.05", Step::Up, true, "none"},   {"150", Step::Up, false, "150.1"},
            {"0.05", Step::Down, false, "-0.05"}, {"-0.05", Step::Down, false, "none"},
            {"0", Step::Up, false, "none"},       {"", Step::Up, false, "none"},
            {"abc", Step::Down, false, "none"},   {"７８．５", Step::Up, false, "78.6"}};
        for (const auto &[text, step, ceiling, result] : rows)
            QVERIFY2(stepMeasurement(text, step, ceiling).value_or("none") == result, text);
        // The values a save refuses are the core's to test; these are the edges it must take.
        for (const char *fine : {"", "0", "65.5", "1000"})
            QVERIFY2(measurementProblem(fine, WeightBounds).isEmpty(), fine);
        QVERIFY(measurementProblem("100", FatBounds).isEmpty());
    }

    // An icon is drawn again at its own size; every other picture, whatever
    // the case or kind of its extension, is stored as shown, so that the
    // photo on screen is the photo saved.
    void photoIsStoredAsShown()
    {
        TempProgramFolder folder;
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::blue);
        QVERIFY(icon.save(folder.filePath("face.ico"), "ICO"));
        QImage shown(55, 31, QImage::Format_RGB32);
        shown.fill(QColor(200, 40, 40));
        const auto stored = [&](const QString &reference) {
            const PhotoChange change = planPhotoChange(0, reference, shown, QDate(2010, 1, 25), "/x/");
            return change.reference == "20100125.bmp" ? QImage::fromData(change.bitmap, "BMP") : QImage();
        };
        for (const char *name : {"a.jpg", "a.JPG", "a.Jpeg", "a.gif", "a.bmp", "a.PNG", "a.tif", "20100125.bmp"})
            QVERIFY2(stored(name).size() == shown.size() && stored(name).pixelColor(5, 5) == shown.pixelColor(5, 5),
                     name);
        QCOMPARE(stored(folder.filePath("face.ico")).size(), QSize(32, 32));
    }

    // Qt turns a picture that stops early into half a picture without a
    // word: every cut of every layout is seen, and no whole picture is taken
    // for a cut one.
    void wholePicturesLoadAndEveryCutIsSeen()
    {
        const std::tuple<QString, QByteArray, QSize> wholes[] = {
            {"a.bmp", encoded("BMP"), {40, 30}},
            {"indexed.bmp", encoded("BMP", {40, 30}, QImage::Format_Indexed8), {40, 30}},
            {"top-down.bmp", topDownBitmap(), {40, 30}},
            {"a.jpg", encoded("JPEG"), {40, 30}},
            {"progressive.jpg", encoded("JPEG", {40, 30}, QImage::Format_RGB32, true), {40, 30}},
            {"a.gif", onePixelGif, {1, 1}},
            {"animated.gif", twoFrameGif, {1, 1}}};
        for (const auto &[name, bytes, size] : wholes) {
            const LoadedPicture loaded = pictureFromBytes(name, bytes);
            QVERIFY2(loaded.image.size() == size && !loaded.error, qPrintable(name));
            // Every cut from just past the signature to one byte short.
            for (qsizetype length = 6; length < bytes.size(); ++length)
                QVERIFY2(isCutShort(bytes.left(length)), qPrintable(name + QString::number(length)));
        }
        // Bytes after a JPEG's end (a camera's trailer, say) are no cut.
        QVERIFY(!isCutShort(encoded("JPEG") + QByteArray(300, '\x11')));
    }

    // A day's stored photo that is no usable file gives no picture and says
    // why; one that is simply gone says nothing.
    void storedPhotosThatGiveNoPicture()
    {
        TempProgramFolder folder;
        const QString pictures = folder.filePath("Picture/");
        folder.write("Picture/big.bmp", QByteArray(2 * 1024 * 1024, 'B'));
        QVERIFY(QFile::link(pictures + "big.bmp", pictures + "link.bmp"));
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1); // megabytes
        for (const auto &[name, code] : {std::pair{"big.bmp", PictureError::TooLarge},
                                         {"link.bmp", PictureError::NotAFile},
                                         {"../outside.bmp", PictureError::NotAFile}}) {
            const LoadedPicture loaded = loadStoredPhoto(pictures, name);
            QVERIFY2(loaded.image.isNull() && loaded.error && loaded.error->code == code
                         && loaded.error->path == pictures + name,
                     name);
        }
        QImageReader::setAllocationLimit(limit);
        QVERIFY(!loadStoredPhoto(pictures, "gone.bmp").error);
    }

    // Each named with its file, and the reason or the size claimed.
    void badPicturesAreReported()
    {
        constexpr auto unreadable = PictureError::Unreadable, tooMany = PictureError::TooManyPixels;
        constexpr auto notAPicture = FileProblem::NotAPicture, cut = FileProblem::CutShort;
        const std::tuple<QString, QByteArray, PictureError, FileProblem, QStringList> rows[] = {
            {"broken.jpg", "not a picture at all", unreadable, notAPicture, {}},
            {"empty.bmp", "", unreadable, notAPicture, {}},
            {"cut.bmp", encoded("BMP").chopped(100), unreadable, cut, {}},
            {"cut.jpg", encoded("JPEG").chopped(40), unreadable, cut, {}},
            {"cut.gif", onePixelGif.chopped(3), unreadable, cut, {}},
            {"cut.png", encoded("PNG").chopped(40), unreadable, notAPicture, {}}, // left to its own decoder
            {"huge.bmp", claiming("BMP", {20000, 20000}), tooMany, {}, {"20000", "20000"}},
            {"huger.bmp", claiming("BMP", {INT32_MAX, INT32_MAX}), tooMany, {}, {"2147483647", "2147483647"}},
            {"huge.jpg", claiming("JPEG", {30000, 30000}), tooMany, {}, {"30000", "30000"}},
        };
        TempProgramFolder folder;
        for (const auto &[name, content, code, reason, names] : rows) {
            folder.write(name, content);
            const LoadedPicture loaded = loadPicture(folder.filePath(name));
            QVERIFY2(loaded.image.isNull() && loaded.error && loaded.error->path == folder.filePath(name)
                         && loaded.error->code == code && loaded.error->names == names
                         && (code != unreadable || loaded.error->reason.value_or(FileReason()).problem == reason),
                     qPrintable(name));
        }
        // The limit on size is Qt's own, whatever it is set to.
        const int limit = QImageReader::allocationLimit();
        QImageReader::setAllocationLimit(1); // megabytes: 262,144 pixels of four bytes
        const LoadedPicture fits = pictureFromBytes("fits.jpg", encoded("JPEG", {512, 512}));
        const LoadedPicture over = pictureFromBytes("over.jpg", encoded("JPEG", {513, 512}));
        QImageReader::setAllocationLimit(limit);
        QCOMPARE(fits.image.size(), QSize(512, 512));
        QVERIFY(over.error && over.error->code == PictureError::TooManyPixels);
        QCOMPARE(over.error->names, QStringList({"513", "512"}));
    }
};

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_entry.moc"
