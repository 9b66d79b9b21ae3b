#include "backups.h"
#include "datetext.h"
#include "diarycore.h"
#include "helpers.h"
#include "smalldisk.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

// Backups kept before each save of a day: kept only when switched
// on, and when one cannot be written (a full disk, a read-only folder) the
// day is saved all the same and the user is told once.

namespace {

const QByteArray windowsSettings = "[Graph]\r\nWUpper=90\r\nWDown=50\r\nGraphVis=0\r\nStartD=2010/01/01\r\n"
                                   "EndD=2010/01/31\r\nBckGrnd=1\r\nTrimboVis=1\r\n[Establish]\r\nDStartW=80\r\n"
                                   "GoalW=70\r\n";
const QByteArray backupsOn = windowsSettings + "[Trend]\r\nBackups=1\r\n";

int daysOnDisk(const QString &path)
{
    DiaryBook book(path);
    return book.open() ? -1 : book.firstEmptyRow() - 1;
}

} // namespace

class TestBackupFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void noBackupsWithoutTheSwitch();
    void eachSaveKeepsTheDiaryAsItWas();
    void fullDiskSavesTheDayAndTellsOnce();
    void readOnlyBackupFolderSavesTheDayAndTellsOnce();

private:
    void start(const QByteArray &settings);
    void saveDay(QDate day, const QString &weight);
    // Backup/ as a link to a folder on the small disk.
    void backupFolderOnSmallDisk();
    void savesGoOnWithOneMessage();
    QString diary() const { return m_folder->filePath("Bk_Trimbo.xls"); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<DiaryCore> m_core;
    QList<DiaryProblem> m_told; // what the saves said, in order (End for another area)
};

void TestBackupFaults::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_told.clear();
}

void TestBackupFaults::cleanup()
{
    m_core.reset();
    m_folder.reset();
    if (!smallDisk().isEmpty())
        QDir(smallDisk() + QStringLiteral("/Backup")).removeRecursively();
}

void TestBackupFaults::start(const QByteArray &settings)
{
    m_folder->layOut(settings);
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    QCOMPARE(m_core->openSettings().status, CoreResult::Status::Done);
    QCOMPARE(m_core->openDiary([](const QString &) { return false; }).status, CoreResult::Status::Done);
}

void TestBackupFaults::saveDay(QDate day, const QString &weight)
{
    const CoreResult saved =
        m_core->saveDay({dateText(day), weight, {}, 1, 1, {}, {}, {}}, {}, [](const QString &) { return false; });
    QCOMPARE(saved.status, CoreResult::Status::Done);
    for (const CoreResult::Notice &notice : saved.notices)
        m_told.append(std::holds_alternative<DiaryProblem>(notice.problem) ? std::get<DiaryProblem>(notice.problem)
                                                                           : DiaryProblem(DiaryError::End));
}

void TestBackupFaults::backupFolderOnSmallDisk()
{
    if (smallDisk().isEmpty())
        QSKIP("the machine allows no small disk of the test's own");
    QVERIFY(QDir().mkpath(smallDisk() + QStringLiteral("/Backup")));
    QVERIFY(QFile::link(smallDisk() + QStringLiteral("/Backup"), m_folder->filePath("Backup")));
}

void TestBackupFaults::noBackupsWithoutTheSwitch()
{
    start(windowsSettings);
    saveDay(QDate(2010, 1, 20), "66");
    saveDay(QDate(2010, 1, 21), "65");
    QCOMPARE(daysOnDisk(diary()), 2);
    QVERIFY(!QFileInfo::exists(m_folder->filePath("Backup")));
    QVERIFY(m_told.isEmpty());
}

void TestBackupFaults::eachSaveKeepsTheDiaryAsItWas()
{
    start(backupsOn);
    saveDay(QDate(2010, 1, 20), "66");
    const QByteArray oneDay = m_folder->read("Bk_Trimbo.xls");
    saveDay(QDate(2010, 1, 21), "65");
    QCOMPARE(daysOnDisk(diary()), 2);
    // Both backups were taken today: the newer, the diary with one day, stays.
    const std::vector<BackupFile> kept = listBackups(diary());
    QCOMPARE(kept.size(), 1u);
    QCOMPARE(m_folder->read("Backup/" + kept.front().name), oneDay);
    QCOMPARE(kept.front().taken.date(), QDate::currentDate());
    QVERIFY(m_told.isEmpty());
}

void TestBackupFaults::savesGoOnWithOneMessage()
{
    saveDay(QDate(2010, 1, 20), "66");
    saveDay(QDate(2010, 1, 21), "65");
    QCOMPARE(daysOnDisk(diary()), 2);
    QCOMPARE(m_core->diary().firstEmptyRow(), 3);
    QCOMPARE(m_told.size(), 1);
    QCOMPARE(m_told.first().code, DiaryError::BackupSkipped);
    QCOMPARE(m_told.first().path, m_folder->filePath("Backup"));
    // No half-written copy is left behind.
    QCOMPARE(QDir(m_folder->filePath("Backup")).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestBackupFaults::fullDiskSavesTheDayAndTellsOnce()
{
    backupFolderOnSmallDisk();
    start(backupsOn);
    {
        const DiskFull full;
        savesGoOnWithOneMessage();
    }
    saveDay(QDate(2010, 1, 22), "64");
    QCOMPARE(listBackups(diary()).size(), 1u);
    QCOMPARE(m_told.size(), 1);
}

void TestBackupFaults::readOnlyBackupFolderSavesTheDayAndTellsOnce()
{
    if (smallDisk().isEmpty() && geteuid() == 0)
        QSKIP("root outside a user namespace cannot be kept from writing a folder");
    if (smallDisk().isEmpty()) {
        QVERIFY(QDir().mkpath(m_folder->filePath("Backup")));
        QVERIFY(QFile(m_folder->filePath("Backup")).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    } else {
        backupFolderOnSmallDisk();
        QCOMPARE(mount(nullptr, qPrintable(smallDisk()), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    }
    start(backupsOn);
    savesGoOnWithOneMessage();
    if (!smallDisk().isEmpty())
        QCOMPARE(mount(nullptr, qPrintable(smallDisk()), nullptr, MS_REMOUNT, nullptr), 0);
}

QTEST_MAIN(TestBackupFaults)
#include "tst_backupfaults.moc"
