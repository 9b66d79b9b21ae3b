#pragma once

#include "boxingmatch.h"
#include "ringpainter.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <vector>

// The ring on screen: keys become the player's actions, a frame timer moves
// the match on by the time that really passed, and each frame is painted
// from the match's state. The rules themselves live in BoxingMatch.
class BoxingWindow : public QWidget
{
    Q_OBJECT

public:
    explicit BoxingWindow(int roundMs, QWidget *parent = nullptr);

    // Frames run while anything on the ring can still move.
    bool framesRunning() const { return m_frameTimer.isActive(); }
    const BoxingMatch &match() const { return *m_match; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void restart();
    void nextFrame();
    void ageCallouts(int ms);
    void calloutNewExchanges();
    bool verdictShown() const;
    bool actionKey(const QKeyEvent *event, bool pressed);
    bool isRestartKey(int key) const;

    int m_roundMs;
    std::unique_ptr<BoxingMatch> m_match;
    std::vector<Callout> m_callouts;
    size_t m_exchangesSeen = 0;
    int m_overForMs = 0;
    QTimer m_frameTimer;
    QElapsedTimer m_clock;
};
