#include "photostore.h"

#include "photofile.h"
#include "picturecheck.h"
#include "problemwording.h"
#include "replacefile.h"
#include "systemreason.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <QStorageInfo>

QString photoName(QDate day)
{
    return day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".bmp");
}

namespace {

// The kinds of picture a day photo is made from, by their file extension.
const QStringList storableSuffixes{QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"),
                                   QStringLiteral("gif"), QStringLiteral("png"), QStringLiteral("ico")};

} // namespace

QString pictureFilter()
{
    QStringList patterns;
    for (const QString &suffix : storableSuffixes)
        patterns << QStringLiteral("*.") + suffix << QStringLiteral("*.") + suffix.toUpper();
    return QStringLiteral("画像ファイル (%1)").arg(patterns.join(u' '));
}

bool isStorablePicture(const QString &path)
{
    return storableSuffixes.contains(QFileInfo(path).suffix().toLower());
}

namespace {

LoadedPicture pictureProblem(const QString &path, const QString &problem)
{
    return {{}, QStringLiteral("画像を読み込めません: %1\r\n(%2)").arg(path, problem)};
}

// Why Qt could not decode a picture: data it does not take for a picture is
// said in our words; anything else adds Qt's own.
QString unreadablePicture(const QImageReader &reader)
{
    const QImageReader::ImageReaderError error = reader.error();
    if (error == QImageReader::InvalidDataError || error == QImageReader::UnsupportedFormatError)
        return problemText(FileReason{FileProblem::NotAPicture, {}});
    return QStringLiteral("%1 (%2)").arg(problemText(FileReason{FileProblem::NotAPicture, {}}), reader.errorString());
}

// Qt's limit on the memory of one decoded picture, in bytes; 0 for none.
qint64 decodingLimit()
{
    return qint64(QImageReader::allocationLimit()) * 1024 * 1024;
}

// Whether a picture Qt refused was too large for it: Qt counts four bytes
// a pixel against its limit, whatever the format.
bool beyondDecodingLimit(QSize size)
{
    const qint64 limit = decodingLimit();
    return limit > 0 && size.isValid() && qint64(size.width()) * size.height() > limit / 4;
}

} // namespace

qint64 photoFileSize(QSize size)
{
    constexpr qint64 headers = 54;
    const qint64 rowBytes = (qint64(size.width()) * 3 + 3) / 4 * 4;
    return headers + rowBytes * size.height();
}

QString photoRoomProblem(const QString &path, const QString &pictureDir)
{
    const QSize size = QImageReader(path).size();
    // The folder may be missing (a save makes it): its disk is its parent's.
    const QStorageInfo disk(QFileInfo::exists(pictureDir) ? pictureDir
                                                          : QFileInfo(QDir::cleanPath(pictureDir)).absolutePath());
    if (!size.isValid() || !disk.isValid() || photoFileSize(size) <= disk.bytesAvailable())
        return {};
    constexpr qint64 megabyte = 1024 * 1024;
    return QStringLiteral("画像が大きすぎます: %1\r\n%2 × %3 ピクセルの写真は保存すると %4 MB になり、"
                          "写真のフォルダー \"%5\" のディスクの空き (%6 MB) に入りません。")
        .arg(path)
        .arg(size.width())
        .arg(size.height())
        .arg((photoFileSize(size) + megabyte - 1) / megabyte)
        .arg(pictureDir)
        .arg(disk.bytesAvailable() / megabyte);
}

LoadedPicture loadPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return pictureProblem(path, problemText(reasonOfFile(file)));
    // A file this large is no day photo, and reading it whole would only fill the memory.
    if (decodingLimit() > 0 && file.size() > decodingLimit())
        return pictureProblem(path, problemText(PhotoProblem{PhotoError::TooLarge, path, {}, file.size()}));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return pictureProblem(path, problemText(reasonOfFile(file)));
    return pictureFromBytes(path, bytes);
}

LoadedPicture pictureFromBytes(const QString &path, const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer, QFileInfo(path).suffix().toLatin1());
    const QSize bitmapSize = bitmapHeaderSize(bytes);
    const QSize declared = bitmapSize.isValid() ? bitmapSize : reader.size();
    QImage image = reader.read();
    if (image.isNull() && beyondDecodingLimit(declared))
        return pictureProblem(
            path, QStringLiteral("画像が大きすぎます: %1 × %2 ピクセル").arg(declared.width()).arg(declared.height()));
    // Qt turns a picture that stops early into half a picture without a word.
    if (isCutShort(bytes))
        return pictureProblem(path, problemText(FileReason{FileProblem::CutShort, {}}));
    if (image.isNull())
        return pictureProblem(path, unreadablePicture(reader));
    return {std::move(image), {}};
}

LoadedPicture loadStoredPhoto(const QString &pictureDir, const QString &reference)
{
    const PhotoFileRead read =
        readPhotoFile(pictureDir, reference, decodingLimit() > 0 ? decodingLimit() : MaxPhotoBytes);
    switch (read.check.status) {
    case PhotoFileCheck::Usable: return pictureFromBytes(read.check.path, read.bytes);
    case PhotoFileCheck::Missing: return {};
    default: return pictureProblem(pictureDir + reference, problemText(*read.check.problem));
    }
}

namespace {

QByteArray bitmapBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.convertToFormat(QImage::Format_RGB888).save(&buffer, "BMP");
    return bytes;
}

// An icon drawn at its own size onto a white bitmap of that size.
QImage iconBitmap(const QString &path)
{
    const QImage icon(path, "ICO");
    if (icon.isNull())
        return {};
    QImage bitmap(icon.size(), QImage::Format_RGB888);
    bitmap.fill(Qt::white);
    QPainter(&bitmap).drawImage(0, 0, icon);
    return bitmap;
}

} // namespace

PhotoChange planPhotoChange(int mode, const QString &reference, const QImage &shown, QDate day,
                            const QString &pictureDir)
{
    PhotoChange change;
    change.target = pictureDir + photoName(day);
    if (mode == 1) {
        change.action = QFileInfo::exists(change.target) ? PhotoChange::Delete : PhotoChange::Nothing;
        return change;
    }
    // An icon is drawn again from its file; every other picture is stored as
    // it is shown, so that the photo on screen is the photo saved.
    const QString extension = QLatin1Char('.') + QFileInfo(reference).suffix().toUpper();
    if (extension == u".ICO") {
        const QImage icon = iconBitmap(reference);
        if (icon.isNull()) {
            change.error = QStringLiteral("アイコンを読み込めません: %1").arg(reference);
            return change;
        }
        change.action = PhotoChange::Write;
        change.bitmap = bitmapBytes(icon);
    } else {
        change.action = PhotoChange::Write;
        change.bitmap = bitmapBytes(shown);
    }
    change.reference = photoName(day);
    return change;
}

PhotoChange keepPhoto(const QString &reference)
{
    PhotoChange change;
    change.reference = reference;
    return change;
}

PhotoWriter::PhotoWriter(PhotoChange change) : m_change(std::move(change)) {}

PhotoWriter::~PhotoWriter() = default;

bool PhotoWriter::stage(QString *error)
{
    if (m_change.action != PhotoChange::Write)
        return true;
    // The photo folder may have been removed or never made.
    const QString folder = QFileInfo(m_change.target).absolutePath();
    QDir().mkpath(folder);
    m_file = std::make_unique<QSaveFile>(m_change.target);
    if (openForReplacing(*m_file) && m_file->write(m_change.bitmap) == m_change.bitmap.size())
        return true;
    *error =
        QStringLiteral("写真 %1 を保存できません (%2)")
            .arg(m_change.target, problemText(writeFailure(folder, m_change.bitmap.size(), reasonOfFile(*m_file))));
    m_file.reset();
    return false;
}

bool PhotoWriter::commit(QString *error)
{
    switch (m_change.action) {
    case PhotoChange::Nothing: return true;
    case PhotoChange::Delete:
        if (QFile::remove(m_change.target) || !QFileInfo::exists(m_change.target))
            return true;
        *error = QStringLiteral("写真 %1 を削除できません").arg(m_change.target);
        return false;
    case PhotoChange::Write:
        if (m_file && m_file->commit())
            return true;
        *error = QStringLiteral("写真 %1 を保存できません").arg(m_change.target);
        return false;
    }
    return false;
}
