#pragma once

#include "problem.h"

// What can go wrong while the progress level is judged, handed over in the
// body-shape viewer's files and read back there.
enum class ExchangeError {
    // A diet setting that is no number (number: the measure, 0 weight or
    // 1 body fat; names: the setting's text).
    StartNotANumber,
    GoalNotANumber,
    NotRewritten, // path: the file
    // A level file the viewer reads that gives no level (path: its name).
    LevelFileMissing,
    LevelFileUnreadable,
    LevelFileEmpty,
    FirstLineEmpty,
    NotALevel, // names: the start of its first line
    End        // not a problem: counts the ones above
};

using ExchangeProblem = Problem<ExchangeError>;
using ExchangeFailure = Failure<ExchangeError>;
