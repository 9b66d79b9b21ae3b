#pragma once

#include "diaryproblem.h"

#include <QDateTime>
#include <QLockFile>
#include <QString>
#include <chrono>

// Keeps two writers off one diary: the program holds it from start-up to
// exit, trimbo-diary for each read-modify-save. The lock sits beside the
// file the diary's path finally leads to, so two folders linking one diary
// share it. A lock left by a run that died, and a lock file that names no
// one (empty, cut short, garbage), is taken over; a lock made on another
// computer is only taken over when the user says so.
class DiaryLock
{
public:
    explicit DiaryLock(const QString &bookPath);

    enum class Result { Locked, HeldByAnotherCopy, HeldOnAnotherHost, CannotLock };
    // One try.
    Result acquire();
    // Tries again while another copy on this computer holds the lock, until
    // it is free or wait has passed.
    Result acquireWaiting(std::chrono::milliseconds wait);
    // Removes a lock made on another computer and takes it.
    Result takeOver();
    bool isLocked() const { return m_lock.isLocked(); }

    QString lockPath() const { return m_path; }
    // After HeldByAnotherCopy or HeldOnAnotherHost, who holds the lock: a
    // problem of the given code about the diary, naming the program, its
    // computer, since when and the lock file, and its process.
    DiaryProblem held(DiaryError code, const QString &bookPath) const;
    // After CannotLock, why.
    DiaryProblem whyNotLocked() const { return m_why; }

private:
    Result heldOrFailed();

    QString m_path;
    QLockFile m_lock;
    QStringList m_holder; // program, computer, since
    qint64 m_holderProcess = 0;
    DiaryProblem m_why;
};
