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
std::vector<DiaryError> told(const CoreResult &result)
{
    std::vector<DiaryError> codes;
    for (const CoreResult::Notice &notice : result.notices)
        codes.push_back(diaryProblem(notice.problem).code);
    return codes;
}

using Codes = std::vector<DiaryError>;

// The settings problem a notice or a stop tells of; a default one (End) for another area.
SettingsProblem settingsProblem(const AnyProblem &problem)
{
    const SettingsProblem *settings = std::get_if<SettingsProblem>(&problem);
    return settings ? *settings : SettingsProblem{SettingsError::End};
}

// The text of a notice from the entry's own checks and the exchange files.
QString text(const CoreResult::Notice &notice)
{
    const QString *said = std::get_if<QString>(&notice.problem);
    return said ? *said : QString();
}

DiaryTable onDisk(const QString &path)
{
    DiaryBook book(path);
    if (book.open())
        return {};
    book.firstEmptyRow();
    return book.table();
}

// While alive, no file may grow past limit bytes (the kernel refuses the
// write as on a full disk).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_saved);
        const rlimit tight{limit, m_saved.rlim_max};
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_saved); }

private:
    rlimit m_saved{};
};

} // namespace

Q_DECLARE_METATYPE(DiaryError)
Q_DECLARE_METATYPE(SettingsError)

class TestCore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void settingsThatCannotBeReadStop_data();
    void settingsThatCannotBeReadStop();
    void unreadableDiaryIsNeverWritten_data();
    void unreadableDiaryIsNeverWritten();
    void newDayThenTheOverwriteAnswer();
    void earlierDayIsSortedIn();
    void valuesThatCannotBeSavedAreRefused_data();
    void valuesThatCannotBeSavedAreRefused();
    void formulasLeftAsValuesAreSaidOnce();
    void fullDiaryTakesCorrectionsOnly();
    void oneDiaryHasOneWriter();
    void locksLeftBehindAreTakenOver_data();
    void locksLeftBehindAreTakenOver();
    void lockFromAnotherComputerIsAskedAbout_data();
    void lockFromAnotherComputerIsAskedAbout();
    void photoGoesWithItsDay();
    void photoWaitsForTheWorkbook();
    void levelGoesToTheViewer();
    void settingsSavesThatCannotBeWritten();

private:
    // Opens the core on the folder; the settings as given.
    void open(const QByteArray &ini = settings);
    DiaryCore::Question answering()
    {
        return [this](const QString &q) { return answer(q); };
    }
    bool answer(const QString &question);
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
    m_folder = std::make_unique<TempProgramFolder>();
    m_folder->layOut(settings);
    m_asked.clear();
    m_answers.clear();
}

void TestCore::cleanup()
{
    m_core.reset();
    m_folder.reset();
}

void TestCore::open(const QByteArray &ini)
{
    m_folder->write("Trimbo.ini", ini);
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    const CoreResult settingsRead = m_core->openSettings();
    QCOMPARE(settingsRead.status, CoreResult::Status::Done);
    QCOMPARE(m_core->openDiary(answering()).status, CoreResult::Status::Done);
}

bool TestCore::answer(const QString &question)
{
    m_asked.append(question);
    return !m_answers.isEmpty() && m_answers.takeFirst();
}

void TestCore::settingsThatCannotBeReadStop_data()
{
    QTest::addColumn<QString>("form"); // "missing", "folder" or "UTF-16"
    QTest::addColumn<SettingsError>("code");
    QTest::newRow("missing") << "missing" << SettingsError::NotFound;
    QTest::newRow("a folder") << "folder" << SettingsError::Unreadable;
    QTest::newRow("UTF-16") << "UTF-16" << SettingsError::Utf16;
}

void TestCore::settingsThatCannotBeReadStop()
{
    QFETCH(QString, form);
    QFETCH(SettingsError, code);
    QFile::remove(m_folder->filePath("Trimbo.ini"));
    if (form == "folder")
        QVERIFY(QDir().mkpath(m_folder->filePath("Trimbo.ini")));
    if (form == "UTF-16") {
        const QString text = QString::fromLatin1(settings);
        m_folder->write("Trimbo.ini",
                        "\xFF\xFE" + QByteArray(reinterpret_cast<const char *>(text.utf16()), text.size() * 2));
    }
    const QStringList before = m_folder->snapshot();
    DiaryCore core(ProgramPaths::fromExeDir(m_folder->path()));
    const CoreResult result = core.openSettings();
    QCOMPARE(result.status, CoreResult::Status::Stopped);
    QVERIFY(result.stopReason);
    const SettingsProblem stopped = settingsProblem(*result.stopReason);
    QCOMPARE(stopped.code, code);
    QCOMPARE(stopped.path, m_folder->filePath("Trimbo.ini"));
    QCOMPARE(m_folder->snapshot(), before);
}

void TestCore::unreadableDiaryIsNeverWritten_data()
{
    QTest::addColumn<QString>("form"); // "file", "folder" or "missing"
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<DiaryError>("code");
    const QByteArray good = newDiaryWorkbook("St_Trimbo");
    QTest::newRow("missing") << "missing" << QByteArray() << DiaryError::NotAFile;
    QTest::newRow("folder") << "folder" << QByteArray() << DiaryError::NotAFile;
    QTest::newRow("empty") << "file" << QByteArray() << DiaryError::NotCompoundFile;
    QTest::newRow("truncated") << "file" << good.left(good.size() / 2) << DiaryError::CutShort;
    QTest::newRow("xlsx renamed") << "file" << QByteArray("PK\x03\x04 zipped") << DiaryError::NewerExcel;
    QTest::newRow("no diary sheet") << "file" << newDiaryWorkbook("Sheet1") << DiaryError::NoDiarySheet;
}

void TestCore::unreadableDiaryIsNeverWritten()
{
    QFETCH(QString, form);
    QFETCH(QByteArray, content);
    QFETCH(DiaryError, code);
    QFile::remove(book());
    if (form == "file")
        m_folder->write("Bk_Trimbo.xls", content);
    else if (form == "folder")
        QDir().mkpath(book());
    const QStringList before = m_folder->snapshot();
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    QCOMPARE(m_core->openSettings().status, CoreResult::Status::Done);
    const CoreResult opened = m_core->openDiary(answering());

    QCOMPARE(opened.status, CoreResult::Status::Done); // shown without days
    QCOMPARE(told(opened), Codes{code});
    QVERIFY(opened.notices.first().error);
    QCOMPARE(opened.notices.first().after, Aftermath::OpensEmpty);
    QCOMPARE(diaryProblem(opened.notices.first().problem).path, book());
    QCOMPARE(m_core->diary().firstEmptyRow(), 0);
    QVERIFY(!m_core->diaryWritable());
    const CoreResult saved = save(day("2010/01/21", "65"));
    QCOMPARE(saved.status, CoreResult::Status::Refused);
    QCOMPARE(told(saved), Codes{DiaryError::UnreadableAtOpen});
    QCOMPARE(diaryProblem(saved.notices.first().problem).path, book());
    QStringList after = m_folder->snapshot();
    after.removeIf([](const QString &entry) { return entry.contains("Bk_Trimbo.xls.lock"); });
    QCOMPARE(after, before);
}

void TestCore::newDayThenTheOverwriteAnswer()
{
    open();
    QSignalSpy changed(m_core.get(), &DiaryCore::diaryChanged);
    QCOMPARE(save(day("2010/01/29", "65.5", "21.3", "朝はパン\n昼はうどん")).status, CoreResult::Status::Done);
    QVERIFY(m_asked.isEmpty());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
    QCOMPARE(onDisk(book()).cell(1, DiaryColumn::IntakeComment).toText(), QString("朝はパン\n昼はうどん"));

    // The same day again: the question, and No changes nothing.
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    const CoreResult declined = save(day("2010/01/29", "64", "0"));
    QCOMPARE(declined.status, CoreResult::Status::Cancelled);
    QCOMPARE(m_asked, QStringList{"選択された日のデータが存在します\r\n上書きしますか？\r\n\r\n2010/01/29"});
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
    QCOMPARE(m_core->diary().cell(1, DiaryColumn::Weight).toText(), QString("65.5"));
    QCOMPARE(changed.size(), 1);

    // Yes replaces all eight cells; the row count stays.
    m_answers = {true};
    QCOMPARE(save(day("2010/01/29", "64", "0")).status, CoreResult::Status::Done);
    const DiaryTable table = onDisk(book());
    QCOMPARE(table.firstEmptyRow(), 2);
    QCOMPARE(table.cell(1, DiaryColumn::Weight).toText(), QString("64"));
    QVERIFY(table.cell(1, DiaryColumn::Fat).isEmpty());
    QVERIFY(table.cell(1, DiaryColumn::IntakeComment).isEmpty());
    QCOMPARE(m_core->diary().cell(1, DiaryColumn::Weight).toText(), QString("64"));
}

void TestCore::earlierDayIsSortedIn()
{
    open();
    QCOMPARE(save(day("2010/01/20", "66", "22", "二十日")).status, CoreResult::Status::Done);
    QCOMPARE(save(day("2010/01/10", "67", "23", "十日")).status, CoreResult::Status::Done);
    QCOMPARE(save(day("2010/01/15", "68", "23", "十五日")).status, CoreResult::Status::Done);
    for (const DiaryTable &diary : {m_core->diary(), onDisk(book())}) {
        QCOMPARE(diary.firstEmptyRow(), 4);
        QCOMPARE(diary.cell(1, DiaryColumn::IntakeComment).toText(), QString("十日"));
        QCOMPARE(diary.cell(2, DiaryColumn::Date).toText(), QString("2010/01/15"));
        QCOMPARE(diary.cell(3, DiaryColumn::Weight).toText(), QString("66"));
    }
}

void TestCore::valuesThatCannotBeSavedAreRefused_data()
{
    QTest::addColumn<QString>("weight");
    QTest::addColumn<QString>("fat");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("said"); // empty: the comment's length is refused
    QTest::newRow("words for a weight") << "sixty"
                                        << "22"
                                        << ""
                                        << "体重の値「sixty」は数値ではありません。";
    QTest::newRow("1e308 kg") << "1e308"
                              << "22"
                              << ""
                              << "体重の値「1e308」は使えません。体重は 0 から 1000 kg までの数値です。";
    QTest::newRow("below 0 kg") << "-0.05"
                                << "22"
                                << ""
                                << "体重の値「-0.05」は使えません。";
    QTest::newRow("words for body fat") << "66"
                                        << "much"
                                        << ""
                                        << "体脂肪率の値「much」は数値ではありません。";
    QTest::newRow("body fat over 100 %")
        << "66"
        << "100.05"
        << ""
        << "体脂肪率の値「100.05」は使えません。体脂肪率は 0 から 100 % までの数値です。";
    QTest::newRow("comment too long") << "66"
                                      << "22" << QString(MaxCellText + 1, u'長') << QString();
}

void TestCore::valuesThatCannotBeSavedAreRefused()
{
    QFETCH(QString, weight);
    QFETCH(QString, fat);
    QFETCH(QString, comment);
    QFETCH(QString, said);
    open();
    QCOMPARE(save(day("2010/01/20", "66", "22")).status, CoreResult::Status::Done);
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    const CoreResult refused = save(day("2010/01/21", weight, fat, comment));
    QCOMPARE(refused.status, CoreResult::Status::Refused);
    QCOMPARE(refused.notices.size(), 1);
    QVERIFY(refused.notices.first().error);
    if (said.isEmpty()) {
        const DiaryProblem tooLong = diaryProblem(refused.notices.first().problem);
        QCOMPARE(tooLong.code, DiaryError::IntakeCommentTooLong);
        QCOMPARE(tooLong.number, MaxCellText + 1);
        QCOMPARE(refused.notices.first().after, Aftermath::ShortenFirst);
    } else {
        QVERIFY2(text(refused.notices.first()).startsWith(said), qPrintable(text(refused.notices.first())));
    }
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
    // The longest comment that fits is saved.
    QCOMPARE(save(day("2010/01/21", "66", "22", QString(MaxCellText, u'長'))).status, CoreResult::Status::Done);
    QCOMPARE(m_core->diary().firstEmptyRow(), 3);
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
    QCOMPARE(first.status, CoreResult::Status::Done);
    QCOMPARE(told(first), Codes{DiaryError::SaveNotes});
    QVERIFY(!first.notices.first().error);
    const std::vector<DiaryProblem> cells = diaryProblem(first.notices.first().problem).parts;
    QCOMPARE(cells.size(), size_t(2));
    QCOMPARE(cells[0].names + cells[1].names, QStringList({"B1", "C1"}));
    QCOMPARE(m_core->diary().cell(1, DiaryColumn::Weight).toText(), QString("68"));
    QCOMPARE(m_core->diary().cell(1, DiaryColumn::Fat).toText(), QString("18"));
    QCOMPARE(told(save(day("2010/01/01", "66", "22"))), Codes());
    QCOMPARE(m_core->diary().cell(2, DiaryColumn::Weight).toText(), QString("68"));
}

// A sheet whose every row holds a day: every day is read and may be
// corrected; only a new day is refused, with the same message as at the start.
void TestCore::fullDiaryTakesCorrectionsOnly()
{
    std::vector<DayValues> days;
    for (int i = 0; i < MaxDiaryRows; ++i)
        days.push_back(day(dateText(QDate(1900, 1, 1).addDays(i)), "60", ""));
    QVERIFY(saveDays(book(), days, false).saved);
    m_folder->write("Trimbo.ini", settings);
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    m_core->openSettings();
    QCOMPARE(told(m_core->openDiary(answering())), Codes{DiaryError::Full});
    QCOMPARE(m_core->diary().firstEmptyRow(), MaxDiaryRows + 1);

    m_answers = {true};
    QCOMPARE(told(save(day("1900/01/02", "58.5", ""))), Codes());
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(m_core->diary().cell(2, DiaryColumn::Weight).toText(), QString("58.5"));
    QCOMPARE(m_core->diary().firstEmptyRow(), MaxDiaryRows + 1);

    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    const CoreResult refused = save(day("2300/01/01", "58", ""));
    QCOMPARE(refused.status, CoreResult::Status::Refused);
    QCOMPARE(told(refused), Codes{DiaryError::Full});
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
}

// A second copy on the same folder, and a folder whose diary links to the
// same file: the lock sits beside the file, so the second stops.
void TestCore::oneDiaryHasOneWriter()
{
    const TempProgramFolder linked;
    const TempProgramFolder synced;
    linked.layOut(settings);
    synced.write("Bk_Trimbo.xls", newDiaryWorkbook("St_Trimbo"));
    for (const TempProgramFolder *folder : {static_cast<const TempProgramFolder *>(m_folder.get()), &linked}) {
        QFile::remove(folder->filePath("Bk_Trimbo.xls"));
        QVERIFY(QFile::link(synced.filePath("Bk_Trimbo.xls"), folder->filePath("Bk_Trimbo.xls")));
    }
    open();
    QVERIFY(QFileInfo::exists(synced.filePath("Bk_Trimbo.xls.lock")));
    QVERIFY(!QFileInfo::exists(m_folder->filePath("Bk_Trimbo.xls.lock")));
    for (const QString &folder : {m_folder->path(), linked.path()}) {
        DiaryCore second(ProgramPaths::fromExeDir(folder));
        QCOMPARE(second.openSettings().status, CoreResult::Status::Done);
        const CoreResult opened = second.openDiary(answering());
        QCOMPARE(opened.status, CoreResult::Status::Stopped);
        const DiaryProblem held = diaryProblem(*opened.stopReason);
        QCOMPARE(held.code, DiaryError::OpenedElsewhere);
        QCOMPARE(held.names.value(0), QString("tst_core"));
    }
    QVERIFY(m_core->diaryWritable());
    QCOMPARE(save(day("2010/01/21", "65")).status, CoreResult::Status::Done);
    m_core.reset(); // its lock goes before the folder it sits in
}

// What a run that died leaves behind, a lock naming a process long gone, and
// lock files that name no one (a disk that filled while one was written).
void TestCore::locksLeftBehindAreTakenOver_data()
{
    QTest::addColumn<QByteArray>("lock");
    QTest::newRow("crashed run") << "2147483000\ntst_core\n" + QSysInfo::machineHostName().toUtf8() + "\n";
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("garbage") << QByteArray("\0\0\xff\xfe lock?", 10);
}

void TestCore::locksLeftBehindAreTakenOver()
{
    QFETCH(QByteArray, lock);
    m_folder->write("Bk_Trimbo.xls.lock", lock);
    open();
    QVERIFY(m_asked.isEmpty());
    QVERIFY(m_core->diaryWritable());
    QVERIFY(
        m_folder->read("Bk_Trimbo.xls.lock").startsWith(QByteArray::number(QCoreApplication::applicationPid()) + "\n"));
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
    m_answers = {takeOver};
    m_core = std::make_unique<DiaryCore>(ProgramPaths::fromExeDir(m_folder->path()));
    m_core->openSettings();
    const CoreResult opened = m_core->openDiary(answering());
    QCOMPARE(opened.status, CoreResult::Status::Done);
    QCOMPARE(m_asked.size(), 1);
    const QString since =
        QFileInfo(m_folder->filePath("Bk_Trimbo.xls.lock")).lastModified().toString("yyyy/MM/dd HH:mm");
    QVERIFY2(m_asked.first().contains("kitchen-pc") && m_asked.first().contains(since)
                 && m_asked.first().contains("引き継ぎますか"),
             qPrintable(m_asked.first()));
    QCOMPARE(m_core->diaryWritable(), takeOver);
    const QByteArray before = m_folder->read("Bk_Trimbo.xls");
    const CoreResult saved = save(day("2010/01/21", "65"));
    QCOMPARE(m_asked.size(), takeOver ? 1 : 2);
    if (takeOver) {
        QVERIFY(opened.notices.isEmpty());
        QCOMPARE(saved.status, CoreResult::Status::Done);
        QVERIFY(m_folder->read("Bk_Trimbo.xls.lock").contains(QSysInfo::machineHostName().toUtf8()));
        return;
    }
    QCOMPARE(told(opened), Codes{DiaryError::InUse});
    QCOMPARE(diaryProblem(opened.notices.first().problem).names.value(1), QString("kitchen-pc"));
    QCOMPARE(saved.status, CoreResult::Status::Refused);
    QCOMPARE(told(saved), Codes{DiaryError::InUse});
    QVERIFY(saved.notices.first().error);
    QCOMPARE(m_folder->read("Bk_Trimbo.xls.lock"), lock);
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), before);
}

void TestCore::photoGoesWithItsDay()
{
    open();
    QImage meal(32, 24, QImage::Format_RGB32);
    meal.fill(QColor(250, 200, 100));
    const QString pictures = m_core->paths().PictureDir;
    const QDate day25(2010, 1, 25);
    QCOMPARE(save(day("2010/01/25", "65"), planPhotoChange(0, "meal.png", meal, day25, pictures)).status,
             CoreResult::Status::Done);
    QCOMPARE(QImage(m_folder->filePath("Picture/20100125.bmp"), "BMP").pixelColor(5, 5), QColor(250, 200, 100));
    QCOMPARE(m_core->diary().cell(1, DiaryColumn::Photo).toText(), QString("20100125.bmp"));

    // Cleared, it goes with the answer Yes, and stays with No.
    const PhotoChange clear = planPhotoChange(1, {}, {}, day25, pictures);
    QCOMPARE(save(day("2010/01/25", "65"), clear).status, CoreResult::Status::Cancelled);
    QVERIFY(QFileInfo::exists(m_folder->filePath("Picture/20100125.bmp")));
    m_answers = {true};
    QCOMPARE(save(day("2010/01/25", "65"), clear).status, CoreResult::Status::Done);
    QVERIFY(!QFileInfo::exists(m_folder->filePath("Picture/20100125.bmp")));
    QVERIFY(m_core->diary().cell(1, DiaryColumn::Photo).isEmpty());

    // A photo that could not be made refuses the day before anything is written.
    PhotoChange broken = planPhotoChange(0, "face.ico", {}, day25, pictures);
    QVERIFY(!broken.error.isEmpty());
    const QStringList before = m_folder->snapshot();
    m_answers = {true};
    const CoreResult refused = save(day("2010/01/25", "64"), broken);
    QCOMPARE(refused.status, CoreResult::Status::Refused);
    QCOMPARE(refused.notices.first().after, Aftermath::DiaryUnchanged);
    QCOMPARE(m_folder->snapshot(), before);
}

// The photo is staged beside its place, and takes it only once the
// workbook is saved: a workbook that cannot be written leaves the photo
// folder as it was.
void TestCore::photoWaitsForTheWorkbook()
{
    open();
    for (int d = 1; d <= 30; ++d)
        QCOMPARE(save(day(dateText(QDate(2010, 1, d)), "65", "20", QString(40, u'日'))).status,
                 CoreResult::Status::Done);
    QVERIFY(QFileInfo(book()).size() > 8192);
    const QStringList before = m_folder->snapshot();
    QImage dot(2, 2, QImage::Format_RGB32);
    dot.fill(Qt::red);
    m_answers = {true};
    CoreResult refused;
    {
        const FileSizeLimit limit(4096); // room for the photo, none for the workbook
        refused = save(day("2010/01/31", "64"),
                       planPhotoChange(0, "dot.png", dot, QDate(2010, 1, 31), m_core->paths().PictureDir));
    }
    QCOMPARE(refused.status, CoreResult::Status::Refused);
    QCOMPARE(told(refused), Codes{DiaryError::CannotSave});
    QCOMPARE(diaryProblem(refused.notices.first().problem).reason->problem, FileProblem::BeyondSizeLimit);
    QCOMPARE(refused.notices.first().after, Aftermath::DiaryUnchanged);
    QCOMPARE(m_folder->snapshot(), before);
    QCOMPARE(m_core->diary().firstEmptyRow(), 31);
}

// The level of the saved day goes to the viewer's file; the viewer is
// started when the level differs from the start's and the settings ask for it.
void TestCore::levelGoesToTheViewer()
{
    QVERIFY(saveDays(book(), {day("2010/01/10", "75")}, false).saved);
    // A level file put in place as a link is replaced by a file of its own.
    QVERIFY(QFile::remove(m_folder->filePath("BoxingGame/Beforedata.txt")));
    QVERIFY(QFile::link("../Bk_Trimbo.xls", m_folder->filePath("BoxingGame/Beforedata.txt")));
    const QByteArray diary = m_folder->read("Bk_Trimbo.xls");
    open();
    QCOMPARE(m_core->diary().firstEmptyRow(), 2);
    QSignalSpy viewer(m_core.get(), &DiaryCore::viewerRequested);
    m_core->handOverStartLevel("75", QDate(2010, 1, 10));
    QCOMPARE(m_core->startLevel(), 5);
    QVERIFY(!QFileInfo(m_folder->filePath("BoxingGame/Beforedata.txt")).isSymLink());
    QCOMPARE(m_folder->read("BoxingGame/Beforedata.txt"), QByteArray("5\r\n"));
    QCOMPARE(m_folder->read("Bk_Trimbo.xls"), diary);
    QCOMPARE(told(save(day("2010/01/11", "75.5"))), Codes());
    QCOMPARE(m_folder->read("BoxingGame/data.txt"), QByteArray("4\r\n"));
    QCOMPARE(viewer.size(), 1);
    QCOMPARE(viewer.first().first().toString(), m_folder->filePath("BoxingGame/Figurat.exe"));
    QCOMPARE(save(day("2010/01/12", "75")).status, CoreResult::Status::Done); // level 5 again
    QCOMPARE(viewer.size(), 1);

    // So is one linked out of the folder, which stays as it was.
    const TempProgramFolder outside;
    outside.write("elsewhere.txt", "not Trimbo's\n");
    QVERIFY(QFile::remove(m_folder->filePath("BoxingGame/data.txt")));
    QVERIFY(QFile::link(outside.filePath("elsewhere.txt"), m_folder->filePath("BoxingGame/data.txt")));
    QCOMPARE(save(day("2010/01/13", "72")).status, CoreResult::Status::Done);
    QVERIFY(!QFileInfo(m_folder->filePath("BoxingGame/data.txt")).isSymLink());
    QCOMPARE(m_folder->read("BoxingGame/data.txt"), QByteArray("8\r\n"));
    QCOMPARE(outside.read("elsewhere.txt"), QByteArray("not Trimbo's\n"));

    // No level file: none is made, and nothing is said.
    QVERIFY(QFile::remove(m_folder->filePath("BoxingGame/data.txt")));
    QCOMPARE(told(save(day("2010/01/14", "74"))), Codes());
    QVERIFY(!QFileInfo::exists(m_folder->filePath("BoxingGame/data.txt")));

    // Not shown when the settings say so; a start that is no number is said
    // at a save, which still goes through.
    m_folder->write("BoxingGame/data.txt", "5\r\n");
    open(QByteArray(settings).replace("TrimboVis=0", "TrimboVis=1").replace("DStartW=80", "DStartW=seventy"));
    QSignalSpy hidden(m_core.get(), &DiaryCore::viewerRequested);
    const CoreResult saved = save(day("2010/01/15", "71"));
    QCOMPARE(saved.notices.size(), 1);
    QVERIFY2(text(saved.notices.first()).contains("ダイエット開始日の体重")
                 && text(saved.notices.first()).contains("seventy"),
             qPrintable(text(saved.notices.first())));
    QCOMPARE(m_core->diary().firstEmptyRow(), 7);
    QCOMPARE(m_folder->read("BoxingGame/data.txt"), QByteArray("5\r\n")); // no level to hand over
    QVERIFY(hidden.isEmpty());
}

// A settings file that cannot be written: the graph's choices and a trend
// switch take effect for this run and say they are not kept; the setup's
// values are refused and the settings stay as they were.
void TestCore::settingsSavesThatCannotBeWritten()
{
    open();
    QSignalSpy changed(m_core.get(), &DiaryCore::settingsChanged);
    GraphSettings graph = m_core->settings().graph;
    graph.WUpper = "85";
    QCOMPARE(told(m_core->saveGraphSettings(graph)), Codes());
    QVERIFY(m_folder->read("Trimbo.ini").contains("WUpper=85\r\n"));
    QVERIFY(m_folder->read("Trimbo.ini").contains("[Establish]\r\nDStartW=80\r\nGoalW=70\r\n"));

    QVERIFY(QFile::remove(m_folder->filePath("Trimbo.ini")) && QDir().mkpath(m_folder->filePath("Trimbo.ini")));
    graph.WUpper = "95";
    const CoreResult graphSaid = m_core->saveGraphSettings(graph);
    const auto notWritten = [this](const CoreResult &result, Aftermath after) {
        if (result.notices.size() != 1 || result.notices.first().after != after)
            return false;
        const SettingsProblem problem = settingsProblem(result.notices.first().problem);
        return problem.code == SettingsError::NotWritten && problem.path == m_folder->filePath("Trimbo.ini");
    };
    QVERIFY(notWritten(graphSaid, Aftermath::GraphNotKept));
    QCOMPARE(m_core->settings().graph.WUpper, QString("95"));
    TrendSettings trend;
    trend.Trend = 1;
    const CoreResult trendSaid = m_core->saveTrendSettings(trend);
    QVERIFY(notWritten(trendSaid, Aftermath::SwitchNotKept));
    QCOMPARE(m_core->settings().trend.Trend, 1);
    EstablishSettings establish = m_core->settings().establish;
    establish.GoalW = "68";
    const CoreResult refused = m_core->saveEstablishSettings(establish);
    QCOMPARE(refused.status, CoreResult::Status::Refused);
    QVERIFY(notWritten(refused, Aftermath::SettingsNotSaved));
    QCOMPARE(m_core->settings().establish.GoalW, QString("70"));
    QCOMPARE(changed.size(), 3);
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
