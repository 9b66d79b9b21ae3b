#pragma once

#include <QString>

// What a fighter can be asked to do, one per key of the legend. A body blow
// has no key of its own: it is a hook thrown while ↓ is held.
enum class Action {
    LeftJab,
    RightStraight,
    LeftHook,
    RightHook,
    RightUppercut,
    Guard,
    StepForward,
    Sway,
    Duck,
    StepBack,
};
inline constexpr int ActionCount = int(Action::StepBack) + 1;

// What a fighter is doing. Guarding is not a move: it is a stance held
// while Space is down and the hands are free.
enum class Move {
    Idle,
    LeftJab,
    RightStraight,
    LeftHook,
    RightHook,
    RightUppercut,
    LeftBody,
    RightBody,
    StepForward,
    StepBack,
    Sway,
    Duck,
    Staggered,
    Down,
};

enum class Target { None, Head, Body };

// How a punch travels decides what avoids it: leaning back (sway) takes the
// chin away from a straight punch, dropping (duck) goes under one that swings
// round at head height. An uppercut comes up from below and a body blow
// comes in low, so neither dodge helps against them.
enum class Path { None, Straight, Hook, Uppercut, Low };

// Distances are between the fighters' centres, in centimetres.
struct MoveStats
{
    int windupMs = 0;   // until the punch arrives or the dodge takes effect
    int activeMs = 0;   // how long a dodge avoids, a step moves, a stagger lasts
    int recoveryMs = 0; // after that, before the fighter can do anything else
    int reachCm = 0;
    int damage = 0;
    Target target = Target::None;
    Path path = Path::None;
};

namespace Rules {
inline constexpr int RingWidthCm = 400;
inline constexpr int RopeMarginCm = 25; // a fighter's centre stays this far inside the ropes
inline constexpr int ClosestCm = 45;    // fighters never stand closer than this
inline constexpr int StartDistanceCm = 120;
inline constexpr int StepCm = 20;
inline constexpr int MaxStamina = 100;
inline constexpr int WhiffRecoveryMs = 120; // a punch that meets nothing overextends
} // namespace Rules

const MoveStats &moveStats(Move move);
bool isPunch(Move move);
bool isBodyBlow(Move move);
// The punching key a punch is thrown with; a body blow is that hook with the
// duck key (↓) held. Anything that is no punch is thrown as the jab.
Action punchKey(Move punch);
bool isStep(Move move);
bool isDodge(Move move);
int durationMs(Move move); // windup + active + recovery; Down never ends

// Whether a dodge, while it is in effect, avoids the punch.
bool avoids(Move dodge, Move punch);

// A guard covers the head only: a head punch into it keeps a quarter of its
// force, rounded, but never less than 1.
int guardedDamage(int damage);

// The Japanese names of the legend ("左ジャブ", "ダッキング", ...).
QString moveName(Move move);
QString guardName();
