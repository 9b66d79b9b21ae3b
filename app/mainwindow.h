#pragma once

#include "axisartwork.h"
#include "diarycore.h"
#include "launcher.h"
#include "plot.h"

#include <QWidget>
#include <memory>

namespace Ui {
class MainWindow;
}

// The main window: it wires the controls to the diary core, shows what the
// core says and redraws when the diary or the settings change; it brings
// every part of the program to life the first time it is shown.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // paths say where everything is found; shell opens the companions
    // (nullptr: the desktop's own).
    explicit MainWindow(const ProgramPaths &paths, DesktopShell *shell = nullptr, QWidget *parent = nullptr);
    // Everything in the one folder exeDir.
    explicit MainWindow(const QString &exeDir, DesktopShell *shell = nullptr, QWidget *parent = nullptr);
    ~MainWindow() override;

    const DiaryCore &core() const { return m_core; }

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

    // Records the day shown on the entry tab.
    void BtBtn_Save_TodayClick();

    void BtBtn_CloseClick();
    void BtBtn_DefaultClick();
    void Btn_GridViewClick();
    void Btn_HelpClick();
    void BtBtn_BoxingClick();
    void openCompanion(const QString &path);

private:
    // Shows what the core said; false when it stopped the program.
    bool tell(const CoreResult &result);
    void saveGraphSettings();
    void CrossAxleClear();
    void VertAxleClear();
    void setKeyLegendPictures();
    void centreOnScreen();

    std::unique_ptr<Ui::MainWindow> m_ui;
    Launcher m_launcher;
    DiaryCore m_core;
    AxisArtwork m_bckGrnd;
    GraphPicture m_graph;
    bool m_shownOnce = false;
    bool m_stopped = false;
    class GraphReadOut *m_readOut = nullptr;
};
