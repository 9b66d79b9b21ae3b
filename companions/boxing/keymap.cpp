#include "keymap.h"

#include <Qt>

std::optional<Action> actionForKey(int key)
{
    switch (key) {
    case Qt::Key_V: return Action::LeftJab;
    case Qt::Key_B: return Action::RightStraight;
    case Qt::Key_C: return Action::LeftHook;
    case Qt::Key_N: return Action::RightHook;
    case Qt::Key_M: return Action::RightUppercut;
    case Qt::Key_Space: return Action::Guard;
    case Qt::Key_Left: return Action::StepForward;
    case Qt::Key_Up: return Action::Sway;
    case Qt::Key_Down: return Action::Duck;
    case Qt::Key_Right: return Action::StepBack;
    default: return std::nullopt;
    }
}

const QList<LegendEntry> &keyLegend()
{
    static const QList<LegendEntry> legend{
        {QStringLiteral("V"), moveName(Move::LeftJab)},       {QStringLiteral("B"), moveName(Move::RightStraight)},
        {QStringLiteral("C"), moveName(Move::LeftHook)},      {QStringLiteral("N"), moveName(Move::RightHook)},
        {QStringLiteral("M"), moveName(Move::RightUppercut)}, {QStringLiteral("↓+C"), moveName(Move::LeftBody)},
        {QStringLiteral("↓+N"), moveName(Move::RightBody)},   {QStringLiteral("Space"), guardName()},
        {QStringLiteral("←"), moveName(Move::StepForward)},   {QStringLiteral("↑"), moveName(Move::Sway)},
        {QStringLiteral("↓"), moveName(Move::Duck)},          {QStringLiteral("→"), moveName(Move::StepBack)},
    };
    return legend;
}
