#pragma once

#include "moves.h"

#include <optional>

// One boxer: stamina, place in the ring and the move under way. It knows
// nothing of its opponent; the match decides what a punch meets.
class Fighter
{
public:
    explicit Fighter(double positionCm = 0);

    int stamina() const { return m_stamina; }
    double positionCm() const { return m_positionCm; }
    Move move() const { return m_move; }
    int moveElapsedMs() const { return m_elapsedMs; }
    // Counts the moves started, so that a watcher can tell one jab from the next.
    int moveSerial() const { return m_serial; }
    bool guardHeld() const { return m_guardHeld; }
    bool isDown() const { return m_move == Move::Down; }

    // The guard is up only while Space is held and the hands are not busy
    // with a punch, a dodge or a stagger; it may be carried on a step.
    bool isGuarding() const;
    bool isWindingUp() const;
    bool isAvoiding(Move punch) const;

    // A new move needs an idle fighter, or one that is only stepping.
    bool canStart(Move move) const;
    bool start(Move move);
    void holdGuard(bool held) { m_guardHeld = held; }

    // Moves the fighter's clock on; gives the punch that arrives meanwhile.
    std::optional<Move> advance(int ms);

    void takeHit(int damage, bool staggers);
    void overextend() { m_extraRecoveryMs += Rules::WhiffRecoveryMs; }
    void knockDown();
    void moveTo(double positionCm) { m_positionCm = positionCm; }

private:
    void begin(Move move);

    int m_stamina = Rules::MaxStamina;
    double m_positionCm;
    Move m_move = Move::Idle;
    int m_elapsedMs = 0;
    int m_extraRecoveryMs = 0;
    int m_serial = 0;
    bool m_guardHeld = false;
};
