#pragma once

#include "fighter.h"
#include "sparringai.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

// The player stands on the right and faces left, so ← is forward; the
// opponent stands on the left.
enum class Side { Player, Opponent };

enum class Outcome { Landed, Guarded, Dodged, Missed };

// What happened to one punch when it arrived.
struct Exchange
{
    Side attacker;
    Move punch;
    Outcome outcome;
    int damage;
    int atMs; // since the bell
};

enum class Result { InProgress, KoWin, KoLoss, DecisionWin, DecisionLoss, Draw };

struct MatchSetup
{
    int roundMs = 60'000;
    int distanceCm = Rules::StartDistanceCm;
    // Without a seed the opponent does only what it is told through press().
    std::optional<quint32> aiSeed;
};

// One round of sparring. Time moves in fixed steps whatever the frame rate,
// so a bout plays the same on a slow machine and in a test.
class BoxingMatch
{
public:
    static constexpr int StepMs = 10;

    explicit BoxingMatch(const MatchSetup &setup = {});

    void press(Action action) { press(Side::Player, action); }
    void release(Action action) { release(Side::Player, action); }
    void press(Side side, Action action);
    void release(Side side, Action action);
    void releaseAll(Side side);

    void advance(int ms);

    const Fighter &fighter(Side side) const { return m_fighters[index(side)]; }
    const Fighter &player() const { return fighter(Side::Player); }
    const Fighter &opponent() const { return fighter(Side::Opponent); }
    double distanceCm() const;
    int elapsedMs() const { return m_elapsedMs; }
    int timeLeftMs() const { return m_setup.roundMs - m_elapsedMs; }
    Result result() const { return m_result; }
    bool isOver() const { return m_result != Result::InProgress; }
    const std::vector<Exchange> &exchanges() const { return m_exchanges; }

private:
    static int index(Side side) { return side == Side::Player ? 0 : 1; }
    static Side other(Side side) { return side == Side::Player ? Side::Opponent : Side::Player; }
    bool &held(Side side, Action action) { return m_held[index(side)][int(action)]; }
    Fighter &fighterOn(Side side) { return m_fighters[index(side)]; }

    Move moveFor(Side side, Action action);
    void step();
    void letTheOpponentThink();
    std::array<std::optional<Move>, 2> advanceFighters();
    void walk(Side side, int ms);
    Exchange resolve(Side attacker, Move punch) const;
    void land(const Exchange &exchange);
    void keepWalkingWhileHeld();
    void checkKnockdown();
    void checkBell();

    MatchSetup m_setup;
    std::array<Fighter, 2> m_fighters;
    std::array<std::array<bool, ActionCount>, 2> m_held{}; // keys down, per side
    std::optional<SparringAi> m_ai;
    std::vector<Exchange> m_exchanges;
    Result m_result = Result::InProgress;
    int m_elapsedMs = 0;
    int m_pendingMs = 0;
};

// "KO勝ち！", "判定負け", "引き分け", ...
QString resultText(Result result);
