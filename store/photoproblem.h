#pragma once

#include "problem.h"

// What can go wrong with a day's photo and the pictures it is made from.
enum class PhotoError {
    // A stored photo's file (path: the file, or the photo folder).
    BadName, // not a file name inside the photo folder
    Link,
    NotAFile,      // a folder, device, pipe or socket
    TooLarge,      // number: its size in bytes
    FolderMissing, // path: the photo folder
    Unreachable,   // reason
    // Photos of the diary that can never be shown (path: the photo folder;
    // parts: each with names {date, reference} and what is wrong).
    UnusableReferences,
    End // not a problem: counts the ones above
};

using PhotoProblem = Problem<PhotoError>;
using PhotoFailure = Failure<PhotoError>;
