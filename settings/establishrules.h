#pragma once

#include <QString>

// The checks of the setup dialog's start and goal edits, made when an edit
// is left.

// Blanks and control characters off both ends, as the checks read a value.
QString trimmedValue(const QString &text);

// A start value: the trimmed text when it is a number other than 0,
// otherwise the stored setting.
QString startValueExit(const QString &typed, const QString &stored);

struct GoalExit
{
    bool accepted;
    QString text; // what the goal edit shows afterwards
};
// A goal must lie below the start value that the start edit shows now; a
// text that is no number, or the number 99, counts as 0.
GoalExit goalValueExit(const QString &goalText, const QString &startText);
