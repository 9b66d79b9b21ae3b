#pragma once

#include "levelfile.h"

#include <optional>
#include <vector>

// What the viewer shows, given what the two level files gave: the change from
// the level before to the new one when both were read, otherwise the one
// level it has, still and without pretending to a change.
struct ViewerPlan
{
    double fromLevel;
    double toLevel;
    std::optional<int> beforeLevel;        // for "3 → 7" under the caption, when both were read
    std::optional<int> shownLevel;         // the level the caption names; nullopt when neither file gave one
    std::vector<ExchangeProblem> problems; // one for each file that gave no level

    bool animated() const { return fromLevel != toLevel; }
};

// Drawn when neither file gives a level: between the two ends, claiming nothing.
inline constexpr int NeutralLevel = 5;

ViewerPlan planViewer(const LevelRead &before, const LevelRead &after);
