#include "photofile.h"

#include "systemreason.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

PhotoFileCheck failure(PhotoFileCheck::Status status, PhotoProblem problem)
{
    return {status, {}, std::move(problem)};
}

PhotoFileCheck systemFailure(int error)
{
    if (error == ENOENT)
        return {PhotoFileCheck::Missing, {}, std::nullopt};
    if (error == ELOOP)
        return failure(PhotoFileCheck::NotAFile, {PhotoError::Link});
    return failure(PhotoFileCheck::Unreachable, {PhotoError::Unreachable, {}, {}, 0, 0, reasonOfError(error)});
}

// What the status of a file (not followed if a link) says of it as a photo.
PhotoFileCheck judge(const struct stat &status, const QString &path, qint64 maxBytes)
{
    if (S_ISLNK(status.st_mode))
        return failure(PhotoFileCheck::NotAFile, {PhotoError::Link});
    if (!S_ISREG(status.st_mode))
        return failure(PhotoFileCheck::NotAFile, {PhotoError::NotAFile});
    if (status.st_size > maxBytes)
        return failure(PhotoFileCheck::TooLarge, {PhotoError::TooLarge, {}, {}, qint64(status.st_size)});
    return {PhotoFileCheck::Usable, path, std::nullopt};
}

} // namespace

bool isPhotoFileName(QStringView reference)
{
    return !reference.isEmpty() && reference != u"." && reference != u".." && !reference.contains(u'/')
           && !reference.contains(u'\\') && !reference.contains(QChar(0));
}

PhotoFileCheck checkPhotoFile(const QString &pictureDir, const QString &reference, qint64 maxBytes)
{
    if (!isPhotoFileName(reference))
        return failure(PhotoFileCheck::BadName, {PhotoError::BadName});
    const QString path = pictureDir + reference;
    struct stat status
    {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0)
        return judge(status, path, maxBytes);
    const int error = errno;
    // A photo is gone only when its folder is there to say so; a folder away
    // (a drive not mounted, say) tells nothing of the photo.
    struct stat folder
    {};
    const QByteArray folderName = QFile::encodeName(pictureDir);
    if (error == ENOENT && (::stat(folderName.constData(), &folder) != 0 || !S_ISDIR(folder.st_mode)))
        return failure(PhotoFileCheck::Unreachable, {PhotoError::FolderMissing, pictureDir});
    return systemFailure(error);
}

PhotoFileRead readPhotoFile(const QString &pictureDir, const QString &reference, qint64 maxBytes)
{
    PhotoFileCheck check = checkPhotoFile(pictureDir, reference, maxBytes);
    if (check.status != PhotoFileCheck::Usable)
        return {check, {}};
    // The file may have changed since it was looked at: what is opened is judged again.
    const int fd = ::open(QFile::encodeName(check.path).constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {systemFailure(errno), {}};
    struct stat status
    {};
    if (::fstat(fd, &status) != 0)
        check = systemFailure(errno);
    else
        check = judge(status, check.path, maxBytes);
    QByteArray bytes;
    if (check.status == PhotoFileCheck::Usable) {
        bytes.resize(qsizetype(status.st_size));
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                check = systemFailure(errno);
                break;
            }
            if (got == 0)
                break; // shorter than it said: the decoder judges what is there
            done += got;
        }
        bytes.truncate(done);
    }
    ::close(fd);
    return {check, check.status == PhotoFileCheck::Usable ? bytes : QByteArray()};
}

std::vector<PhotoProblem> unusablePhotoReferences(const DiaryTable &diary, const QString &pictureDir, qint64 maxBytes)
{
    std::vector<PhotoProblem> found;
    for (int row = 1; row <= diary.rowCount(); ++row) {
        const QString reference = diary.cell(row, DiaryColumn::Photo).toText();
        if (reference.isEmpty())
            continue;
        const PhotoFileCheck check = checkPhotoFile(pictureDir, reference, maxBytes);
        if (check.problem) {
            PhotoProblem problem = *check.problem;
            problem.names = {diary.cell(row, DiaryColumn::Date).toText(), reference};
            found.push_back(std::move(problem));
        }
    }
    return found;
}
