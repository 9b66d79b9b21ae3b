#include "diarycore.h"

#include "datetext.h"
#include "entryrules.h"
#include "photofile.h"
#include "problemwording.h"
#include "trendplot.h"

#include <QFileInfo>

CoreResult &CoreResult::refuse(const AnyProblem &problem, Aftermath after, bool error)
{
    status = Status::Refused;
    notices.append({error, problem, after});
    return *this;
}

CoreResult &CoreResult::stop(const AnyProblem &reason)
{
    status = Status::Stopped;
    stopReason = reason;
    return *this;
}

DiaryCore::DiaryCore(const ProgramPaths &paths, QObject *parent) : QObject(parent), m_paths(paths) {}
DiaryCore::~DiaryCore() = default;

CoreResult DiaryCore::openSettings()
{
    CoreResult result;
    if (!QFileInfo::exists(m_paths.IniPath))
        return result.stop(SettingsProblem(SettingsError::NotFound, m_paths.IniPath, {FixedNames::IniFile}));
    const GetIniResult ini = GetIni(m_paths.IniPath);
    if (ini.problem)
        return result.stop(*ini.problem);
    if (!ini.problems.empty())
        result.warn(SettingsProblem(SettingsError::Damaged, m_paths.IniPath, {}, 0, 0, {}, ini.problems));
    m_settings = ini.fields;
    applyLatestDays(m_settings.trend, m_settings.graph, QDate::currentDate());
    return result;
}

CoreResult DiaryCore::openDiary(const Question &ask)
{
    CoreResult result;
    m_lock = std::make_unique<DiaryLock>(m_paths.BookPath);
    if (takeLock(ask) == DiaryLock::Result::HeldByAnotherCopy)
        return result.stop(m_lock->held(DiaryError::OpenedElsewhere, m_paths.BookPath));
    if (m_lockProblem)
        result.warn(*m_lockProblem);
    loadDiary(result);
    Q_EMIT diaryChanged();
    return result;
}

// Locks the diary for this run, asking before a lock made on another
// computer is taken over; m_lockProblem says why when it is not locked.
// A moment's wait lets a trimbo-diary save that holds it finish.
DiaryLock::Result DiaryCore::takeLock(const Question &ask)
{
    DiaryLock::Result lock = m_lock->acquireWaiting(std::chrono::seconds(1));
    if (lock == DiaryLock::Result::HeldOnAnotherHost
        && ask(takeOverQuestion(m_lock->held(DiaryError::InUse, m_paths.BookPath))))
        lock = m_lock->takeOver();
    switch (lock) {
    case DiaryLock::Result::Locked: m_lockProblem.reset(); break;
    case DiaryLock::Result::HeldByAnotherCopy:
    case DiaryLock::Result::HeldOnAnotherHost: m_lockProblem = m_lock->held(DiaryError::InUse, m_paths.BookPath); break;
    case DiaryLock::Result::CannotLock:
        m_lockProblem = DiaryProblem{DiaryError::NotLockable, m_paths.BookPath, {}, 0, 0, {}, {m_lock->whyNotLocked()}};
        break;
    }
    return lock;
}

void DiaryCore::loadDiary(CoreResult &result)
{
    DiaryBook book(m_paths.BookPath);
    if (const DiaryFailure unusable = book.open()) {
        m_loadProblem = DiaryProblem{DiaryError::UnreadableAtOpen, m_paths.BookPath};
        result.warn(*unusable, Aftermath::OpensEmpty);
        return;
    }
    m_loadProblem.reset();
    book.firstEmptyRow();
    if (book.isFull())
        result.inform(DiaryProblem{DiaryError::Full});
    m_diary = book.table();
    nameUnusablePhotos(result);
}

// Photo references that can never be shown (a path out of the photo folder,
// a link, a pipe, a device) are named once, here; the entry tab and the list
// then show those days without a photo and leave the references as they are.
void DiaryCore::nameUnusablePhotos(CoreResult &result) const
{
    std::vector<PhotoProblem> unusable = unusablePhotoReferences(m_diary, m_paths.PictureDir, MaxPhotoBytes);
    if (!unusable.empty())
        result.warn(
            PhotoProblem{PhotoError::UnusableReferences, m_paths.PictureDir, {}, 0, 0, {}, std::move(unusable)});
}

CoreResult DiaryCore::saveDay(const DayValues &day, const PhotoChange &photo, const Question &ask)
{
    CoreResult result;
    for (const auto &[text, bounds] : {std::pair{day.weight, WeightBounds}, std::pair{day.fat, FatBounds}}) {
        if (const QString problem = measurementProblem(text, bounds); !problem.isEmpty())
            return result.refuse(problem);
    }
    if (const DiaryFailure problem = commentProblem(day))
        return result.refuse(*problem, Aftermath::ShortenFirst);
    if (m_loadProblem)
        return result.refuse(*m_loadProblem);
    // A lock that could not be made at the start (a full disk, say) is tried again.
    if (m_lockProblem && takeLock(ask) != DiaryLock::Result::Locked)
        return result.refuse(*m_lockProblem);
    DiaryBook book(m_paths.BookPath);
    if (const DiaryFailure unusable = book.open())
        return result.refuse(*unusable, Aftermath::NotSaved);
    if (!writeDay(book, day, photo, ask, result))
        return result;
    Q_EMIT diaryChanged();
    handOverLevel(day, result);
    return result;
}

// The workbook and the photo are worked out in memory first; the photo is
// staged before the workbook is written and takes its place only after.
bool DiaryCore::writeDay(DiaryBook &book, const DayValues &day, const PhotoChange &photo, const Question &ask,
                         CoreResult &result)
{
    DayPlacement placement(book);
    const DayPlacement::Place place = placement.find(day.date);
    if (place.recorded && !ask(overwriteQuestion(parseDateText(day.date).value_or(QDate())))) {
        result.status = CoreResult::Status::Cancelled;
        return false;
    }
    if (place.row == 0) {
        result.refuse(*place.refusal, Aftermath::None, false);
        return false;
    }
    PhotoWriter photoWriter(photo);
    if (const PictureFailure unstaged = photo.error ? photo.error : photoWriter.stage()) {
        result.refuse(*unstaged, Aftermath::DiaryUnchanged);
        return false;
    }
    DayValues written = day;
    written.photo = photo.reference;
    placement.write(place, written);
    DiaryTable saved = placement.finish();
    book.setKeepBackups(m_settings.trend.Backups == 1);
    if (const DiaryFailure failed = book.save()) {
        result.refuse(*failed, Aftermath::DiaryUnchanged);
        return false;
    }
    // Said once for the save, every cell in one message.
    if (!book.saveNotes().empty()) {
        DiaryProblem notes(DiaryError::SaveNotes, m_paths.BookPath);
        notes.parts = book.saveNotes();
        result.inform(notes);
    }
    if (book.backupProblem() && !std::exchange(m_backupFailureTold, true))
        result.warn(*book.backupProblem());
    if (const PictureFailure uncommitted = photoWriter.commit())
        result.warn(*uncommitted, Aftermath::DiarySaved);
    m_diary = std::move(saved);
    return true;
}

Judgement DiaryCore::judge(Measure measure, const QString &current, QDate day) const
{
    const EstablishSettings &e = m_settings.establish;
    const bool weight = measure == Measure::Weight;
    const LevelInputs inputs{weight ? e.DStartW : e.DStartF, weight ? e.GoalW : e.GoalF, current};
    return judgeLevel(inputs, m_diary, measure, day);
}

void DiaryCore::handOverStartLevel(const QString &weight, QDate day)
{
    const Judgement judged = judge(Measure::Weight, weight, day);
    if (!judged.level)
        return;
    WriteText(QString::number(*judged.level), m_paths.BoxingDir + FixedNames::BeforeDataFile);
    m_startLevel = *judged.level;
}

void DiaryCore::handOverLevel(const DayValues &day, CoreResult &result)
{
    const bool fat = m_settings.graph.GraphVis == 1;
    const Judgement judged = judge(fat ? Measure::Fat : Measure::Weight, fat ? day.fat : day.weight,
                                   parseDateText(day.date).value_or(QDate()));
    if (judged.problem)
        result.warn(*judged.problem);
    if (!judged.level)
        return;
    if (!WriteText(QString::number(*judged.level), m_paths.BoxingDir + FixedNames::DataFile))
        result.warn(ExchangeProblem(ExchangeError::NotRewritten, m_paths.BoxingDir + FixedNames::DataFile));
    if (*judged.level == m_startLevel)
        return;
    Q_EMIT levelChanged(*judged.level);
    if (m_settings.graph.TrimboVis == 0)
        Q_EMIT viewerRequested(m_paths.CompanionDir + FixedNames::FigureViewer);
}

// Settings that take effect at once: the program uses them either way, and
// the user is told when the file did not take them.
CoreResult DiaryCore::tookEffect(const SettingsFailure &notWritten, Aftermath notKept)
{
    CoreResult result;
    if (notWritten)
        result.warn(*notWritten, notKept);
    Q_EMIT settingsChanged();
    return result;
}

CoreResult DiaryCore::saveGraphSettings(const GraphSettings &graph)
{
    m_settings.graph = graph;
    return tookEffect(WriteIni_Graph(m_paths.IniPath, graph), Aftermath::GraphNotKept);
}

CoreResult DiaryCore::saveEstablishSettings(const EstablishSettings &establish)
{
    CoreResult result;
    // Not written, nothing changes.
    if (const SettingsFailure notWritten = WriteIni_Establish(m_paths.IniPath, establish))
        return result.refuse(*notWritten, Aftermath::SettingsNotSaved);
    m_settings.establish = establish;
    Q_EMIT settingsChanged();
    return result;
}

CoreResult DiaryCore::saveTrendSettings(const TrendSettings &trend)
{
    m_settings.trend = trend;
    return tookEffect(WriteIni_Trend(m_paths.IniPath, trend), Aftermath::SwitchNotKept);
}

void applyLatestDays(const TrendSettings &trend, GraphSettings &graph, QDate today)
{
    const std::optional<QDate> start = parseDateText(graph.StartD);
    const std::optional<QDate> end = parseDateText(graph.EndD);
    if (trend.LatestDays != 1 || !start || !end)
        return;
    const DateSpan moved = endingToday({*start, *end}, today);
    graph.StartD = dateText(moved.start);
    graph.EndD = dateText(moved.end);
}
