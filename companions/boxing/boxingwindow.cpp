#include "boxingwindow.h"

#include "keymap.h"

#include <QKeyEvent>
#include <QPainter>
#include <QRandomGenerator>

namespace {

constexpr int FrameMs = 16; // about 60 frames a second
// After a stall (a dragged window, a busy machine) the match skips ahead
// no more than this, rather than playing out a burst of missed time at once.
constexpr int LongestFrameMs = 100;

Callout calloutFor(const Exchange &exchange, const BoxingMatch &match)
{
    const Side defender = exchange.attacker == Side::Player ? Side::Opponent : Side::Player;
    switch (exchange.outcome) {
    case Outcome::Landed:
        return {moveName(exchange.punch) + QStringLiteral("！"), defender,
                exchange.attacker == Side::Player ? QColor(255, 220, 60) : QColor(255, 120, 100)};
    case Outcome::Guarded: return {guardName(), defender, QColor(170, 210, 255)};
    case Outcome::Dodged: return {moveName(match.fighter(defender).move()), defender, QColor(150, 255, 170)};
    case Outcome::Missed: break;
    }
    return {QStringLiteral("空振り"), exchange.attacker, QColor(220, 220, 220)};
}

} // namespace

BoxingWindow::BoxingWindow(int roundMs, QWidget *parent) : QWidget(parent), m_roundMs(roundMs)
{
    setWindowTitle(QStringLiteral("ボクシング - トリンボ"));
    setFixedSize(SceneSize);
    setFocusPolicy(Qt::StrongFocus);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    m_frameTimer.setInterval(FrameMs);
    connect(&m_frameTimer, &QTimer::timeout, this, &BoxingWindow::nextFrame);
    restart();
}

void BoxingWindow::restart()
{
    MatchSetup setup;
    setup.roundMs = m_roundMs;
    setup.aiSeed = QRandomGenerator::global()->generate();
    m_match = std::make_unique<BoxingMatch>(setup);
    m_callouts.clear();
    m_exchangesSeen = 0;
    m_overForMs = 0;
    m_clock.start();
    m_frameTimer.start();
    update();
}

void BoxingWindow::nextFrame()
{
    const int ms = int(std::min<qint64>(m_clock.restart(), LongestFrameMs));
    m_match->advance(ms);
    if (m_match->isOver())
        m_overForMs += ms;
    ageCallouts(ms);
    calloutNewExchanges();
    update();
    // Under the verdict, once the last callout has gone, nothing moves any
    // more: no frames until the next match.
    if (verdictShown() && m_callouts.empty())
        m_frameTimer.stop();
}

void BoxingWindow::ageCallouts(int ms)
{
    for (Callout &callout : m_callouts)
        callout.ageMs += ms;
    std::erase_if(m_callouts, [](const Callout &callout) { return callout.ageMs >= CalloutLifeMs; });
}

void BoxingWindow::calloutNewExchanges()
{
    const std::vector<Exchange> &exchanges = m_match->exchanges();
    for (; m_exchangesSeen < exchanges.size(); ++m_exchangesSeen)
        m_callouts.push_back(calloutFor(exchanges[m_exchangesSeen], *m_match));
}

void BoxingWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintScene(painter, Scene{*m_match, m_callouts, m_overForMs});
}

bool BoxingWindow::verdictShown() const
{
    return m_match->isOver() && m_overForMs >= ResultDelayMs;
}

bool BoxingWindow::isRestartKey(int key) const
{
    return verdictShown() && (key == Qt::Key_R || key == Qt::Key_Return || key == Qt::Key_Enter);
}

// Held keys repeat on their own; the match wants one press and one release.
bool BoxingWindow::actionKey(const QKeyEvent *event, bool pressed)
{
    const std::optional<Action> action = actionForKey(event->key());
    if (!action)
        return false;
    if (!event->isAutoRepeat())
        pressed ? m_match->press(*action) : m_match->release(*action);
    return true;
}

void BoxingWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        close();
    else if (isRestartKey(event->key()))
        restart();
    else if (!actionKey(event, true))
        QWidget::keyPressEvent(event);
}

void BoxingWindow::keyReleaseEvent(QKeyEvent *event)
{
    if (!actionKey(event, false))
        QWidget::keyReleaseEvent(event);
}

// A key let go while another window had the focus never reports its release;
// without this the guard would stay up for good.
void BoxingWindow::focusOutEvent(QFocusEvent *event)
{
    m_match->releaseAll(Side::Player);
    QWidget::focusOutEvent(event);
}
