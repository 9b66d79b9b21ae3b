#include "moves.h"

#include <algorithm>
#include <climits>

namespace {

// The jab is quick, long and light; each heavier punch is slower to arrive,
// shorter and leaves its thrower open for longer.
MoveStats punch(int windupMs, int recoveryMs, int reachCm, int damage, Target target, Path path)
{
    return {windupMs, 0, recoveryMs, reachCm, damage, target, path};
}

MoveStats timed(int activeMs, int recoveryMs)
{
    return {0, activeMs, recoveryMs, 0, 0, Target::None, Path::None};
}

} // namespace

const MoveStats &moveStats(Move move)
{
    static const MoveStats idle;
    static const MoveStats leftJab = punch(90, 160, 95, 3, Target::Head, Path::Straight);
    static const MoveStats rightStraight = punch(170, 280, 90, 6, Target::Head, Path::Straight);
    static const MoveStats leftHook = punch(200, 320, 70, 7, Target::Head, Path::Hook);
    static const MoveStats rightHook = punch(230, 350, 70, 8, Target::Head, Path::Hook);
    static const MoveStats rightUppercut = punch(260, 420, 55, 10, Target::Head, Path::Uppercut);
    static const MoveStats leftBody = punch(210, 330, 65, 6, Target::Body, Path::Low);
    static const MoveStats rightBody = punch(240, 360, 65, 7, Target::Body, Path::Low);
    static const MoveStats step = timed(200, 0);
    static const MoveStats dodge = timed(380, 220);
    static const MoveStats staggered = timed(300, 0);
    switch (move) {
    case Move::LeftJab: return leftJab;
    case Move::RightStraight: return rightStraight;
    case Move::LeftHook: return leftHook;
    case Move::RightHook: return rightHook;
    case Move::RightUppercut: return rightUppercut;
    case Move::LeftBody: return leftBody;
    case Move::RightBody: return rightBody;
    case Move::StepForward:
    case Move::StepBack: return step;
    case Move::Sway:
    case Move::Duck: return dodge;
    case Move::Staggered: return staggered;
    case Move::Idle:
    case Move::Down: break;
    }
    return idle;
}

bool isPunch(Move move)
{
    return moveStats(move).damage > 0;
}

bool isBodyBlow(Move move)
{
    return moveStats(move).target == Target::Body;
}

Action punchKey(Move punch)
{
    switch (punch) {
    case Move::RightStraight: return Action::RightStraight;
    case Move::LeftHook:
    case Move::LeftBody: return Action::LeftHook;
    case Move::RightHook:
    case Move::RightBody: return Action::RightHook;
    case Move::RightUppercut: return Action::RightUppercut;
    default: return Action::LeftJab;
    }
}

bool isStep(Move move)
{
    return move == Move::StepForward || move == Move::StepBack;
}

bool isDodge(Move move)
{
    return move == Move::Sway || move == Move::Duck;
}

int durationMs(Move move)
{
    if (move == Move::Down)
        return INT_MAX;
    const MoveStats &stats = moveStats(move);
    return stats.windupMs + stats.activeMs + stats.recoveryMs;
}

bool avoids(Move dodge, Move punch)
{
    const Path path = moveStats(punch).path;
    return (dodge == Move::Sway && path == Path::Straight) || (dodge == Move::Duck && path == Path::Hook);
}

int guardedDamage(int damage)
{
    return std::max(1, (damage + 2) / 4);
}

QString moveName(Move move)
{
    switch (move) {
    case Move::LeftJab: return QStringLiteral("左ジャブ");
    case Move::RightStraight: return QStringLiteral("右ストレート");
    case Move::LeftHook: return QStringLiteral("左フック");
    case Move::RightHook: return QStringLiteral("右フック");
    case Move::RightUppercut: return QStringLiteral("右アッパー");
    case Move::LeftBody: return QStringLiteral("左ボディ");
    case Move::RightBody: return QStringLiteral("右ボディ");
    case Move::StepForward: return QStringLiteral("前に出る");
    case Move::StepBack: return QStringLiteral("後ろに下がる");
    case Move::Sway: return QStringLiteral("スウェー");
    case Move::Duck: return QStringLiteral("ダッキング");
    case Move::Staggered: return QStringLiteral("よろめき");
    case Move::Down: return QStringLiteral("ダウン");
    case Move::Idle: break;
    }
    return {};
}

QString guardName()
{
    return QStringLiteral("ガード");
}
