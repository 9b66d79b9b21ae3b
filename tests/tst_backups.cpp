#include "backups.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString Diary = QStringLiteral("/home/u/Trimbo/Bk_Trimbo.xls");

// Applies the rotation after each new backup, as the saves do.
std::vector<BackupFile> afterSave(std::vector<BackupFile> set, const BackupFile &added)
{
    set.push_back(added);
    const QStringList dropped = backupsToDrop(set, added.taken.date());
    std::erase_if(set, [&](const BackupFile &b) { return dropped.contains(b.name); });
    return set;
}

BackupFile backupAt(const QDateTime &taken, qint64 size = 1000)
{
    return {backupName(Diary, taken), taken, size};
}

QStringList sortedNames(const std::vector<BackupFile> &set)
{
    QStringList out;
    for (const BackupFile &b : set)
        out << b.name;
    out.sort();
    return out;
}

} // namespace

class BackupsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QDateTime>("taken");
        QTest::newRow("a backup") << "Bk_Trimbo_20261207_170102.xls" << QDateTime(QDate(2026, 12, 7), QTime(17, 1, 2));
        QTest::newRow("another diary's") << "Other_20261207_170102.xls" << QDateTime();
        QTest::newRow("no time") << "Bk_Trimbo_20261207.xls" << QDateTime();
        QTest::newRow("impossible time") << "Bk_Trimbo_20261307_170102.xls" << QDateTime();
        QTest::newRow("left by a copy") << "Bk_Trimbo_20261207_170102.xls.part" << QDateTime();
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(QDateTime, taken);
        const std::optional<QDateTime> got = backupTime(Diary, name);
        QCOMPARE(got.value_or(QDateTime()), taken);
        if (taken.isValid())
            QCOMPARE(backupName(Diary, taken), name);
    }

    void yearOfSaves()
    {
        // Three saves a day through 2026: the newest of each of the last 30
        // days, and of each month before.
        std::vector<BackupFile> set;
        const QTime times[] = {QTime(8, 0), QTime(12, 30), QTime(21, 15)};
        for (QDate d(2026, 1, 1); d.year() == 2026; d = d.addDays(1))
            for (QTime t : times)
                set = afterSave(set, backupAt(QDateTime(d, t)));
        QStringList expected;
        for (QDate d(2026, 12, 2); d.year() == 2026; d = d.addDays(1))
            expected << backupName(Diary, QDateTime(d, QTime(21, 15)));
        for (int month = 1; month <= 11; ++month) {
            const QDate last = QDate(2026, month, 1).addMonths(1).addDays(-1);
            expected << backupName(Diary, QDateTime(last, QTime(21, 15)));
        }
        expected << backupName(Diary, QDateTime(QDate(2026, 12, 1), QTime(21, 15)));
        expected.sort();
        QCOMPARE(sortedNames(set), expected);
        QCOMPARE(set.size(), 42u);
    }

    void sizeCap_data()
    {
        QTest::addColumn<qint64>("size");
        QTest::addColumn<int>("kept");
        QTest::newRow("small diaries: all 30") << qint64(1'000'000) << 30;
        QTest::newRow("exactly at the cap") << qint64(10 * 1024 * 1024) << 10;
        QTest::newRow("a byte over") << qint64(10 * 1024 * 1024 + 1) << 9;
        QTest::newRow("one larger than the cap") << qint64(101 * 1024 * 1024) << 0;
    }
    void sizeCap()
    {
        QFETCH(qint64, size);
        QFETCH(int, kept);
        std::vector<BackupFile> set;
        const QDate today(2026, 6, 30);
        for (int d = 29; d >= 0; --d)
            set.push_back(backupAt(QDateTime(today.addDays(-d), QTime(9, 0)), size));
        const QStringList dropped = backupsToDrop(set, today);
        QCOMPARE(dropped.size(), 30 - kept);
        // the oldest go first
        for (int i = 0; i < dropped.size(); ++i)
            QCOMPARE(dropped[i], set[std::size_t(i)].name);
    }

    // Listing and restoring are driven through trimbo-diary (tst_diarytool).
    void nothingToKeepMakesNoFolder()
    {
        QTemporaryDir dir;
        const QString diary = dir.filePath("Bk_Trimbo.xls");
        QVERIFY(!keepBackup(diary, QDateTime(QDate(2026, 6, 1), QTime(9, 0))));
        QVERIFY(!QFileInfo::exists(backupFolder(diary)));
        QVERIFY(listBackups(diary).empty());
    }
};

QTEST_GUILESS_MAIN(BackupsTest)
#include "tst_backups.moc"
