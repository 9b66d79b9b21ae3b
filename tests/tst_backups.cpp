#include "backups.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Diary = QStringLiteral("/home/u/Trimbo/Bk_Trimbo.xls");

BackupFile backupAt(QDate day, QTime time = QTime(21, 15), qint64 size = 1000)
{
    return {backupName(Diary, QDateTime(day, time)), QDateTime(day, time), size};
}

} // namespace

class BackupsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Listing and restoring are driven through trimbo-diary (tst_diarytool).
    void namesAndFolder()
    {
        QTemporaryDir dir;
        const QString diary = dir.filePath("Bk_Trimbo.xls");
        QVERIFY(!keepBackup(diary, QDateTime(QDate(2026, 6, 1), QTime(9, 0)))); // nothing to keep, no folder made
        QVERIFY(!QFileInfo::exists(backupFolder(diary)));
        QVERIFY(listBackups(diary).empty());
        const QDateTime taken(QDate(2026, 12, 7), QTime(17, 1, 2));
        QCOMPARE(backupName(Diary, taken), QStringLiteral("Bk_Trimbo_20261207_170102.xls"));
        QCOMPARE(backupTime(Diary, "Bk_Trimbo_20261207_170102.xls").value_or(QDateTime()), taken);
        for (const char *other : {"Other_20261207_170102.xls", "Bk_Trimbo_20261207.xls",
                                  "Bk_Trimbo_20261307_170102.xls", "Bk_Trimbo_20261207_170102.xls.part"})
            QVERIFY2(!backupTime(Diary, other), other);
    }

    // Three saves a day up to the middle of a month leave the newest of each
    // of the last 30 days, and of each month before.
    void yearOfSaves()
    {
        std::vector<BackupFile> set;
        QStringList expected;
        const QDate last(2026, 12, 15);
        for (QDate d(2026, 1, 1); d <= last; d = d.addDays(1)) {
            for (QTime t : {QTime(8, 0), QTime(12, 30), QTime(21, 15)}) {
                set.push_back(backupAt(d, t));
                const QStringList dropped = backupsToDrop(set, d);
                std::erase_if(set, [&](const BackupFile &b) { return dropped.contains(b.name); });
            }
            if (d.daysTo(last) < 30 || d.addDays(1).day() == 1)
                expected << backupAt(d).name;
        }
        expected << backupAt(QDate(2026, 11, 15)).name; // the newest of November before those 30 days
        expected.sort();
        QStringList kept;
        for (const BackupFile &b : set)
            kept << b.name;
        kept.sort();
        QCOMPARE(kept, expected);
    }

    // Past the size cap the oldest go first, whatever their age.
    void sizeCap()
    {
        const QDate today(2026, 6, 30);
        for (const auto &[size, kept] : {std::pair<qint64, int>{1'000'000, 30},
                                         {10 * 1024 * 1024, 10},
                                         {10 * 1024 * 1024 + 1, 9},
                                         {101 * 1024 * 1024, 0}}) {
            std::vector<BackupFile> set;
            QStringList oldest;
            for (int d = 29; d >= 0; --d)
                set.push_back(backupAt(today.addDays(-d), QTime(9, 0), size));
            for (int i = 0; i < 30 - kept; ++i)
                oldest << set[size_t(i)].name;
            QCOMPARE(backupsToDrop(set, today), oldest);
        }
    }
};

QTEST_GUILESS_MAIN(BackupsTest)
#include "tst_backups.moc"
