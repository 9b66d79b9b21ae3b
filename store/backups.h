#pragma once

#include "diaryproblem.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// Copies of the diary kept in Backup/ beside it, each as it was before a
// save replaced it, named by the date and time it was taken
// ("Bk_Trimbo_20261207_170102.xls" for Bk_Trimbo.xls). The newest of each day
// is kept for the last 30 days, then the newest of each month; when the set
// grows past 100 MB the oldest go first.

inline constexpr int DailyBackupDays = 30;
inline constexpr qint64 BackupSizeCap = 100LL * 1024 * 1024;

struct BackupFile
{
    QString name;
    QDateTime taken;
    qint64 size = 0;
};

// The backups a rotation drops, oldest first.
QStringList backupsToDrop(std::vector<BackupFile> backups, QDate today, qint64 sizeCap = BackupSizeCap);

QString backupFolder(const QString &diaryPath);
QString backupName(const QString &diaryPath, const QDateTime &taken);
// When a file in the backup folder was taken; nullopt for a file that is no
// backup of this diary.
std::optional<QDateTime> backupTime(const QString &diaryPath, const QString &name);

// The diary's backups, oldest first.
std::vector<BackupFile> listBackups(const QString &diaryPath);

// Copies the diary as it is into the backup folder and rotates the set.
// A diary that is not there yet needs no backup. What kept the copy from
// being written, if anything; the diary itself is never touched.
DiaryFailure keepBackup(const QString &diaryPath, const QDateTime &now);

// A backup given by its name in the backup folder, or by a path.
QString backupPath(const QString &diaryPath, const QString &backup);

// Puts a backup (a name in the backup folder, or a path) back in the diary's
// place, after keeping the current diary as a backup of its own.
DiaryFailure restoreBackup(const QString &diaryPath, const QString &backup, const QDateTime &now);
