#pragma once

#include "problem.h"

// What can go wrong with the settings file (path: the file).
enum class SettingsError {
    NotFound,   // names: the file's name
    Unreadable, // reason
    TooLarge,   // number: its size in bytes
    Utf16,      // written in UTF-16, which the program neither reads nor writes
    // Not written: reason, or parts: the problem that kept it from being read
    // first (a file that cannot be read is never replaced).
    NotWritten,
    End // not a problem: counts the ones above
};

using SettingsProblem = Problem<SettingsError>;
using SettingsFailure = Failure<SettingsError>;
