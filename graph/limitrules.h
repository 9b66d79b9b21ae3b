#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The rules of the graph settings tab for the value limits and the dates.
// Limits travel as texts; a text that is not a number reads as 0.

struct LimitExit
{
    enum Kind {
        Ignore,  // the text reads as 0: it stays as typed, the limit is unchanged
        Accept,  // the limit becomes text, and the edit shows it
        PutBack, // the edit shows the accepted limit again
    } kind;
    QString text;
};

// Leaving the upper-limit edit: it must exceed the lower limit by more than 1.
LimitExit upperLimitExit(const QString &typed, const QString &lower);
// Leaving the lower-limit edit: it may lie exactly 1 below the upper limit.
LimitExit lowerLimitExit(const QString &typed, const QString &upper);

// The step buttons, on the accepted limits; nullopt when nothing happens.
std::optional<QString> upperStepUp(const QString &upper, bool ceilingAt100);
std::optional<QString> upperStepDown(const QString &upper, const QString &lower);
std::optional<QString> lowerStepUp(const QString &lower, const QString &upper);
QString lowerStepDown(const QString &lower);

// The end day must lie at least 7 days after the start day.
bool datesAccepted(QDate start, QDate end);
