#include "diarycore.h"

#include "datetext.h"
#include "entryrules.h"
#include "photofile.h"
#include "trendplot.h"

#include <QFileInfo>

CoreResult &CoreResult::refuse(const QString &text, bool error)
{
    status = Status::Refused;
    notices.append({error, text});
    return *this;
}

CoreResult &CoreResult::stop(const QString &reason)
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
        return result.stop(QStringLiteral("Not Found \"%1\"").arg(FixedNames::IniFile));
    const GetIniResult ini = GetIni(m_paths.IniPath);
    if (!ini.error.isEmpty())
        return result.stop(ini.error);
    if (!ini.problems.isEmpty())
        result.warn(settingsProblemMessage(m_paths.IniPath, ini.problems));
    m_settings = ini.fields;
    applyLatestDays(m_settings.trend, m_settings.graph, QDate::currentDate());
    return result;
}

CoreResult DiaryCore::openDiary(const Question &ask)
{
    CoreResult result;
    m_lock = std::make_unique<DiaryLock>(m_paths.BookPath);
    if (takeLock(ask) == DiaryLock::Result::HeldByAnotherCopy)
        return result.stop(QStringLiteral("日記 \"%1\" は別のトリンボで開かれています (%2)。\r\n"
                                          "同じ日記を二つのトリンボで同時に開くことはできません。")
                               .arg(m_paths.BookPath, m_lock->holder()));
    if (!m_lockProblem.isEmpty())
        result.warn(m_lockProblem);
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
        && ask(QStringLiteral("日記 \"%1\" は別のコンピューターの %2 が使用中にしています。\r\n"
                              "そのトリンボが終わっている (使用中のままフォルダーを写してきた) なら、"
                              "このトリンボで引き継いで使えます。\r\n引き継ぎますか？")
                   .arg(m_paths.BookPath, m_lock->holder())))
        lock = m_lock->takeOver();
    const QString notSaved = QStringLiteral("\r\n日記は表示しますが、保存はできません。");
    switch (lock) {
    case DiaryLock::Result::Locked: m_lockProblem.clear(); break;
    case DiaryLock::Result::HeldByAnotherCopy:
    case DiaryLock::Result::HeldOnAnotherHost:
        m_lockProblem =
            QStringLiteral("日記 \"%1\" は %2 が使用中です。").arg(m_paths.BookPath, m_lock->holder()) + notSaved;
        break;
    case DiaryLock::Result::CannotLock:
        m_lockProblem =
            QStringLiteral("日記 \"%1\" を使用中にできません (%2)。").arg(m_paths.BookPath, m_lock->whyNotLocked())
            + notSaved;
        break;
    }
    return lock;
}

void DiaryCore::loadDiary(CoreResult &result)
{
    DiaryBook book(m_paths.BookPath);
    if (!book.OpenExcelDate()) {
        m_loadProblem =
            QStringLiteral("日記 \"%1\" は開いたときに読めなかったため、保存しません。").arg(m_paths.BookPath);
        result.warn(book.errorText() + QStringLiteral("\r\n記録のない状態で開きます。このファイルには保存しません。"));
        return;
    }
    m_loadProblem.clear();
    book.firstEmptyRow();
    if (book.isFull())
        result.inform(diaryFullMessage());
    m_diary = book.table();
    nameUnusablePhotos(result);
}

// Photo references that can never be shown (a path out of the photo folder,
// a link, a pipe, a device) are named once, here; the entry tab and the list
// then show those days without a photo and leave the references as they are.
void DiaryCore::nameUnusablePhotos(CoreResult &result) const
{
    constexpr int shownAtMost = 10;
    const QStringList unusable = unusablePhotoReferences(m_diary, m_paths.PictureDir, MaxPhotoBytes);
    if (unusable.isEmpty())
        return;
    QStringList lines{QStringLiteral("日記の写真の欄に、写真フォルダ \"%1\" の写真として開けないものがあります。")
                          .arg(m_paths.PictureDir)};
    lines += unusable.mid(0, shownAtMost);
    if (unusable.size() > shownAtMost)
        lines.append(QStringLiteral("ほか %1 件").arg(unusable.size() - shownAtMost));
    lines.append(QStringLiteral("これらの日は写真なしとして表示します。日記の写真の欄はそのまま残します。"));
    result.warn(lines.join(QStringLiteral("\r\n")));
}

CoreResult DiaryCore::saveDay(const DayValues &day, const PhotoChange &photo, const Question &ask)
{
    CoreResult result;
    for (const auto &[text, bounds] : {std::pair{day.weight, WeightBounds}, std::pair{day.fat, FatBounds}}) {
        if (const QString problem = measurementProblem(text, bounds); !problem.isEmpty())
            return result.refuse(problem);
    }
    if (const QString problem = commentProblem(day); !problem.isEmpty())
        return result.refuse(problem + QStringLiteral("\r\n短くしてから保存してください。"));
    if (!m_loadProblem.isEmpty())
        return result.refuse(m_loadProblem);
    // A lock that could not be made at the start (a full disk, say) is tried again.
    if (!m_lockProblem.isEmpty() && takeLock(ask) != DiaryLock::Result::Locked)
        return result.refuse(m_lockProblem);
    DiaryBook book(m_paths.BookPath);
    if (!book.OpenExcelDate())
        return result.refuse(book.errorText() + QStringLiteral("\r\n保存できませんでした。"));
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
        result.refuse(place.refusal, false);
        return false;
    }
    PhotoWriter photoWriter(photo);
    QString photoError = photo.error;
    if (!photoError.isEmpty() || !photoWriter.stage(&photoError)) {
        result.refuse(photoError + QStringLiteral("\r\n日記は保存前のままです。"));
        return false;
    }
    DayValues written = day;
    written.photo = photo.reference;
    placement.write(place, written);
    DiaryTable saved = placement.finish();
    book.setKeepBackups(m_settings.trend.Backups == 1);
    if (!book.Save()) {
        result.refuse(book.errorText() + QStringLiteral("\r\n日記は保存前のままです。"));
        return false;
    }
    // Said once for the save, every cell in one message.
    if (const QStringList notes = book.saveNotes(); !notes.isEmpty())
        result.inform(notes.join(QStringLiteral("\r\n")));
    if (!book.backupError().isEmpty() && !std::exchange(m_backupFailureTold, true))
        result.warn(book.backupError());
    if (!photoWriter.commit(&photoError))
        result.warn(photoError + QStringLiteral("\r\n日記には保存しました。"));
    m_diary = std::move(saved);
    return true;
}

Judgement DiaryCore::judge(Measure measure, const QString &current, QDate day) const
{
    const EstablishSettings &e = m_settings.establish;
    const bool weight = measure == Measure::Weight;
    const LevelInputs inputs{weight ? e.DStartW : e.DStartF, weight ? e.GoalW : e.GoalF, current,
                             weight ? QStringLiteral("ダイエット開始日の体重")
                                    : QStringLiteral("ダイエット開始日の体脂肪率"),
                             weight ? QStringLiteral("到達目標の体重") : QStringLiteral("到達目標の体脂肪率")};
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
    if (!judged.problem.isEmpty())
        result.warn(judged.problem);
    if (!judged.level)
        return;
    if (!WriteText(QString::number(*judged.level), m_paths.BoxingDir + FixedNames::DataFile))
        result.warn(QStringLiteral("%1 を書き換えられません。").arg(m_paths.BoxingDir + FixedNames::DataFile));
    if (*judged.level == m_startLevel)
        return;
    Q_EMIT levelChanged(*judged.level);
    if (m_settings.graph.TrimboVis == 0)
        Q_EMIT viewerRequested(m_paths.CompanionDir + FixedNames::FigureViewer);
}

// Settings that take effect at once: the program uses them either way, and
// the user is told when the file did not take them.
CoreResult DiaryCore::tookEffect(bool written, const QString &error, const QString &notKept)
{
    CoreResult result;
    if (!written)
        result.warn(error + QStringLiteral("\r\n") + notKept);
    Q_EMIT settingsChanged();
    return result;
}

CoreResult DiaryCore::saveGraphSettings(const GraphSettings &graph)
{
    m_settings.graph = graph;
    QString error;
    const bool written = WriteIni_Graph(m_paths.IniPath, graph, &error);
    return tookEffect(written, error, QStringLiteral("グラフ設定は保存されていません。"));
}

CoreResult DiaryCore::saveEstablishSettings(const EstablishSettings &establish)
{
    CoreResult result;
    // Not written, nothing changes.
    if (QString error; !WriteIni_Establish(m_paths.IniPath, establish, &error))
        return result.refuse(error + QStringLiteral("\r\n設定は保存されていません。"));
    m_settings.establish = establish;
    Q_EMIT settingsChanged();
    return result;
}

CoreResult DiaryCore::saveTrendSettings(const TrendSettings &trend)
{
    m_settings.trend = trend;
    QString error;
    const bool written = WriteIni_Trend(m_paths.IniPath, trend, &error);
    return tookEffect(written, error, QStringLiteral("この切り替えは次の起動には残りません。"));
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
