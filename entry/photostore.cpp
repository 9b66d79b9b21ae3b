#include "photostore.h"

#include "photofile.h"
#include "picturecheck.h"
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

LoadedPicture unreadable(const QString &path, const FileReason &reason)
{
    return {{}, PictureProblem(PictureError::Unreadable, path, {}, 0, 0, reason)};
}

// Why Qt could not decode a picture: data it does not take for a picture
// needs no more words; anything else is said with Qt's own.
FileReason undecodable(const QImageReader &reader)
{
    const QImageReader::ImageReaderError error = reader.error();
    if (error == QImageReader::InvalidDataError || error == QImageReader::UnsupportedFormatError)
        return {FileProblem::NotAPicture};
    return {FileProblem::NotAPicture, reader.errorString()};
}

// A stored photo that is no usable file, as a picture that gives no image.
PictureProblem unusableStoredPhoto(const QString &path, const PhotoProblem &problem)
{
    switch (problem.code) {
    case PhotoError::TooLarge: return {PictureError::TooLarge, path, {}, problem.number};
    case PhotoError::Unreachable: return {PictureError::Unreadable, path, {}, 0, 0, problem.reason};
    case PhotoError::FolderMissing: return {PictureError::Unreadable, path, {}, 0, 0, FileReason{FileProblem::Missing}};
    default: return {PictureError::NotAFile, path};
    }
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

PictureFailure photoRoomProblem(const QString &path, const QString &pictureDir)
{
    const QSize size = QImageReader(path).size();
    // The folder may be missing (a save makes it): its disk is its parent's.
    const QStorageInfo disk(QFileInfo::exists(pictureDir) ? pictureDir
                                                          : QFileInfo(QDir::cleanPath(pictureDir)).absolutePath());
    if (!size.isValid() || !disk.isValid() || photoFileSize(size) <= disk.bytesAvailable())
        return std::nullopt;
    return PictureProblem(PictureError::NoRoom, path,
                          {QString::number(size.width()), QString::number(size.height()), pictureDir},
                          photoFileSize(size), disk.bytesAvailable());
}

LoadedPicture loadPicture(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(path, reasonOfFile(file));
    // A file this large is no day photo, and reading it whole would only fill the memory.
    if (decodingLimit() > 0 && file.size() > decodingLimit())
        return {{}, PictureProblem(PictureError::TooLarge, path, {}, file.size())};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(path, reasonOfFile(file));
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
        return {{},
                PictureProblem(PictureError::TooManyPixels, path,
                               {QString::number(declared.width()), QString::number(declared.height())})};
    // Qt turns a picture that stops early into half a picture without a word.
    if (isCutShort(bytes))
        return unreadable(path, {FileProblem::CutShort});
    if (image.isNull())
        return unreadable(path, undecodable(reader));
    return {std::move(image), std::nullopt};
}

LoadedPicture loadStoredPhoto(const QString &pictureDir, const QString &reference)
{
    const PhotoFileRead read =
        readPhotoFile(pictureDir, reference, decodingLimit() > 0 ? decodingLimit() : MaxPhotoBytes);
    switch (read.check.status) {
    case PhotoFileCheck::Usable: return pictureFromBytes(read.check.path, read.bytes);
    case PhotoFileCheck::Missing: return {};
    default: return {{}, unusableStoredPhoto(pictureDir + reference, *read.check.problem)};
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
            change.error = PictureProblem(PictureError::IconUnreadable, reference);
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

PictureFailure PhotoWriter::stage()
{
    if (m_change.action != PhotoChange::Write)
        return std::nullopt;
    // The photo folder may have been removed or never made.
    const QString folder = QFileInfo(m_change.target).absolutePath();
    QDir().mkpath(folder);
    m_file = std::make_unique<QSaveFile>(m_change.target);
    if (openForReplacing(*m_file) && m_file->write(m_change.bitmap) == m_change.bitmap.size())
        return std::nullopt;
    const FileReason reason = writeFailure(folder, m_change.bitmap.size(), reasonOfFile(*m_file));
    m_file.reset();
    return PictureProblem(PictureError::NotStaged, m_change.target, {}, 0, 0, reason);
}

PictureFailure PhotoWriter::commit()
{
    switch (m_change.action) {
    case PhotoChange::Nothing: return std::nullopt;
    case PhotoChange::Delete:
        if (QFile::remove(m_change.target) || !QFileInfo::exists(m_change.target))
            return std::nullopt;
        return PictureProblem(PictureError::NotDeleted, m_change.target);
    case PhotoChange::Write:
        if (m_file && m_file->commit())
            return std::nullopt;
        return PictureProblem(PictureError::NotCommitted, m_change.target);
    }
    return PictureProblem(PictureError::NotCommitted, m_change.target);
}
