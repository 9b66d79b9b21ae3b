#pragma once

#include <QLockFile>
#include <QString>

// Keeps a second copy of the program from writing the same diary: held from
// start-up to exit. A lock left by a run that crashed is taken over.
class DiaryLock
{
public:
    explicit DiaryLock(const QString &bookPath);

    enum class Result { Locked, HeldByAnotherCopy, CannotLock };
    Result acquire();

private:
    QLockFile m_lock;
};
