#pragma once

#include "fighter.h"

#include <QtGlobal>

#include <vector>

struct AiCommand
{
    Action action;
    bool press; // false: release
};

// The computer opponent. It presses and releases the same actions a player
// does, so it obeys the same rules. Its dice are its own generator with a
// fixed formula, so one seed always makes the same bout.
class SparringAi
{
public:
    explicit SparringAi(quint32 seed);

    // Called every step of the match with the time that has passed.
    std::vector<AiCommand> think(const Fighter &self, const Fighter &rival, double distanceCm, int ms);

private:
    void lowerGuardWhenDue(const Fighter &self, int ms, std::vector<AiCommand> &commands);
    void stopWalkingInWhenClose(double distanceCm, std::vector<AiCommand> &commands);
    void reactToIncomingPunch(const Fighter &self, const Fighter &rival, double distanceCm,
                              std::vector<AiCommand> &commands);
    void decide(const Fighter &rival, double distanceCm, std::vector<AiCommand> &commands);
    Move choosePunch(const Fighter &rival);
    void throwOrCloseIn(Move punch, double distanceCm, std::vector<AiCommand> &commands);
    void raiseGuard(int forMs, std::vector<AiCommand> &commands);
    int roll(int below);

    quint32 m_state;
    int m_waitMs;
    int m_guardLeftMs = 0;
    int m_lastSeenPunch = -1; // the rival's move serial already reacted to
    bool m_walkingIn = false;
};
