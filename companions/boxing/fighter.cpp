#include "fighter.h"

#include <algorithm>

Fighter::Fighter(double positionCm) : m_positionCm(positionCm) {}

bool Fighter::isGuarding() const
{
    return m_guardHeld && (m_move == Move::Idle || isStep(m_move));
}

bool Fighter::isWindingUp() const
{
    return isPunch(m_move) && m_elapsedMs < moveStats(m_move).windupMs;
}

bool Fighter::isAvoiding(Move punch) const
{
    if (!isDodge(m_move))
        return false;
    const MoveStats &stats = moveStats(m_move);
    const bool inEffect = m_elapsedMs >= stats.windupMs && m_elapsedMs < stats.windupMs + stats.activeMs;
    return inEffect && avoids(m_move, punch);
}

bool Fighter::canStart(Move move) const
{
    if (move == Move::Idle || move == Move::Down || move == Move::Staggered)
        return false;
    if (m_move == Move::Idle)
        return true;
    // Footwork gives way to anything but more footwork; a duck gives way to a
    // body blow, which is how ↓ and a hook make one.
    if (isStep(m_move))
        return !isStep(move);
    return m_move == Move::Duck && isBodyBlow(move);
}

bool Fighter::start(Move move)
{
    if (!canStart(move))
        return false;
    begin(move);
    return true;
}

std::optional<Move> Fighter::advance(int ms)
{
    if (m_move == Move::Idle)
        return std::nullopt;
    const int before = m_elapsedMs;
    m_elapsedMs += ms;
    const int windupMs = moveStats(m_move).windupMs;
    const std::optional<Move> arrived =
        isPunch(m_move) && before < windupMs && m_elapsedMs >= windupMs ? std::optional(m_move) : std::nullopt;
    if (!isDown() && m_elapsedMs >= durationMs(m_move) + m_extraRecoveryMs) {
        m_move = Move::Idle;
        m_elapsedMs = 0;
        m_extraRecoveryMs = 0;
    }
    return arrived;
}

void Fighter::takeHit(int damage, bool staggers)
{
    m_stamina = std::max(0, m_stamina - damage);
    if (staggers && !isDown())
        begin(Move::Staggered);
}

void Fighter::knockDown()
{
    begin(Move::Down);
    m_guardHeld = false;
}

void Fighter::begin(Move move)
{
    m_move = move;
    m_elapsedMs = 0;
    m_extraRecoveryMs = 0;
    ++m_serial;
}
