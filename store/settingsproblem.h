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
    // Parts of the file that could not be read (parts: each of them, in the
    // file's order), read as empty or 0 and left as they are.
    Damaged,
    // A line (number: the line) ...
    NulInLine,
    LineTooLong, // limit: the line's bytes
    SectionNotClosed,
    NotKeyValue,
    // A value (names: the section, the key and its text) ...
    NotAnInteger,
    ImpossibleLimit, // number: the measure, 0 weight or 1 body fat
    End              // not a problem: counts the ones above
};

using SettingsProblem = Problem<SettingsError>;
using SettingsFailure = Failure<SettingsError>;
