#include "diarylock.h"

#include "replacefile.h"

#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QThread>

#include <optional>
#include <sys/stat.h>

namespace {

// Which file a path names: a file removed and made again is another one.
struct FileIdentity
{
    dev_t device;
    ino_t inode;
    bool operator==(const FileIdentity &) const = default;
};

std::optional<FileIdentity> fileIdentity(const QString &path)
{
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

} // namespace

DiaryLock::DiaryLock(const QString &bookPath) : m_path(linkTarget(bookPath) + QStringLiteral(".lock")), m_lock(m_path)
{
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock.setStaleLockTime(0);
}

DiaryLock::Result DiaryLock::acquire()
{
    m_holder.clear();
    m_why = {};
    if (m_lock.tryLock(0))
        return Result::Locked;
    return heldOrFailed();
}

DiaryLock::Result DiaryLock::heldOrFailed()
{
    if (m_lock.error() != QLockFile::LockFailedError) {
        const QString folder = QFileInfo(m_path).absolutePath();
        m_why = {DiaryError::LockFolderReadOnly, folder};
        if (QFileInfo(folder).isWritable()) {
            // Qt does not say why; a full disk is the one reason found here.
            const FileReason full = writeFailure(folder, 1, {});
            m_why = {DiaryError::LockNotMade, m_path};
            if (full.problem == FileProblem::DiskFull)
                m_why.reason = full;
        }
        return Result::CannotLock;
    }
    qint64 pid = 0;
    QString host;
    QString program;
    if (!m_lock.getLockInfo(&pid, &host, &program)) {
        // A lock file names its holder a moment after it is made; the same
        // file naming no one a while later is left over (a disk that filled
        // up while it was written, a copy cut short) and is taken over. A
        // lock let go meanwhile, or made anew by the next writer, is tried
        // again instead: removing that one would let two writers save.
        const std::optional<FileIdentity> seen = fileIdentity(m_path);
        if (!seen)
            return acquire();
        QThread::msleep(50);
        if (!m_lock.getLockInfo(&pid, &host, &program)) {
            if (fileIdentity(m_path) != seen)
                return acquire();
            if (QFile::remove(m_path) || !QFileInfo::exists(m_path))
                return acquire();
            m_why = {DiaryError::LockUnreadable, m_path};
            return Result::CannotLock;
        }
    }
    const QString since = QFileInfo(m_path).lastModified().toString(QStringLiteral("yyyy/MM/dd HH:mm"));
    m_holder = {program, host, since};
    m_holderProcess = pid;
    return host == QSysInfo::machineHostName() ? Result::HeldByAnotherCopy : Result::HeldOnAnotherHost;
}

DiaryLock::Result DiaryLock::acquireWaiting(std::chrono::milliseconds wait)
{
    const auto until = std::chrono::steady_clock::now() + wait;
    for (;;) {
        const Result result = acquire();
        if (result != Result::HeldByAnotherCopy || std::chrono::steady_clock::now() >= until)
            return result;
        // Short steps, so that a writer that holds the lock for one save
        // after another cannot keep a waiting one out by chance.
        QThread::msleep(20);
    }
}

DiaryLock::Result DiaryLock::takeOver()
{
    if (!QFile::remove(m_path) && QFileInfo::exists(m_path))
        return heldOrFailed();
    return acquire();
}

DiaryProblem DiaryLock::held(DiaryError code, const QString &bookPath) const
{
    return {code, bookPath, m_holder + QStringList{m_path}, m_holderProcess};
}
