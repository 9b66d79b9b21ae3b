#include "datetext.h"
#include "diarycore.h"
#include "helpers.h"
#include "smalldisk.h"

#include <QDir>
#include <QTest>

#include <sys/mount.h>
#include <unistd.h>

// A disk that fills up and a program folder that cannot be written: every
// save the user can make is refused with a message naming the file and the
// reason, and nothing on disk or on screen changes.

namespace {

const QByteArray settings = "[Graph]\r\nWUpper=90\r\nWDown=50\r\nGraphVis=0\r\nStartD=2010/01/01\r\n"
                            "EndD=2010/01/31\r\nBckGrnd=1\r\nTrimboVis=1\r\n[Establish]\r\nDStartW=80\r\nGoalW=70\r\n";

// A program folder with one day in its diary and a photo to choose.
void layOut(const TempProgramFolder &folder)
{
    folder.layOut(settings);
    QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"), {{"2010/01/20", "66", "22", 1, 1, "", "", ""}}, false).saved);
    QImage meal(774, 312, QImage::Format_RGB32);
    meal.fill(Qt::white);
    QVERIFY(meal.save(folder.filePath("meal.bmp"), "BMP"));
}

// While alive, the program folder cannot be written: the small disk is
// remounted read-only, or, for a user other than root, the folders lose
// their write permission. Root without a namespace cannot be kept out.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const TempProgramFolder &folder) : m_folder(folder)
    {
        if (!smallDisk().isEmpty())
            m_done = mount(nullptr, qPrintable(smallDisk()), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        else if (geteuid() != 0)
            m_done = setWritable(false);
    }
    ~ReadOnlyFolder()
    {
        if (!smallDisk().isEmpty())
            mount(nullptr, qPrintable(smallDisk()), nullptr, MS_REMOUNT, nullptr);
        else
            setWritable(true);
    }
    bool done() const { return m_done; }

private:
    bool setWritable(bool writable) const
    {
        bool all = true;
        for (const QString &name : {QString(), QStringLiteral("Picture"), QStringLiteral("BoxingGame")}) {
            QFile folder(m_folder.filePath(name));
            const QFileDevice::Permissions readable =
                QFileDevice::ReadOwner | QFileDevice::ExeOwner | QFileDevice::ReadUser | QFileDevice::ExeUser;
            all &= folder.setPermissions(writable ? readable | QFileDevice::WriteOwner | QFileDevice::WriteUser
                                                  : readable);
        }
        return all;
    }
    const TempProgramFolder &m_folder;
    bool m_done = false;
};

} // namespace

class TestDiskFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void fullDiskLosesNothing();
    void readOnlyFolderLosesNothing();
    void startOnAFullDiskLocksAtTheNextSave();
    void missingPhotoFolderIsMade();
    void photoLargerThanTheRoomLeftIsRefused();

private:
    void start();
    // Each returns whether it was done; what was said goes to m_told.
    bool saveDay(QDate day, const QString &weight, bool withPhoto = false);
    void saveGraphSettings(const QString &upperWeightLimit);
    bool saveGoal(const QString &goal);
    bool tell(const CoreResult &result);
    QString lastMessage() const { return m_told.isEmpty() ? QString() : m_told.last(); }
    // Whether the last message names the file of the program folder and tells what became of the save.
    bool lastNames(const QString &file, Aftermath after) const
    {
        return lastMessage().contains(m_folder->filePath(file)) && m_after.last() == after;
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<DiaryCore> m_core;
    QStringList m_told;
    QList<Aftermath> m_after; // of each message
};

void TestDiskFaults::initTestCase()
{
    qInfo("%s", smallDisk().isEmpty() ? "no small disk of its own: a file size limit stands in for the full disk"
                                      : "on a tmpfs of the test's own");
}

void TestDiskFaults::init()
{
    m_folder = std::make_unique<TempProgramFolder>(smallDisk());
    layOut(*m_folder);
    m_told.clear();
    m_after.clear();
}

void TestDiskFaults::cleanup()
{
    m_core.reset();
    m_folder.reset();
}

void TestDiskFaults::start()
{
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    QVERIFY(tell(m_core->openSettings()));
    QVERIFY(tell(m_core->openDiary([](const QString &) { return false; })));
}

bool TestDiskFaults::tell(const CoreResult &result)
{
    for (const CoreResult::Notice &notice : result.notices) {
        m_told.append(problemText(notice.problem, notice.after));
        m_after.append(notice.after);
    }
    return result.status == CoreResult::Status::Done;
}

bool TestDiskFaults::saveDay(QDate day, const QString &weight, bool withPhoto)
{
    const QString meal = m_folder->filePath("meal.bmp");
    const PhotoChange photo =
        withPhoto ? planPhotoChange(0, meal, QImage(meal), day, m_core->paths().PictureDir) : PhotoChange();
    return tell(
        m_core->saveDay({dateText(day), weight, {}, 1, 1, {}, {}, {}}, photo, [](const QString &) { return true; }));
}

void TestDiskFaults::saveGraphSettings(const QString &upperWeightLimit)
{
    GraphSettings graph = m_core->settings().graph;
    graph.WUpper = upperWeightLimit;
    tell(m_core->saveGraphSettings(graph));
}

bool TestDiskFaults::saveGoal(const QString &goal)
{
    EstablishSettings establish = m_core->settings().establish;
    establish.GoalW = goal;
    return tell(m_core->saveEstablishSettings(establish));
}

void TestDiskFaults::fullDiskLosesNothing()
{
    start();
    QVERIFY(m_told.isEmpty());
    const QStringList before = m_folder->snapshot();
    qsizetype messagesWhileFull = 0;
    {
        const DiskFull full;
        // A disk really full is named as such; a file size limit only has the system's words.
        const QString diskFull = smallDisk().isEmpty() ? QStringLiteral("(") : QStringLiteral("がいっぱいです");
        QVERIFY(!saveDay(QDate(2010, 1, 21), "65"));
        QVERIFY2(lastNames("Bk_Trimbo.xls", Aftermath::DiaryUnchanged) && lastMessage().contains("保存できません")
                     && lastMessage().contains(diskFull) && !lastMessage().contains("Unknown error"),
                 qPrintable(lastMessage()));

        QVERIFY(!saveDay(QDate(2010, 1, 22), "64.5", true));
        QVERIFY2(lastNames("Picture/20100122.bmp", Aftermath::DiaryUnchanged), qPrintable(lastMessage()));

        saveGraphSettings("85");
        QVERIFY2(lastNames("Trimbo.ini", Aftermath::GraphNotKept), qPrintable(lastMessage()));

        QVERIFY(!saveGoal("68"));
        QVERIFY2(lastNames("Trimbo.ini", Aftermath::SettingsNotSaved), qPrintable(lastMessage()));
        messagesWhileFull = m_told.size();
        QCOMPARE(messagesWhileFull, 4);
    }
    // Nothing on disk changed, no half-written file was left behind, and
    // the diary on screen is still the one on disk.
    QCOMPARE(m_folder->snapshot(), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
    QCOMPARE(m_core->settings().establish.GoalW, QString("70"));

    // With room again, the same saves go through.
    QVERIFY(saveDay(QDate(2010, 1, 22), "64.5", true));
    QCOMPARE(m_core->diary().firstEmptyRow(), 3);
    QVERIFY(QFileInfo::exists(m_folder->filePath("Picture/20100122.bmp")));
    QVERIFY(saveGoal("68"));
    QVERIFY(m_folder->read("Trimbo.ini").contains("GoalW=68\r\n"));
    QCOMPARE(m_told.size(), messagesWhileFull);
}

void TestDiskFaults::readOnlyFolderLosesNothing()
{
    const QStringList before = m_folder->snapshot();
    const ReadOnlyFolder readOnly(*m_folder);
    if (!readOnly.done() && !smallDisk().isEmpty())
        QFAIL("the small disk could not be remounted read-only");
    if (!readOnly.done())
        QSKIP("root outside a user namespace cannot be kept from writing a folder");
    start();
    // Told once at start-up; the diary is shown all the same.
    QCOMPARE(m_told.size(), 1);
    const QString told = m_told.first();
    QVERIFY2(told.contains(m_folder->filePath("Bk_Trimbo.xls")) && told.contains("に書き込めません")
                 && told.contains("保存はできません"),
             qPrintable(told));
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);

    saveDay(QDate(2010, 1, 21), "65", true);
    QCOMPARE(lastMessage(), told);
    saveGraphSettings("85");
    QVERIFY2(lastNames("Trimbo.ini", Aftermath::GraphNotKept), qPrintable(lastMessage()));
    QVERIFY(!saveGoal("68"));
    QVERIFY2(lastNames("Trimbo.ini", Aftermath::SettingsNotSaved), qPrintable(lastMessage()));
    QCOMPARE(m_told.size(), 4);
    QCOMPARE(m_folder->snapshot(), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
}

// Started with no room left, the program cannot make the diary's lock and
// says why; once there is room, the next save takes the lock and saves.
void TestDiskFaults::startOnAFullDiskLocksAtTheNextSave()
{
    if (smallDisk().isEmpty())
        QSKIP("a file size limit lets the lock be made: only a full disk keeps it out");
    {
        const DiskFull full;
        start();
        QCOMPARE(m_told.size(), 1);
        QVERIFY2(lastMessage().contains(m_folder->filePath("Bk_Trimbo.xls"))
                     && lastMessage().contains("使用中にできません") && lastMessage().contains("がいっぱいです")
                     && lastMessage().contains("保存はできません"),
                 qPrintable(lastMessage()));
        QVERIFY(!m_core->diaryWritable());
        QCOMPARE(m_core->diary().firstEmptyRow(), 2);
        saveDay(QDate(2010, 1, 21), "65");
        QCOMPARE(m_told.size(), 2);
        QVERIFY(lastMessage().contains("がいっぱいです"));
    }
    saveDay(QDate(2010, 1, 21), "65");
    QCOMPARE(m_told.size(), 2);
    QVERIFY(m_core->diaryWritable());
    QCOMPARE(m_core->diary().firstEmptyRow(), 3);
    QVERIFY(QFileInfo::exists(m_folder->filePath("Bk_Trimbo.xls.lock")));
}

// A photo folder removed by hand is made again by the first save with a photo.
void TestDiskFaults::missingPhotoFolderIsMade()
{
    QVERIFY(QDir(m_folder->filePath("Picture")).removeRecursively());
    start();
    saveDay(QDate(2010, 1, 22), "64.5", true);
    QVERIFY2(m_told.isEmpty(), qPrintable(m_told.join("|")));
    QCOMPARE(m_core->diary().firstEmptyRow(), 3);
    QCOMPARE(m_core->diary().cell(2, DiaryColumn::Photo).toText(), QString("20100122.bmp"));
    QCOMPARE(QImage(m_folder->filePath("Picture/20100122.bmp")).size(), QSize(774, 312));
}

// How large a photo may be is what the photo folder's disk can still hold:
// a picture whose bitmap would not fit is refused when chosen, with both sizes.
void TestDiskFaults::photoLargerThanTheRoomLeftIsRefused()
{
    if (smallDisk().isEmpty())
        QSKIP("needs the small disk of its own");
    const TempProgramFolder elsewhere;
    QImage big(3000, 2000, QImage::Format_RGB32);
    big.fill(Qt::darkBlue);
    QVERIFY(big.save(elsewhere.filePath("big.jpg"), "JPEG"));
    const QString problem = photoRoomProblem(elsewhere.filePath("big.jpg"), m_folder->filePath("Picture/"));
    QVERIFY2(problem.contains(elsewhere.filePath("big.jpg")) && problem.contains("3000 × 2000")
                 && problem.contains("18 MB") && problem.contains(m_folder->filePath("Picture")),
             qPrintable(problem));
}

QTEST_GUILESS_MAIN(TestDiskFaults)
#include "tst_diskfaults.moc"
