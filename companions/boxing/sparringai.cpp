#include "sparringai.h"

#include <array>
#include <utility>

namespace {

// A sparring partner, not a champion: it sees about a third of the punches
// coming and thinks a little slower than a person presses keys.
constexpr int ReactPercent = 35;
constexpr int FirstDecisionMs = 800;
constexpr int ThinkMinMs = 450;
constexpr int ThinkSpreadMs = 600;

void tap(Action action, std::vector<AiCommand> &commands)
{
    commands.push_back({action, true});
    commands.push_back({action, false});
}

// The keys a player would use for the punch.
void throwPunch(Move punch, std::vector<AiCommand> &commands)
{
    const bool body = isBodyBlow(punch);
    if (body)
        commands.push_back({Action::Duck, true});
    tap(punchKey(punch), commands);
    if (body)
        commands.push_back({Action::Duck, false});
}

} // namespace

SparringAi::SparringAi(quint32 seed) : m_state(seed), m_waitMs(FirstDecisionMs) {}

std::vector<AiCommand> SparringAi::think(const Fighter &self, const Fighter &rival, double distanceCm, int ms)
{
    std::vector<AiCommand> commands;
    if (self.isDown())
        return commands;
    lowerGuardWhenDue(self, ms, commands);
    stopWalkingInWhenClose(distanceCm, commands);
    reactToIncomingPunch(self, rival, distanceCm, commands);
    m_waitMs -= ms;
    if (m_waitMs > 0 || self.move() != Move::Idle || !commands.empty())
        return commands;
    m_waitMs = ThinkMinMs + roll(ThinkSpreadMs);
    decide(rival, distanceCm, commands);
    return commands;
}

void SparringAi::lowerGuardWhenDue(const Fighter &self, int ms, std::vector<AiCommand> &commands)
{
    if (!self.guardHeld())
        return;
    m_guardLeftMs -= ms;
    if (m_guardLeftMs <= 0)
        commands.push_back({Action::Guard, false});
}

// Walking in is holding ← until well inside the jab's reach.
void SparringAi::stopWalkingInWhenClose(double distanceCm, std::vector<AiCommand> &commands)
{
    if (m_walkingIn && distanceCm <= moveStats(Move::LeftJab).reachCm - Rules::StepCm / 2) {
        commands.push_back({Action::StepForward, false});
        m_walkingIn = false;
    }
}

void SparringAi::reactToIncomingPunch(const Fighter &self, const Fighter &rival, double distanceCm,
                                      std::vector<AiCommand> &commands)
{
    if (!rival.isWindingUp() || rival.moveSerial() == m_lastSeenPunch)
        return;
    m_lastSeenPunch = rival.moveSerial();
    const MoveStats &incoming = moveStats(rival.move());
    if (self.move() != Move::Idle || distanceCm > incoming.reachCm || roll(100) >= ReactPercent)
        return;
    const bool preferGuard = roll(3) == 0;
    switch (incoming.path) {
    case Path::Straight: preferGuard ? raiseGuard(450, commands) : tap(Action::Sway, commands); return;
    case Path::Hook: preferGuard ? raiseGuard(450, commands) : tap(Action::Duck, commands); return;
    case Path::Uppercut: raiseGuard(500, commands); return;
    case Path::Low: tap(Action::StepBack, commands); return;
    case Path::None: return;
    }
}

void SparringAi::decide(const Fighter &rival, double distanceCm, std::vector<AiCommand> &commands)
{
    if (distanceCm > moveStats(Move::LeftJab).reachCm) {
        commands.push_back({Action::StepForward, true});
        m_walkingIn = true;
        return;
    }
    const int choice = roll(100);
    if (choice < 12)
        raiseGuard(500 + roll(400), commands);
    else if (choice < 20)
        tap(Action::StepBack, commands);
    else
        throwOrCloseIn(choosePunch(rival), distanceCm, commands);
}

// A punch wanted from too far away is worked towards with a step in.
void SparringAi::throwOrCloseIn(Move punch, double distanceCm, std::vector<AiCommand> &commands)
{
    if (distanceCm > moveStats(punch).reachCm)
        tap(Action::StepForward, commands);
    else
        throwPunch(punch, commands);
}

Move SparringAi::choosePunch(const Fighter &rival)
{
    // Against a raised guard the body is the open target.
    const int bodyWeight = rival.guardHeld() ? 24 : 8;
    const std::array<std::pair<Move, int>, 7> weights{{
        {Move::LeftJab, 30},
        {Move::RightStraight, 22},
        {Move::LeftHook, 12},
        {Move::RightHook, 12},
        {Move::RightUppercut, 8},
        {Move::LeftBody, bodyWeight},
        {Move::RightBody, bodyWeight},
    }};
    int total = 0;
    for (const auto &[move, weight] : weights)
        total += weight;
    int pick = roll(total);
    for (const auto &[move, weight] : weights) {
        if (pick < weight)
            return move;
        pick -= weight;
    }
    return Move::LeftJab;
}

void SparringAi::raiseGuard(int forMs, std::vector<AiCommand> &commands)
{
    commands.push_back({Action::Guard, true});
    m_guardLeftMs = forMs;
}

int SparringAi::roll(int below)
{
    if (below <= 0)
        return 0;
    // A counter run through a bit mixer (the MurmurHash3 finaliser): the
    // standard library's distributions differ between implementations, this
    // gives the same numbers everywhere.
    m_state += 0x9E3779B9u;
    quint32 mixed = m_state;
    mixed = (mixed ^ (mixed >> 16)) * 0x85EBCA6Bu;
    mixed = (mixed ^ (mixed >> 13)) * 0xC2B2AE35u;
    mixed ^= mixed >> 16;
    return int(mixed % quint32(below));
}
