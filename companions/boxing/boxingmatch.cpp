#include "boxingmatch.h"

#include <algorithm>
#include <cmath>

namespace {

// The player faces left: forward is towards smaller x.
double forwardSign(Side side)
{
    return side == Side::Player ? -1.0 : 1.0;
}

Result decision(int playerStamina, int opponentStamina)
{
    if (playerStamina == opponentStamina)
        return Result::Draw;
    return playerStamina > opponentStamina ? Result::DecisionWin : Result::DecisionLoss;
}

} // namespace

BoxingMatch::BoxingMatch(const MatchSetup &setup)
    : m_setup(setup),
      m_fighters{Fighter((Rules::RingWidthCm + setup.distanceCm) / 2.0),
                 Fighter((Rules::RingWidthCm - setup.distanceCm) / 2.0)}
{
    if (setup.aiSeed)
        m_ai.emplace(*setup.aiSeed);
}

double BoxingMatch::distanceCm() const
{
    return player().positionCm() - opponent().positionCm();
}

void BoxingMatch::press(Side side, Action action)
{
    if (isOver())
        return;
    held(side, action) = true;
    if (action == Action::Guard) {
        fighterOn(side).holdGuard(true);
        return;
    }
    fighterOn(side).start(moveFor(side, action));
}

void BoxingMatch::release(Side side, Action action)
{
    held(side, action) = false;
    if (action == Action::Guard)
        fighterOn(side).holdGuard(false);
}

void BoxingMatch::releaseAll(Side side)
{
    m_held[index(side)].fill(false);
    fighterOn(side).holdGuard(false);
}

Move BoxingMatch::moveFor(Side side, Action action)
{
    const bool down = held(side, Action::Duck);
    switch (action) {
    case Action::LeftJab: return Move::LeftJab;
    case Action::RightStraight: return Move::RightStraight;
    case Action::LeftHook: return down ? Move::LeftBody : Move::LeftHook;
    case Action::RightHook: return down ? Move::RightBody : Move::RightHook;
    case Action::RightUppercut: return Move::RightUppercut;
    case Action::StepForward: return Move::StepForward;
    case Action::StepBack: return Move::StepBack;
    case Action::Sway: return Move::Sway;
    case Action::Duck: return Move::Duck;
    case Action::Guard: break;
    }
    return Move::Idle;
}

void BoxingMatch::advance(int ms)
{
    m_pendingMs += ms;
    while (m_pendingMs >= StepMs) {
        m_pendingMs -= StepMs;
        step();
    }
}

void BoxingMatch::step()
{
    if (isOver()) {
        // Only the pictures move on: the loser lies down, the winner's last punch comes back.
        advanceFighters();
        return;
    }
    letTheOpponentThink();
    walk(Side::Player, StepMs);
    walk(Side::Opponent, StepMs);
    m_elapsedMs += StepMs;
    // Both punches are judged before either lands, so two that arrive
    // together are a trade, not a matter of who was judged first.
    std::vector<Exchange> arriving;
    const auto arrivals = advanceFighters();
    for (const Side side : {Side::Player, Side::Opponent})
        if (const auto punch = arrivals[index(side)])
            arriving.push_back(resolve(side, *punch));
    for (const Exchange &exchange : arriving)
        land(exchange);
    checkKnockdown();
    checkBell();
    keepWalkingWhileHeld();
}

void BoxingMatch::letTheOpponentThink()
{
    if (!m_ai)
        return;
    for (const AiCommand &command : m_ai->think(opponent(), player(), distanceCm(), StepMs))
        command.press ? press(Side::Opponent, command.action) : release(Side::Opponent, command.action);
}

std::array<std::optional<Move>, 2> BoxingMatch::advanceFighters()
{
    return {fighterOn(Side::Player).advance(StepMs), fighterOn(Side::Opponent).advance(StepMs)};
}

// A step carries the fighter StepCm over its active time, at an even pace,
// but never past the ropes or into the other fighter.
void BoxingMatch::walk(Side side, int ms)
{
    Fighter &walker = fighterOn(side);
    if (!isStep(walker.move()))
        return;
    const int activeMs = moveStats(walker.move()).activeMs;
    const int movingMs = std::min(ms, activeMs - walker.moveElapsedMs());
    if (movingMs <= 0)
        return;
    const double direction = walker.move() == Move::StepForward ? forwardSign(side) : -forwardSign(side);
    double to = walker.positionCm() + direction * Rules::StepCm * movingMs / activeMs;
    to = std::clamp(to, double(Rules::RopeMarginCm), double(Rules::RingWidthCm - Rules::RopeMarginCm));
    const double other = fighter(BoxingMatch::other(side)).positionCm();
    to = side == Side::Player ? std::max(to, other + Rules::ClosestCm) : std::min(to, other - Rules::ClosestCm);
    walker.moveTo(to);
}

Exchange BoxingMatch::resolve(Side attacker, Move punch) const
{
    const Fighter &defender = fighter(other(attacker));
    const MoveStats &stats = moveStats(punch);
    Exchange exchange{attacker, punch, Outcome::Landed, stats.damage, m_elapsedMs};
    if (distanceCm() > stats.reachCm)
        exchange = {attacker, punch, Outcome::Missed, 0, m_elapsedMs};
    else if (defender.isAvoiding(punch))
        exchange = {attacker, punch, Outcome::Dodged, 0, m_elapsedMs};
    else if (stats.target == Target::Head && defender.isGuarding())
        exchange = {attacker, punch, Outcome::Guarded, guardedDamage(stats.damage), m_elapsedMs};
    return exchange;
}

// A clean hit staggers and so stops whatever the defender was starting; a
// guarded one does not. A punch that meets nothing leaves its thrower open longer.
void BoxingMatch::land(const Exchange &exchange)
{
    fighterOn(other(exchange.attacker)).takeHit(exchange.damage, exchange.outcome == Outcome::Landed);
    if (exchange.outcome == Outcome::Missed || exchange.outcome == Outcome::Dodged)
        fighterOn(exchange.attacker).overextend();
    m_exchanges.push_back(exchange);
}

void BoxingMatch::keepWalkingWhileHeld()
{
    for (const Side side : {Side::Player, Side::Opponent}) {
        if (held(side, Action::StepForward))
            fighterOn(side).start(Move::StepForward);
        else if (held(side, Action::StepBack))
            fighterOn(side).start(Move::StepBack);
    }
}

void BoxingMatch::checkKnockdown()
{
    const bool playerOut = player().stamina() == 0;
    const bool opponentOut = opponent().stamina() == 0;
    if (!playerOut && !opponentOut)
        return;
    if (playerOut)
        fighterOn(Side::Player).knockDown();
    if (opponentOut)
        fighterOn(Side::Opponent).knockDown();
    m_result = playerOut && opponentOut ? Result::Draw : playerOut ? Result::KoLoss : Result::KoWin;
}

void BoxingMatch::checkBell()
{
    if (!isOver() && m_elapsedMs >= m_setup.roundMs)
        m_result = decision(player().stamina(), opponent().stamina());
}

QString resultText(Result result)
{
    switch (result) {
    case Result::KoWin: return QStringLiteral("KO勝ち！");
    case Result::KoLoss: return QStringLiteral("KO負け");
    case Result::DecisionWin: return QStringLiteral("判定勝ち");
    case Result::DecisionLoss: return QStringLiteral("判定負け");
    case Result::Draw: return QStringLiteral("引き分け");
    case Result::InProgress: break;
    }
    return {};
}
