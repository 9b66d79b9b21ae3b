#pragma once

#include "bckgrnd.h"
#include "diarybook.h"
#include "diarylock.h"
#include "exchange.h"
#include "diarytable.h"
#include "launcher.h"
#include "plot.h"
#include "programpaths.h"
#include "settings.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TFrm_Main;
}

// The main window: it owns the paths, the settings fields and the diary, and
// brings every part of the program to life the first time it is shown.
class TFrm_Main : public QWidget
{
    Q_OBJECT

public:
    // paths say where everything is found; shell opens the companions
    // (nullptr: the desktop's own).
    explicit TFrm_Main(const ProgramPaths &paths, DesktopShell *shell = nullptr, QWidget *parent = nullptr);
    // Everything in the one folder exeDir.
    explicit TFrm_Main(const QString &exeDir, DesktopShell *shell = nullptr, QWidget *parent = nullptr);
    ~TFrm_Main() override;

    const ProgramPaths &paths() const { return m_paths; }
    SettingsFields &settings() { return m_settings; }
    const DiaryTable &diary() const { return m_diary; }
    // False when the diary could not be read at start-up (saving into it
    // then could overwrite days this run never saw) or is not locked for
    // this run (a save tries the lock again first).
    bool diaryWritable() const { return m_loadProblem.isEmpty() && m_lockProblem.isEmpty(); }

    // True once a fatal stop has ended the program.
    bool stopped() const { return m_stopped; }

    void setVisible(bool visible) override;

    void FormShow();
    // Rebuilds the whole graph from the diary and the graph settings tab.
    void GraphAllView();
    // The read-out of the day at a point of the graph picture; empty where no
    // recorded day is.
    QString graphReadOut(QPoint point) const;
    // The series of the last redraw.
    const GraphPicture &graph() const { return m_graph; }
    // The fatal stop: one box reading "forced termination" and the message,
    // then the program ends. The caller must go no further.
    void AplStop(const QString &message);

    // The row of the first day, from the top, whose date is dateText; false
    // and row 0 when the diary has no such day.
    bool CheckSameDate(const QString &dateText, int *row) const;
    // The store's messages; code 0: the diary has no room for another day.
    void CustomMessage(int code);

    // Records the day shown on the entry tab.
    void BtBtn_Save_TodayClick();
    // The progress level of the newest day, handed to the body-shape viewer at start-up.
    void BeforedataWrite();
    int BeforeLevel() const { return m_beforeLevel; }

    void BtBtn_CloseClick();
    void BtBtn_DefaultClick();
    void Btn_GridViewClick();
    void Btn_HelpClick();
    void BtBtn_BoxingClick();
    void openCompanion(const QString &path);

private:
    void AfterSaveExchange();
    Judgement judge(Measure measure) const;
    bool saveDay(DiaryBook &book);
    void CrossAxleClear();
    void VertAxleClear();
    bool lockDiary();
    DiaryLock::Result takeLock();
    void loadDiary();
    void nameUnusablePhotos();
    void setKeyLegendPictures();
    void centreOnScreen();

    std::unique_ptr<Ui::TFrm_Main> m_ui;
    Launcher m_launcher;
    ProgramPaths m_paths;
    SettingsFields m_settings;
    TFrm_BckGrnd m_bckGrnd;
    GraphPicture m_graph;
    std::unique_ptr<DiaryLock> m_lock;
    DiaryTable m_diary;
    QString m_loadProblem = QStringLiteral("not loaded"); // empty once the diary was read
    QString m_lockProblem;                                // empty while the diary is locked for this run
    int m_beforeLevel = 0;
    bool m_shownOnce = false;
    bool m_stopped = false;
    class GraphReadOut *m_readOut = nullptr;
    bool m_backupFailureTold = false; // a backup that cannot be kept is said once a run
};
