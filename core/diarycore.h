#pragma once

#include "diarybook.h"
#include "diarylock.h"
#include "diarytable.h"
#include "exchange.h"
#include "photofile.h"
#include "photostore.h"
#include "programpaths.h"
#include "settings.h"

#include <QList>
#include <QObject>
#include <functional>
#include <memory>
#include <variant>

// A problem of any area the diary works with; a text for the entry's own
// checks, which say what they found in words already.
using AnyProblem = std::variant<DiaryProblem, PhotoProblem, PictureProblem, SettingsProblem, ExchangeProblem, QString>;

// What an operation on the diary came to, and the problems the user is to
// be told of, in the order they happened. The window shows the notices
// through the message layer; it makes none of its own.
struct CoreResult
{
    enum class Status {
        Done,      // carried out (notices may still name what went wrong beside it)
        Cancelled, // the user said no
        Refused,   // not carried out; the notices say why, nothing was changed
        Stopped,   // the program cannot go on: stopReason says why
    };
    struct Notice
    {
        bool error = false; // an error, or a piece of information
        AnyProblem problem;
        Aftermath after = Aftermath::None;
    };

    Status status = Status::Done;
    QList<Notice> notices;
    std::optional<AnyProblem> stopReason;

    void inform(const AnyProblem &problem) { notices.append({false, problem}); }
    void warn(const AnyProblem &problem, Aftermath after = Aftermath::None) { notices.append({true, problem, after}); }
    CoreResult &refuse(const AnyProblem &problem, Aftermath after = Aftermath::None, bool error = true);
    CoreResult &stop(const AnyProblem &reason);
};

// The diary document behind the main window: it owns the program folder's
// paths, the settings, the diary table and the diary's lock. It opens them,
// saves a day into the workbook with its photo, saves the settings, judges
// the progress level and hands it to the body-shape viewer. Questions go to
// the given callback; everything said comes back in a CoreResult.
class DiaryCore : public QObject
{
    Q_OBJECT

public:
    // Answers a yes/no question put to the user.
    using Question = std::function<bool(const QString &question)>;

    explicit DiaryCore(const ProgramPaths &paths, QObject *parent = nullptr);
    ~DiaryCore() override;

    const ProgramPaths &paths() const { return m_paths; }
    const SettingsFields &settings() const { return m_settings; }
    const DiaryTable &diary() const { return m_diary; }
    // False when the diary could not be read when opened (saving into it
    // then could overwrite days this run never saw) or is not locked for
    // this run (a save tries the lock again first).
    bool diaryWritable() const { return !m_loadProblem && !m_lockProblem; }
    // The level handed to the viewer at the start.
    int startLevel() const { return m_startLevel; }

    // Reads the settings file; stops without one or with one that cannot be read.
    CoreResult openSettings();
    // Locks the diary for this run (asking before a lock made on another
    // computer is taken over) and reads it.
    CoreResult openDiary(const Question &ask);

    // Saves a day: its values, what becomes of its photo, and whether a day
    // already recorded is overwritten. The day's row, its photo and the
    // workbook are all or nothing; the diary in memory changes only once
    // both are on disk. Then the level is handed to the viewer.
    CoreResult saveDay(const DayValues &day, const PhotoChange &photo, const Question &ask);

    // The graph settings take effect even when they cannot be written.
    CoreResult saveGraphSettings(const GraphSettings &graph);
    // The setup dialog's settings take effect only once written.
    CoreResult saveEstablishSettings(const EstablishSettings &establish);
    // A trend switch takes effect even when it cannot be written.
    CoreResult saveTrendSettings(const TrendSettings &trend);

    // The level of a measure's text on a day, against the diet's start and goal.
    Judgement judge(Measure measure, const QString &current, QDate day) const;
    // The level of the weight shown at the start, handed over in the
    // "before" file; a start or goal that is no number is said only when a
    // day is saved.
    void handOverStartLevel(const QString &weight, QDate day);

Q_SIGNALS:
    void diaryChanged();
    void settingsChanged();
    // A save handed the viewer a level other than the start's.
    void levelChanged(int level);
    // The body-shape viewer is to be started (the settings ask for it after
    // a save that changed the level).
    void viewerRequested(const QString &path);

private:
    DiaryLock::Result takeLock(const Question &ask);
    void loadDiary(CoreResult &result);
    void nameUnusablePhotos(CoreResult &result) const;
    bool writeDay(DiaryBook &book, const DayValues &day, const PhotoChange &photo, const Question &ask,
                  CoreResult &result);
    void handOverLevel(const DayValues &day, CoreResult &result);
    CoreResult tookEffect(const SettingsFailure &notWritten, Aftermath notKept);

    ProgramPaths m_paths;
    SettingsFields m_settings;
    DiaryTable m_diary;
    std::unique_ptr<DiaryLock> m_lock;
    DiaryFailure m_loadProblem = DiaryProblem{DiaryError::UnreadableAtOpen}; // none once the diary was read
    DiaryFailure m_lockProblem; // none while the diary is locked for this run
    int m_startLevel = 0;
    bool m_backupFailureTold = false; // a backup that cannot be kept is said once a run
};

// The graph's window at the start: moved to end on today when the latest
// days are switched on and both dates are dates.
void applyLatestDays(const TrendSettings &trend, GraphSettings &graph, QDate today);
