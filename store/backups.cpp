#include "backups.h"

#include "replacefile.h"
#include "systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <map>
#include <variant>

namespace {

const QString TimeFormat = QStringLiteral("yyyyMMdd_HHmmss");

QString stem(const QString &diaryPath)
{
    return QFileInfo(diaryPath).completeBaseName() + u'_';
}

QString suffix(const QString &diaryPath)
{
    const QString s = QFileInfo(diaryPath).suffix();
    return s.isEmpty() ? QString() : u'.' + s;
}

std::variant<QByteArray, DiaryProblem> readWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DiaryProblem{DiaryError::BackupNotRead, path, {}, 0, 0, reasonOfFile(file)};
    return file.readAll();
}

DiaryFailure writeBackup(const QString &path, const QByteArray &bytes)
{
    if (const std::optional<FileReason> why = replaceFile(path, bytes))
        return DiaryProblem{DiaryError::BackupNotWritten, path, {}, 0, 0, why};
    return std::nullopt;
}

void rotate(const QString &diaryPath, const QDate today)
{
    QDir folder(backupFolder(diaryPath));
    for (const QString &name : backupsToDrop(listBackups(diaryPath), today))
        folder.remove(name);
}

} // namespace

QStringList backupsToDrop(std::vector<BackupFile> backups, QDate today, qint64 sizeCap)
{
    std::sort(backups.begin(), backups.end(),
              [](const BackupFile &a, const BackupFile &b) { return a.taken > b.taken; });
    // Newest first: the first seen of a day (or of a month, once older than
    // the daily days) is the one kept.
    std::map<qint64, bool> daysSeen;
    std::map<int, bool> monthsSeen;
    qint64 total = 0;
    QStringList dropped;
    for (const BackupFile &b : backups) {
        const QDate day = b.taken.date();
        const bool daily = day.daysTo(today) < DailyBackupDays;
        const bool first = daily ? !std::exchange(daysSeen[day.toJulianDay()], true)
                                 : !std::exchange(monthsSeen[day.year() * 12 + day.month()], true);
        if (first && total + b.size <= sizeCap)
            total += b.size;
        else
            dropped.prepend(b.name);
    }
    return dropped;
}

QString backupFolder(const QString &diaryPath)
{
    return QFileInfo(diaryPath).absoluteDir().filePath(QStringLiteral("Backup"));
}

QString backupName(const QString &diaryPath, const QDateTime &taken)
{
    return stem(diaryPath) + taken.toString(TimeFormat) + suffix(diaryPath);
}

std::optional<QDateTime> backupTime(const QString &diaryPath, const QString &name)
{
    const QString head = stem(diaryPath);
    const QString tail = suffix(diaryPath);
    if (!name.startsWith(head) || !name.endsWith(tail) || name.size() != head.size() + TimeFormat.size() + tail.size())
        return std::nullopt;
    const QDateTime taken = QDateTime::fromString(name.mid(head.size(), TimeFormat.size()), TimeFormat);
    if (!taken.isValid())
        return std::nullopt;
    return taken;
}

std::vector<BackupFile> listBackups(const QString &diaryPath)
{
    std::vector<BackupFile> out;
    const QDir folder(backupFolder(diaryPath));
    for (const QFileInfo &info : folder.entryInfoList(QDir::Files, QDir::Name)) {
        if (const std::optional<QDateTime> taken = backupTime(diaryPath, info.fileName()))
            out.push_back({info.fileName(), *taken, info.size()});
    }
    std::sort(out.begin(), out.end(), [](const BackupFile &a, const BackupFile &b) { return a.taken < b.taken; });
    return out;
}

DiaryFailure keepBackup(const QString &diaryPath, const QDateTime &now)
{
    if (!QFileInfo::exists(diaryPath))
        return std::nullopt;
    const std::variant<QByteArray, DiaryProblem> bytes = readWhole(diaryPath);
    if (const auto *problem = std::get_if<DiaryProblem>(&bytes))
        return *problem;
    const QString folder = backupFolder(diaryPath);
    if (!QDir().mkpath(folder))
        return DiaryProblem{DiaryError::BackupFolderNotMade, folder};
    if (DiaryFailure failed =
            writeBackup(QDir(folder).filePath(backupName(diaryPath, now)), std::get<QByteArray>(bytes)))
        return failed;
    rotate(diaryPath, now.date());
    return std::nullopt;
}

QString backupPath(const QString &diaryPath, const QString &backup)
{
    return backup.contains(u'/') ? backup : QDir(backupFolder(diaryPath)).filePath(backup);
}

DiaryFailure restoreBackup(const QString &diaryPath, const QString &backup, const QDateTime &now)
{
    const std::variant<QByteArray, DiaryProblem> bytes = readWhole(backupPath(diaryPath, backup));
    if (const auto *problem = std::get_if<DiaryProblem>(&bytes))
        return *problem;
    if (DiaryFailure failed = keepBackup(diaryPath, now))
        return failed;
    if (const std::optional<FileReason> why = replaceFile(diaryPath, std::get<QByteArray>(bytes)))
        return DiaryProblem{DiaryError::BackupNotWritten, diaryPath, {}, 0, 0, why};
    return std::nullopt;
}
