#include "replacefile.h"

#include "systemreason.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool openForReplacing(QSaveFile &file)
{
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString linkTarget(const QString &path)
{
    QFileInfo info(path);
    // A loop of links gives up after as many steps as the system would.
    for (int depth = 0; depth < 40 && info.isSymLink(); ++depth)
        info.setFile(info.symLinkTarget());
    return info.isSymLink() ? path : info.filePath();
}

FileReason writeFailure(const QString &folder, qint64 bytes, const FileReason &systemReason)
{
    const QStorageInfo disk(folder);
    // A file system keeps some room for itself, so a write can fail a little
    // before the free space reaches the file's size.
    constexpr qint64 slack = 64 * 1024;
    if (disk.isValid() && disk.bytesAvailable() < bytes + slack)
        return {FileProblem::DiskFull, {}, disk.rootPath(), disk.bytesAvailable(), bytes};
    return systemReason;
}

namespace {

// The mode a new file gets from the process's file creation mask.
mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written == 0)
            errno = EIO; // a write that takes nothing and says no reason
        if (written <= 0)
            return false;
        data += written;
        left -= written;
    }
    return true;
}

// The folder's entry for the new name reaches the disk too; a folder that
// cannot be synced loses nothing already written.
void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::optional<FileReason> replaceFile(const QString &path, const QByteArray &bytes, LinkHandling links, bool *splitLink)
{
    const QString finalPath = links == LinkHandling::ReplaceTarget ? linkTarget(path) : path;
    const QString folder = QFileInfo(finalPath).absolutePath();
    const QByteArray finalName = QFile::encodeName(finalPath);
    struct stat old
    {};
    const bool hadFile = ::lstat(finalName.constData(), &old) == 0 && S_ISREG(old.st_mode);
    QByteArray temporary = QFile::encodeName(folder + QLatin1Char('/') + QFileInfo(finalPath).fileName()) + ".XXXXXX";
    int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return writeFailure(folder, bytes.size(), reasonOfError(errno));
    const auto failed = [&](int why) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.constData());
        return writeFailure(folder, bytes.size(), reasonOfError(why));
    };
    if (!writeAll(fd, bytes) || ::fchmod(fd, hadFile ? old.st_mode & 07777 : newFileMode()) != 0)
        return failed(errno);
    // Only root may give a file away; anyone else keeps the file as theirs.
    if (hadFile && (old.st_uid != ::geteuid() || old.st_gid != ::getegid())) {
        [[maybe_unused]] const int ignored = ::fchown(fd, old.st_uid, old.st_gid);
    }
    if (::fsync(fd) != 0)
        return failed(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0 || ::rename(temporary.constData(), finalName.constData()) != 0)
        return failed(errno);
    syncFolder(folder);
    if (splitLink)
        *splitLink = hadFile && old.st_nlink > 1;
    return std::nullopt;
}
