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
    QString rule; // for a limit not accepted: the rule it breaks, in words
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

enum class DateSide { Start, End };
struct DateExit
{
    enum Kind {
        Accept,  // the pair holds: each date the pickers show is taken
        PutBack, // the picker left shows its accepted date again
        Keep,    // refused, but kept for the other date to be typed
    } kind;
    QString rule; // for a date not accepted: the rule in words
};
// Leaving a date picker: the pair the pickers show is judged. A refused
// date goes back when the accepted pair keeps the rule; when the accepted
// pair breaks it (stored in reverse order, or no date yet), going back
// mends nothing, so the date stays and the user goes on to the other one.
DateExit dateExit(DateSide left, QDate start, QDate end, std::optional<QDate> acceptedStart,
                  std::optional<QDate> acceptedEnd);
