#pragma once

#include "levelanimation.h"
#include "viewerplan.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class FigureView;
class QLabel;

// The viewer's one window: the figure, the level in words and as a number,
// and a line for each level file that could not be used.
class ViewerWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ViewerWindow(const ViewerPlan &plan, QWidget *parent = nullptr);

    // Begins the change from the level before; call once the window is shown.
    void start();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void step();
    void showLevel(double level);
    QLabel *addLabel(int pixelSize, bool bold, const QString &colour);

    ViewerPlan m_plan;
    LevelAnimation m_animation;
    FigureView *m_figure;
    QLabel *m_caption;
    QLabel *m_phrase;
    QTimer m_ticker;
    QElapsedTimer m_clock;
};
