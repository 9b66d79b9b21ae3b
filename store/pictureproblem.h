#pragma once

#include "problem.h"

// What can go wrong with a picture chosen for a day's photo, and with the
// day's photo file when a save writes or removes it.
enum class PictureError {
    // A picture that gives no image (path: the file).
    Unreadable,    // reason: why it could not be read or decoded
    TooLarge,      // number: its size in bytes
    TooManyPixels, // names: its width and height
    NotAFile,      // a stored photo's name that is no plain file in the photo folder
    NotStorable,   // not of a kind a day photo is made from
    // Its bitmap would not fit on the photo folder's disk (names: width,
    // height, the photo folder; number: the bitmap's bytes; limit: the
    // bytes free there).
    NoRoom,
    IconUnreadable, // path: the icon
    // The day's photo file (path).
    NotStaged, // reason
    NotDeleted,
    NotCommitted,
    End // not a problem: counts the ones above
};

using PictureProblem = Problem<PictureError>;
using PictureFailure = Failure<PictureError>;
