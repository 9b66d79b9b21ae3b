#include "backups.h"
#include "datetext.h"
#include "diarycore.h"
#include "helpers.h"

#include <QDir>
#include <QTest>

#include <csignal>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

// A disk that fills up and a program folder that cannot be written: every
// save the user can make is refused with a message naming the file and the
// reason, and nothing on disk or on screen changes. A backup (kept before
// each save when switched on) that cannot be written is said once, and the
// day is saved all the same.

namespace {

const QByteArray settings = "[Graph]\r\nWUpper=90\r\nWDown=50\r\nGraphVis=0\r\nStartD=2010/01/01\r\n"
                            "EndD=2010/01/31\r\nBckGrnd=1\r\nTrimboVis=1\r\n[Establish]\r\nDStartW=80\r\nGoalW=70\r\n";

// The small disk of the test's own (tests/with_small_disk.sh), or "" where
// the machine allows no such disk.
const QString smallDisk = qEnvironmentVariable("TRIMBO_SMALL_DISK");

// A program folder with one day in its diary and a photo to choose.
void layOut(const TempProgramFolder &folder, const QByteArray &ini = settings)
{
    folder.layOut(ini);
    QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"), {{"2010/01/20", "66", "22", 1, 1, "", "", ""}}, false).saved);
    QImage meal(774, 312, QImage::Format_RGB32);
    meal.fill(Qt::white);
    QVERIFY(meal.save(folder.filePath("meal.bmp"), "BMP"));
}

// While alive, nothing more can be written: the small disk is filled to the
// last byte or remounted read-only. Without one, the process may not write
// past a few bytes into any file (the kernel refuses such writes as it
// refuses them on a full disk), or, for a user other than root, the folders
// given lose their write permission; root without a namespace cannot be kept out.
class Unwritable
{
public:
    Unwritable(bool full, const QStringList &folders) : m_full(full), m_folders(folders)
    {
        if (full && !smallDisk.isEmpty()) {
            QFile file(smallDisk + "/filler");
            m_done = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
            for (qsizetype chunk = 1 << 20; m_done && chunk > 0; chunk /= 2) {
                const QByteArray bytes(chunk, 'x');
                while (file.write(bytes) == chunk) {}
            }
        } else if (full) {
            std::signal(SIGXFSZ, SIG_IGN);
            getrlimit(RLIMIT_FSIZE, &m_limit);
            const rlimit tight{64, m_limit.rlim_max};
            m_done = setrlimit(RLIMIT_FSIZE, &tight) == 0;
        } else if (!smallDisk.isEmpty())
            m_done = mount(nullptr, qPrintable(smallDisk), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        else
            m_done = geteuid() != 0 && setWritable(false);
    }
    ~Unwritable()
    {
        if (m_full && !smallDisk.isEmpty())
            QFile::remove(smallDisk + "/filler");
        else if (m_full)
            setrlimit(RLIMIT_FSIZE, &m_limit);
        else if (!smallDisk.isEmpty())
            mount(nullptr, qPrintable(smallDisk), nullptr, MS_REMOUNT, nullptr);
        else
            setWritable(true);
    }
    bool done() const { return m_done; }

private:
    bool setWritable(bool writable) const
    {
        bool all = true;
        for (const QString &folder : m_folders)
            all &= QFile(folder).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                | (writable ? QFileDevice::WriteOwner : QFileDevice::Permissions()));
        return all;
    }
    bool m_full;
    QStringList m_folders;
    rlimit m_limit{};
    bool m_done = false;
};

} // namespace

class TestDiskFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void savesThatCannotBeWrittenLoseNothing_data();
    void savesThatCannotBeWrittenLoseNothing();
    void photoLargerThanTheRoomLeftIsRefused();
    void backupThatCannotBeWrittenIsSaidOnce_data();
    void backupThatCannotBeWrittenIsSaidOnce();

private:
    void start();
    // Each returns whether it was done; what was said goes to m_told.
    bool saveDay(QDate day, const QString &weight, bool withPhoto = false);
    bool saveSettings();
    bool tell(const CoreResult &result)
    {
        m_told.append(result.notices);
        return result.status == CoreResult::Status::Done;
    }
    QString lastMessage() const
    {
        return m_told.isEmpty() ? QString() : problemText(m_told.last().problem, m_told.last().after);
    }
    // Whether the message names the file of the program folder and tells what became of the save.
    bool names(qsizetype message, const QString &file, Aftermath after) const
    {
        const CoreResult::Notice notice = m_told.value(message);
        return problemText(notice.problem, notice.after).contains(m_folder->filePath(file)) && notice.after == after;
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<DiaryCore> m_core;
    QList<CoreResult::Notice> m_told;
};

void TestDiskFaults::init()
{
    m_folder = std::make_unique<TempProgramFolder>(smallDisk);
    layOut(*m_folder);
    m_told.clear();
}

void TestDiskFaults::cleanup()
{
    m_core.reset();
    m_folder.reset();
    if (!smallDisk.isEmpty())
        QDir(smallDisk + "/Backup").removeRecursively();
}

void TestDiskFaults::start()
{
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    QVERIFY(tell(m_core->openSettings()));
    QVERIFY(tell(m_core->openDiary([](const QString &) { return false; })));
}

bool TestDiskFaults::saveDay(QDate day, const QString &weight, bool withPhoto)
{
    const QString meal = m_folder->filePath("meal.bmp");
    const PhotoChange photo =
        withPhoto ? planPhotoChange(0, meal, QImage(meal), day, m_core->paths().PictureDir) : PhotoChange();
    return tell(
        m_core->saveDay({dateText(day), weight, {}, 1, 1, {}, {}, {}}, photo, [](const QString &) { return true; }));
}

// The graph's upper limit, the trend switch, then the goal; whether the goal was saved.
bool TestDiskFaults::saveSettings()
{
    GraphSettings graph = m_core->settings().graph;
    graph.WUpper = "85";
    tell(m_core->saveGraphSettings(graph));
    TrendSettings trend = m_core->settings().trend;
    trend.Trend = 1;
    tell(m_core->saveTrendSettings(trend));
    EstablishSettings establish = m_core->settings().establish;
    establish.GoalW = "68";
    return tell(m_core->saveEstablishSettings(establish));
}

void TestDiskFaults::savesThatCannotBeWrittenLoseNothing_data()
{
    QTest::addColumn<bool>("full"); // or read-only
    QTest::addColumn<bool>("fromTheStart");
    QTest::newRow("full disk") << true << false;
    QTest::newRow("full disk at start-up") << true << true;
    QTest::newRow("read-only folder") << false << true;
}

// Every save is refused naming its file, and nothing on disk or on screen
// changes but the graph's choices and the trend switch, which take effect for
// this run. A diary that could not be locked at start-up is said once and
// shown all the same; each save says it again. Once the disk can be written,
// the same saves go through, the lock taken at the first.
void TestDiskFaults::savesThatCannotBeWrittenLoseNothing()
{
    QFETCH(bool, full);
    QFETCH(bool, fromTheStart);
    if (smallDisk.isEmpty() && full && fromTheStart)
        QSKIP("a file size limit lets the lock be made: only a full disk keeps it out");
    if (!fromTheStart)
        start();
    const QStringList before = m_folder->snapshot();
    const QString book = m_folder->filePath("Bk_Trimbo.xls");
    {
        const Unwritable fault(full, {m_folder->path(), m_folder->filePath("Picture")});
        if (!fault.done()) {
            QVERIFY2(smallDisk.isEmpty(), "the small disk could not be filled or remounted read-only");
            QSKIP("root outside a user namespace cannot be kept from writing a folder");
        }
        // A disk really full is named as such, and so is a file size limit.
        const QString why = !full                 ? QStringLiteral("に書き込めません")
                            : smallDisk.isEmpty() ? QStringLiteral("ファイルの大きさの上限を超えます")
                                                  : QStringLiteral("がいっぱいです");
        if (fromTheStart) {
            start();
            QCOMPARE(m_told.size(), 1);
            QVERIFY2(names(0, "Bk_Trimbo.xls", Aftermath::None) && lastMessage().contains("使用中にできません")
                         && lastMessage().contains(why) && lastMessage().contains("保存はできません"),
                     qPrintable(lastMessage()));
            QVERIFY(!m_core->diaryWritable());
        }
        const qsizetype atStart = m_told.size();
        const Aftermath diaryKept = fromTheStart ? Aftermath::None : Aftermath::DiaryUnchanged;
        QVERIFY(!saveDay(QDate(2010, 1, 21), "65"));
        QVERIFY2(names(atStart, "Bk_Trimbo.xls", diaryKept) && lastMessage().contains(why)
                     && !lastMessage().contains("Unknown error"),
                 qPrintable(lastMessage()));
        QVERIFY(!saveDay(QDate(2010, 1, 22), "64.5", true));
        QVERIFY(names(atStart + 1, fromTheStart ? "Bk_Trimbo.xls" : "Picture/20100122.bmp", diaryKept));
        QVERIFY(!saveSettings());
        QCOMPARE(m_told.size(), atStart + 5);
        QVERIFY(names(atStart + 2, "Trimbo.ini", Aftermath::GraphNotKept));
        QVERIFY(names(atStart + 3, "Trimbo.ini", Aftermath::SwitchNotKept));
        QVERIFY(names(atStart + 4, "Trimbo.ini", Aftermath::SettingsNotSaved));
    }
    // No half-written file was left behind.
    QCOMPARE(m_folder->snapshot(), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
    QCOMPARE(m_core->settings().graph.WUpper, QString("85"));
    QCOMPARE(m_core->settings().trend.Trend, 1);
    QCOMPARE(m_core->settings().establish.GoalW, QString("70"));

    // A photo folder removed by hand meanwhile is made again.
    QVERIFY(QDir(m_folder->filePath("Picture")).removeRecursively());
    const qsizetype told = m_told.size();
    QVERIFY(saveDay(QDate(2010, 1, 22), "64.5", true));
    QCOMPARE(m_core->diary().firstEmptyRow(), 3);
    QCOMPARE(m_core->diary().cell(2, DiaryColumn::Photo).toText(), QString("20100122.bmp"));
    QCOMPARE(QImage(m_folder->filePath("Picture/20100122.bmp")).size(), QSize(774, 312));
    QVERIFY(QFileInfo::exists(book + ".lock"));
    QVERIFY(saveSettings());
    QVERIFY(m_folder->read("Trimbo.ini").contains("GoalW=68\r\n"));
    QCOMPARE(m_told.size(), told);
    QVERIFY(!QFileInfo::exists(m_folder->filePath("Backup"))); // kept only when switched on
}

// How large a photo may be is what the photo folder's disk can still hold:
// a picture whose bitmap would not fit is refused when chosen, with both sizes.
void TestDiskFaults::photoLargerThanTheRoomLeftIsRefused()
{
    if (smallDisk.isEmpty())
        QSKIP("needs the small disk of its own");
    const TempProgramFolder elsewhere;
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(Qt::darkBlue);
    QVERIFY(big.save(elsewhere.filePath("big.jpg"), "JPEG"));
    const PictureFailure problem = photoRoomProblem(elsewhere.filePath("big.jpg"), m_folder->filePath("Picture/"));
    QVERIFY(problem && problem->code == PictureError::NoRoom);
    QCOMPARE(problem->path, elsewhere.filePath("big.jpg"));
    QCOMPARE(problem->names, QStringList({"3000", "2000", m_folder->filePath("Picture/")}));
    // A 24-bit bitmap: 54 bytes of headers and 3000 × 3 bytes a row, 2000 rows.
    QCOMPARE(problem->number, qint64(18'000'054));
    QVERIFY(problem->limit < problem->number);
}

void TestDiskFaults::backupThatCannotBeWrittenIsSaidOnce_data()
{
    QTest::addColumn<bool>("full"); // or read-only
    QTest::newRow("full disk") << true;
    QTest::newRow("read-only folder") << false;
}

// The day is saved all the same, the user is told once a run, and no
// half-written copy is left behind.
void TestDiskFaults::backupThatCannotBeWrittenIsSaidOnce()
{
    QFETCH(bool, full);
    if (smallDisk.isEmpty() && (full || geteuid() == 0))
        QSKIP("needs the small disk of its own, or a user other than root");
    m_folder = std::make_unique<TempProgramFolder>(); // off the small disk: only Backup/ is on it
    layOut(*m_folder, settings + "[Trend]\r\nBackups=1\r\n");
    const QString backups = smallDisk.isEmpty() ? m_folder->filePath("Backup") : smallDisk + "/Backup";
    QVERIFY(QDir().mkpath(backups));
    if (backups != m_folder->filePath("Backup"))
        QVERIFY(QFile::link(backups, m_folder->filePath("Backup")));
    start();
    {
        const Unwritable fault(full, {backups});
        QVERIFY(fault.done());
        QVERIFY(saveDay(QDate(2010, 1, 21), "65"));
        QVERIFY(saveDay(QDate(2010, 1, 22), "64"));
        QCOMPARE(m_core->diary().firstEmptyRow(), 4);
        QCOMPARE(QDir(backups).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
    // With room again, the next save keeps the diary as it was.
    const QByteArray threeDays = m_folder->read("Bk_Trimbo.xls");
    QVERIFY(saveDay(QDate(2010, 1, 23), "63"));
    const std::vector<BackupFile> kept = listBackups(m_folder->filePath("Bk_Trimbo.xls"));
    QCOMPARE(kept.size(), 1u);
    QCOMPARE(m_folder->read("Backup/" + kept.front().name), threeDays);
    QCOMPARE(m_told.size(), 1);
    const DiaryProblem *told = std::get_if<DiaryProblem>(&m_told.first().problem);
    QVERIFY(told && told->code == DiaryError::BackupSkipped && told->path == m_folder->filePath("Backup"));
}

QTEST_GUILESS_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"
