#pragma once

#include <QString>

// The checks of the setup dialog's start and goal edits, made when an edit
// is left.

// Blanks and control characters off both ends, as the checks read a value.
QString trimmedValue(const QString &text);

struct ExitCheck
{
    bool accepted;
    QString text; // what the edit shows afterwards
};

// A start value: the trimmed text when it is a number other than 0,
// otherwise refused and the stored setting put back.
ExitCheck startValueExit(const QString &typed, const QString &stored);

// A goal must lie below the start value that the start edit shows now; a
// text that is no number, or the number 99, counts as 0. A refused goal
// gives way to the start edit's text.
ExitCheck goalValueExit(const QString &goalText, const QString &startText);
