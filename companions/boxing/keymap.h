#pragma once

#include "moves.h"

#include <QList>
#include <QString>

#include <optional>

// The keys of the diary's legend; any other key does nothing in the ring.
std::optional<Action> actionForKey(int key);

// One row of the legend as the game shows it: the keys and what they do.
struct LegendEntry
{
    QString keys;
    QString name;
};
const QList<LegendEntry> &keyLegend();
