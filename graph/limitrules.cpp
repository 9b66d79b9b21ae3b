#include "limitrules.h"

#include "numbertext.h"

namespace {

double readsAs(const QString &text)
{
    return parseNumberText(text).value_or(0);
}

} // namespace

LimitExit upperLimitExit(const QString &typed, const QString &lower)
{
    const double upper = readsAs(typed);
    if (upper == 0)
        return {LimitExit::Ignore, {}};
    if (readsAs(lower) + 1 >= upper)
        return {LimitExit::PutBack, {}};
    return {LimitExit::Accept, generalNumberText(upper)};
}

LimitExit lowerLimitExit(const QString &typed, const QString &upper)
{
    const double lower = readsAs(typed);
    if (lower == 0)
        return {LimitExit::Ignore, {}};
    if (lower + 1 <= readsAs(upper))
        return {LimitExit::Accept, generalNumberText(lower)};
    return {LimitExit::PutBack, {}};
}

std::optional<QString> upperStepUp(const QString &upper, bool ceilingAt100)
{
    if (ceilingAt100 && !(readsAs(upper) < 100))
        return std::nullopt;
    return generalNumberText(readsAs(upper) + 1);
}

std::optional<QString> upperStepDown(const QString &upper, const QString &lower)
{
    if (readsAs(upper) >= 1 && readsAs(lower) + 1 < readsAs(upper))
        return generalNumberText(readsAs(upper) - 1);
    return std::nullopt;
}

std::optional<QString> lowerStepUp(const QString &lower, const QString &upper)
{
    if (readsAs(upper) - 1 > readsAs(lower))
        return generalNumberText(readsAs(lower) + 1);
    return std::nullopt;
}

QString lowerStepDown(const QString &lower)
{
    return readsAs(lower) <= 0 ? QStringLiteral("0") : generalNumberText(readsAs(lower) - 1);
}

bool datesAccepted(QDate start, QDate end)
{
    return start.daysTo(end) >= 7;
}
