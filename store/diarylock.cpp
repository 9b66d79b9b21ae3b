#include "diarylock.h"

DiaryLock::DiaryLock(const QString &bookPath) : m_lock(bookPath + QStringLiteral(".lock"))
{
    // Never stale by age: only a lock whose process is gone is taken over.
    m_lock.setStaleLockTime(0);
}

DiaryLock::Result DiaryLock::acquire()
{
    if (m_lock.tryLock(0))
        return Result::Locked;
    return m_lock.error() == QLockFile::LockFailedError ? Result::HeldByAnotherCopy : Result::CannotLock;
}
