#pragma once

#include "exchangeproblem.h"

#include <QString>
#include <optional>

// The diary hands the progress level over in one-line files beside the
// viewer: a level 0..10 in ASCII digits and a CR LF.

inline constexpr int LowestLevel = 0;
inline constexpr int HighestLevel = 10;

struct LevelRead
{
    std::optional<int> level; // nullopt when the file gave no level
    ExchangeFailure error;    // why it gave none, naming the file
};

LevelRead readLevelFile(const QString &path);
