#pragma once

#include "measurebounds.h"

#include <QDate>
#include <QString>
#include <optional>

// The rules of the graph settings tab for the value limits and the dates.
// Limits travel as texts; a text that is not a number reads as 0. A limit
// never leaves its bounds (what a body can weigh, what a percentage can be).

struct LimitExit
{
    enum Kind {
        Ignore,  // the text reads as 0: it stays as typed, the limit is unchanged
        Accept,  // the limit becomes text, and the edit shows it
        PutBack, // the edit shows the accepted limit again
    } kind;
    QString text;
    QString rule; // for a limit put back because it is out of bounds: the bounds in words
};

// Leaving the upper-limit edit: it must exceed the lower limit by more than 1.
LimitExit upperLimitExit(const QString &typed, const QString &lower, const MeasureBounds &bounds);
// Leaving the lower-limit edit: it may lie exactly 1 below the upper limit.
LimitExit lowerLimitExit(const QString &typed, const QString &upper, const MeasureBounds &bounds);

// The step buttons, on the accepted limits; nullopt when nothing happens.
// A step stops at the bounds: the upper limit goes up only while it is
// below them, and neither limit is ever stepped past them.
std::optional<QString> upperStepUp(const QString &upper, const MeasureBounds &bounds);
std::optional<QString> upperStepDown(const QString &upper, const QString &lower);
std::optional<QString> lowerStepUp(const QString &lower, const QString &upper);
QString lowerStepDown(const QString &lower, const MeasureBounds &bounds);

// A limit as an edit or the settings give it: a number within the bounds,
// else nullopt.
std::optional<double> limitValue(const QString &text, const MeasureBounds &bounds);

// The end day must lie at least 7 days after the start day.
bool datesAccepted(QDate start, QDate end);
