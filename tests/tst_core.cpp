#include "datetext.h"
#include "diarycore.h"
#include "helpers.h"
#include "independent.h"
#include "newworkbook.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <sys/resource.h>

// The diary behind the window, driven without one: open, save a day with its
// photo, the lock, the settings saves and the viewer's level.

namespace {

const QByteArray settings = "[Graph]\r\nWUpper=90\r\nWDown=50\r\nGraphVis=0\r\nStartD=2010/01/01\r\nEndD=2010/01/31\r\n"
                            "BckGrnd=1\r\nTrimboVis=0\r\n[Establish]\r\nDStartW=80\r\nGoalW=70\r\n";
using Status = CoreResult::Status;
using Codes = std::vector<DiaryError>;

DayValues day(const QString &date, const QString &weight, const QString &fat = "20", const QString &comment = {})
{
    return {date, weight, fat, 1, 1, comment, {}, {}};
}

// The diary problem a notice tells of; a default one (End) for another area.
DiaryProblem diaryProblem(const AnyProblem &problem)
{
    const DiaryProblem *diary = std::get_if<DiaryProblem>(&problem);
    return diary ? *diary : DiaryProblem{DiaryError::End};
}

// The codes of a result's diary problems, in order; End for another area's.
Codes told(const CoreResult &result)
{
    Codes codes;
    for (const CoreResult::Notice &notice : result.notices)
        codes.push_back(diaryProblem(notice.problem).code);
    return codes;
}

// The text of a notice from the entry's own checks.
QString text(const CoreResult::Notice &notice)
{
    return std::holds_alternative<QString>(notice.problem) ? std::get<QString>(notice.problem) : QString();
}

DiaryTable onDisk(const QString &path)
{
    DiaryBook book(path);
    if (book.open())
        return {};
    book.firstEmptyRow();
    return book.table();
}

} // namespace

class TestCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void settingsThatCannotBeReadStop();
    void unreadableDiaryIsNeverWritten();
    void daysAreSortedInAndOverwrittenOnYes();
    void valuesThatCannotBeSavedAreRefused();
    void formulasLeftAsValuesAreSaidOnce();
    void fullDiaryRefusesANewDay();
    void oneDiaryHasOneWriter();
    void lockFromAnotherComputerIsAskedAbout_data();
    void lockFromAnotherComputerIsAskedAbout();
    void photoGoesWithItsDay();
    void levelGoesToTheViewer();

private:
    // Opens the core on the folder, with these settings when given.
    CoreResult open(const QByteArray &ini = {})
    {
        if (!ini.isEmpty())
            m_folder->write("Trimbo.ini", ini);
        m_core.reset(); // its lock goes first
        m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
        m_core->openSettings();
        return m_core->openDiary(answering());
    }
    DiaryCore::Question answering()
    {
        return [this](const QString &question) {
            m_asked.append(question);
            return !m_answers.isEmpty() && m_answers.takeFirst();
        };
    }
    CoreResult save(const DayValues &values, const PhotoChange &photo = {})
    {
        return m_core->saveDay(values, photo, answering());
    }
    QString book() const { return m_folder->filePath("Bk_Trimbo.xls"); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<DiaryCore> m_core;
    QStringList m_asked;
    QList<bool> m_answers; // No when empty
};

void TestCore::init()
{
    m_core.reset(); // its lock goes before the folder it sits in
    m_folder = std::make_unique<TempProgramFolder>();
    m_folder->layOut(settings);
    m_asked.clear();
    m_answers.clear();
}

// The settings file missing, or one that cannot be read, stops the start.
void TestCore::settingsThatCannotBeReadStop()
{
    for (const auto &[form, code] :
         {std::pair{"missing", SettingsError::NotFound}, {"folder", SettingsError::Unreadable}}) {
        QFile::remove(m_folder->filePath("Trimbo.ini"));
        if (form == std::string_view("folder"))
            QVERIFY(QDir().mkpath(m_folder->filePath("Trimbo.ini")));
        const QStringList before = m_folder->snapshot();
        DiaryCore core(ProgramPaths::fromExeDir(m_folder->path()));
        const CoreResult result = core.openSettings();
        QCOMPARE(result.status, Status::Stopped);
        const SettingsProblem *stopped =
            result.stopReason ? std::get_if<SettingsProblem>(&*result.stopReason) : nullptr;
        QVERIFY2(stopped && stopped->code == code && stopped->path == m_folder->filePath("Trimbo.ini"), form);
        QCOMPARE(m_folder->snapshot(), before);
    }
}

// A diary that cannot be read is shown without days and never written.
void TestCore::unreadableDiaryIsNeverWritten()
{
    const QByteArray good = newDiaryWorkbook("St_Trimbo");
    for (const auto &[content, code] :
         {std::pair{QByteArray(), DiaryError::NotAFile}, {good.left(good.size() / 2), DiaryError::CutShort}}) {
        m_core.reset();
        QFile::remove(book());
        if (!content.isNull())
            m_folder->write("Bk_Trimbo.xls", content);
        const QStringList before = m_folder->snapshot();
        const CoreResult opened = open();
        QCOMPARE(opened.status, Status::Done); // shown without days
        QCOMPARE(told(opened), Codes{code});
        QVERIFY(opened.notices.first().error && opened.notices.first().after == Aftermath::OpensEmpty);
        QCOMPARE(diaryProblem(opened.notices.first().problem).path, book());
        QVERIFY(m_core->diary().firstEmptyRow() == 0 && !m_core->diaryWritable());
        const CoreResult saved = save(day("2010/01/21", "65"));
        QCOMPARE(saved.status, Status::Refused);
        QCOMPARE(told(saved), Codes{DiaryError::UnreadableAtOpen});
        QStringList after = m_folder->snapshot();
        after.removeIf([](const QString &entry) { return entry.contains("Bk_Trimbo.xls.lock"); });
        QCOMPARE(after, before);
    }
}

// Days saved out of order are sorted in, on disk and on screen; a day saved
// again is asked about: No changes nothing, Yes replaces all eight cells.
void TestCore::daysAreSortedInAndOverwrittenOnYes()
{
    open();
    QSignalSpy changed(m_core.get(), &DiaryCore::diaryChanged);
    QCOMPARE(save(day("2010/01/20", "66", "22", "朝はパン\n昼はうどん")).status, Status::Done);
    QCOMPARE(save(day("2010/01/10", "67", "23", "十日")).status, Status::Done);
    QCOMPARE(save(day("2010/01/15", "68", "23", "十五日")).status, Status::Done);
    QVERIFY(m_asked.isEmpty());
    for (const DiaryTable &diary : {m_core->diary(), onDisk(book())}) {
        QCOMPARE(diary.firstEmptyRow(), 4);
        QCOMPARE(diary.cell(1, DiaryColumn::IntakeComment).toText(), QString("十日"));
        QCOMPARE(diary.cell(2, DiaryColumn::Date).toText(), QString("2010/01/15"));
        QCOMPARE(diary.cell(3, DiaryColumn::IntakeComment).toText(), QString("朝はパン\n昼はうどん"));
    }

    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    QCOMPARE(save(day("2010/01/15", "64", "")).status, Status::Cancelled);
    QCOMPARE(m_asked, QStringList{"選択された日のデータが存在します\r\n上書きしますか？\r\n\r\n2010/01/15"});
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
    QCOMPARE(m_core->diary().cell(2, DiaryColumn::Weight).toText(), QString("68"));
    QCOMPARE(changed.size(), 3);
    m_answers = {true};
    QCOMPARE(save(day("2010/01/15", "64", "")).status, Status::Done);
    for (const DiaryTable &diary : {m_core->diary(), onDisk(book())}) {
        QCOMPARE(diary.firstEmptyRow(), 4);
        QCOMPARE(diary.cell(2, DiaryColumn::Weight).toText(), QString("64"));
        QVERIFY(diary.cell(2, DiaryColumn::Fat).isEmpty() && diary.cell(2, DiaryColumn::IntakeComment).isEmpty());
    }
}

// Values the workbook cannot take are refused before anything is written;
// the longest comment that fits is saved.
void TestCore::valuesThatCannotBeSavedAreRefused()
{
    open();
    QCOMPARE(save(day("2010/01/20", "66", "22")).status, Status::Done);
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    for (const auto &[weight, fat, said] : {std::tuple{"sixty", "22", "体重の値「sixty」は数値ではありません。"},
                                            {"66", "100.05", "体脂肪率の値「100.05」は使えません。"}}) {
        const CoreResult refused = save(day("2010/01/21", weight, fat));
        const QString message = text(refused.notices.value(0));
        QVERIFY2(refused.status == Status::Refused && refused.notices.size() == 1 && refused.notices.first().error
                     && message.startsWith(said),
                 qPrintable(message));
    }
    const CoreResult tooLong = save(day("2010/01/21", "66", "22", QString(MaxCellText + 1, u'長')));
    QVERIFY(tooLong.status == Status::Refused && told(tooLong) == Codes{DiaryError::IntakeCommentTooLong});
    QCOMPARE(diaryProblem(tooLong.notices.first().problem).number, MaxCellText + 1);
    QCOMPARE(tooLong.notices.first().after, Aftermath::ShortenFirst);
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
    QCOMPARE(save(day("2010/01/21", "66", "22", QString(MaxCellText, u'長'))).status, Status::Done);
}

// B2 and C2 read the row above; sorted to the top they cannot go along as
// formulas. The save says so in one message naming both cells, and the
// next save has nothing to say.
void TestCore::formulasLeftAsValuesAreSaidOnce()
{
    writeWithGnumeric({{"St_Trimbo",
                        {{0, 0, GnumericCell::Date, "40188"}, // 2010/01/10
                         {1, 0, GnumericCell::Date, "40183"}, // 2010/01/05
                         {1, 1, GnumericCell::Formula, "=A1-40120"},
                         {1, 2, GnumericCell::Formula, "=A1-40170"}}}},
                      0, book());
    open();
    const CoreResult first = save(day("2010/01/20", "66", "22"));
    QCOMPARE(first.status, Status::Done);
    QCOMPARE(told(first), Codes{DiaryError::SaveNotes});
    QVERIFY(!first.notices.first().error);
    const std::vector<DiaryProblem> cells = diaryProblem(first.notices.first().problem).parts;
    QCOMPARE(cells.size(), size_t(2));
    QCOMPARE(cells[0].names + cells[1].names, QStringList({"B1", "C1"}));
    QCOMPARE(told(save(day("2010/01/01", "66", "22"))), Codes());
}

// A sheet whose every row holds a day: every day is read; a new day is
// refused with the same message as at the start. (Corrections are
// tst_diarytool's, through the same placement.)
void TestCore::fullDiaryRefusesANewDay()
{
    std::vector<DayValues> days;
    for (int i = 0; i < MaxDiaryRows; ++i)
        days.push_back(day(dateText(QDate(1900, 1, 1).addDays(i)), "60", ""));
    QVERIFY(saveDays(book(), days, false).saved);
    QCOMPARE(told(open()), Codes{DiaryError::Full});
    QCOMPARE(m_core->diary().firstEmptyRow(), MaxDiaryRows + 1);
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    const CoreResult refused = save(day("2300/01/01", "58", ""));
    QVERIFY(refused.status == Status::Refused && told(refused) == Codes{DiaryError::Full});
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
}

// A second copy on the same folder, and a folder whose diary links to the
// same file: the lock sits beside the file, so the second stops.
void TestCore::oneDiaryHasOneWriter()
{
    const TempProgramFolder linked, synced;
    linked.layOut(settings);
    synced.write("Bk_Trimbo.xls", newDiaryWorkbook("St_Trimbo"));
    for (const TempProgramFolder *folder : {static_cast<const TempProgramFolder *>(m_folder.get()), &linked}) {
        QFile::remove(folder->filePath("Bk_Trimbo.xls"));
        QVERIFY(QFile::link(synced.filePath("Bk_Trimbo.xls"), folder->filePath("Bk_Trimbo.xls")));
    }
    open();
    QVERIFY(QFileInfo::exists(synced.filePath("Bk_Trimbo.xls.lock"))
            && !QFileInfo::exists(m_folder->filePath("Bk_Trimbo.xls.lock")));
    for (const QString &folder : {m_folder->path(), linked.path()}) {
        DiaryCore second(ProgramPaths::fromExeDir(folder));
        QCOMPARE(second.openSettings().status, Status::Done);
        const CoreResult opened = second.openDiary(answering());
        QVERIFY(opened.status == Status::Stopped && opened.stopReason);
        QCOMPARE(diaryProblem(*opened.stopReason).code, DiaryError::OpenedElsewhere);
        QCOMPARE(diaryProblem(*opened.stopReason).names.value(0), QString("tst_core"));
    }
    QCOMPARE(save(day("2010/01/21", "65")).status, Status::Done);
    m_core.reset(); // its lock goes before the folder it sits in
}

// A folder copied while Trimbo ran elsewhere: the user is told which
// computer holds the diary since when, and decides; left alone, each save
// asks again and writes nothing.
void TestCore::lockFromAnotherComputerIsAskedAbout_data()
{
    QTest::addColumn<bool>("takeOver");
    QTest::newRow("taken over") << true;
    QTest::newRow("left alone") << false;
}

void TestCore::lockFromAnotherComputerIsAskedAbout()
{
    QFETCH(bool, takeOver);
    const QByteArray lock = "4242\nTrimbo\nkitchen-pc\n";
    m_folder->write("Bk_Trimbo.xls.lock", lock);
    const QString since =
        QFileInfo(m_folder->filePath("Bk_Trimbo.xls.lock")).lastModified().toString("yyyy/MM/dd HH:mm");
    m_answers = {takeOver};
    const CoreResult opened = open();
    QCOMPARE(opened.status, Status::Done);
    QCOMPARE(m_core->diaryWritable(), takeOver);
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    const CoreResult saved = save(day("2010/01/21", "65"));
    QCOMPARE(m_asked.size(), takeOver ? 1 : 2);
    QVERIFY2(m_asked.first().contains("kitchen-pc") && m_asked.first().contains(since)
                 && m_asked.first().contains("引き継ぎますか"),
             qPrintable(m_asked.first()));
    if (takeOver) {
        QVERIFY(opened.notices.isEmpty());
        QCOMPARE(saved.status, Status::Done);
        QVERIFY(m_folder->read("Bk_Trimbo.xls.lock").contains(QSysInfo::machineHostName().toUtf8()));
        return;
    }
    QCOMPARE(told(opened), Codes{DiaryError::InUse});
    QCOMPARE(diaryProblem(opened.notices.first().problem).names.value(1), QString("kitchen-pc"));
    QCOMPARE(saved.status, Status::Refused);
    QCOMPARE(told(saved), Codes{DiaryError::InUse});
    QCOMPARE(m_folder->read("Bk_Trimbo.xls.lock"), lock);
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
}

// A photo goes with its day, and a photo that cannot be made refuses the day
// before anything is written. The photo is staged beside its place and
// takes it only once the workbook is saved: a workbook that cannot be
// written leaves the photo folder as it was.
void TestCore::photoGoesWithItsDay()
{
    open();
    QImage meal(32, 24, QImage::Format_RGB32);
    meal.fill(QColor(250, 200, 100));
    const QString pictures = m_core->paths().PictureDir;
    const QDate day25(2010, 1, 25);
    QCOMPARE(save(day("2010/01/25", "65"), planPhotoChange(0, "meal.png", meal, day25, pictures)).status, Status::Done);
    QCOMPARE(QImage(m_folder->filePath("Picture/20100125.bmp"), "BMP").pixelColor(5, 5), QColor(250, 200, 100));
    QCOMPARE(m_core->diary().cell(1, DiaryColumn::Photo).toText(), QString("20100125.bmp"));

    // Cleared, it goes with its day saved again.
    m_answers = {true};
    QCOMPARE(save(day("2010/01/25", "65"), planPhotoChange(1, {}, {}, day25, pictures)).status, Status::Done);
    QVERIFY(!QFileInfo::exists(m_folder->filePath("Picture/20100125.bmp")));
    QVERIFY(m_core->diary().cell(1, DiaryColumn::Photo).isEmpty());

    PhotoChange broken = planPhotoChange(0, "face.ico", {}, day25, pictures);
    QVERIFY(broken.error && broken.error->code == PictureError::IconUnreadable);
    const QStringList before = m_folder->snapshot();
    m_answers = {true};
    const CoreResult refused = save(day("2010/01/25", "64"), broken);
    QVERIFY(refused.status == Status::Refused && refused.notices.size() == 1);
    const PictureProblem *refusal = std::get_if<PictureProblem>(&refused.notices.first().problem);
    QVERIFY(refusal && refusal->code == PictureError::IconUnreadable);
    QCOMPARE(refused.notices.first().after, Aftermath::DiaryUnchanged);
    QCOMPARE(m_folder->snapshot(), before);

    QVERIFY(QFileInfo(book()).size() > 4096);
    // Room for the photo, none for the workbook (the kernel refuses the write as on a full disk).
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit tight{4096, unlimited.rlim_max};
    setrlimit(RLIMIT_FSIZE, &tight);
    const CoreResult unwritten =
        save(day("2010/01/31", "64"), planPhotoChange(0, "meal.png", meal, QDate(2010, 1, 31), pictures));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    QCOMPARE(unwritten.status, Status::Refused);
    QCOMPARE(told(unwritten), Codes{DiaryError::CannotSave});
    QCOMPARE(diaryProblem(unwritten.notices.first().problem).reason.value_or(FileReason()).problem,
             FileProblem::BeyondSizeLimit);
    QCOMPARE(unwritten.notices.first().after, Aftermath::DiaryUnchanged);
    QCOMPARE(m_folder->snapshot(), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
}

// The level of the saved day goes to the viewer's file; the viewer is
// started when the level differs from the start's and the settings ask for it.
// A level file that is a link (to the diary, or out of the folder) is
// replaced by a file of its own, and what it led to stays as it was.
void TestCore::levelGoesToTheViewer()
{
    QVERIFY(saveDays(book(), {day("2010/01/10", "75")}, false).saved);
    const TempProgramFolder outside;
    outside.write("elsewhere.txt", "not Trimbo's\n");
    for (const auto &[file, target] : {std::pair{"Beforedata.txt", QString("../Bk_Trimbo.xls")},
                                       std::pair{"data.txt", outside.filePath("elsewhere.txt")}}) {
        QVERIFY(QFile::remove(m_folder->filePath("BoxingGame/") + file));
        QVERIFY(QFile::link(target, m_folder->filePath("BoxingGame/") + file));
    }
    const QByteArray diary = m_folder->read("Bk_Trimbo.xls");
    open();
    QSignalSpy viewer(m_core.get(), &DiaryCore::viewerRequested);
    m_core->handOverStartLevel("75", QDate(2010, 1, 10));
    QCOMPARE(m_core->startLevel(), 5);
    QCOMPARE(m_folder->read("BoxingGame/Beforedata.txt"), QByteArray("5\r\n"));
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), diary);
    QCOMPARE(told(save(day("2010/01/11", "75.5"))), Codes());
    QCOMPARE(m_folder->read("BoxingGame/data.txt"), QByteArray("4\r\n"));
    QCOMPARE(outside.read("elsewhere.txt"), QByteArray("not Trimbo's\n"));
    QCOMPARE(viewer.size(), 1);
    QCOMPARE(viewer.first().first().toString(), m_folder->filePath("BoxingGame/Figurat.exe"));
    QCOMPARE(save(day("2010/01/12", "75")).status, Status::Done); // level 5 again
    QCOMPARE(viewer.size(), 1);

    // A start that is no number is said at a save, which still goes
    // through, with no level to hand over.
    open(QByteArray(settings).replace("DStartW=80", "DStartW=seventy"));
    const CoreResult saved = save(day("2010/01/15", "71"));
    QCOMPARE(saved.notices.size(), 1);
    const ExchangeProblem *said = std::get_if<ExchangeProblem>(&saved.notices.first().problem);
    QVERIFY(said && said->code == ExchangeError::StartNotANumber);
    QCOMPARE(std::pair(said->number, said->names), std::pair(qint64(Measure::Weight), QStringList("seventy")));
    QCOMPARE(m_core->diary().firstEmptyRow(), 5);
    QCOMPARE(m_folder->read("BoxingGame/data.txt"), QByteArray("5\r\n"));

    // Without the viewer's file there is no viewer to hand a level to: none is made.
    QVERIFY(QFile::remove(m_folder->filePath("BoxingGame/data.txt")));
    open(settings);
    QCOMPARE(told(save(day("2010/01/16", "74"))), Codes());
    QVERIFY(!QFileInfo::exists(m_folder->filePath("BoxingGame/data.txt")));
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
