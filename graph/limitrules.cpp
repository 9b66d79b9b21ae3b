#include "limitrules.h"

#include "numbertext.h"

namespace {

// A limit as typed, full-width digits and all.
std::optional<double> typedNumber(const QString &text)
{
    return parseNumberText(typedNumberText(text));
}

double readsAs(const QString &text)
{
    return typedNumber(text).value_or(0);
}

LimitExit outOfBounds(const QString &typed, const MeasureBounds &bounds)
{
    return {LimitExit::PutBack, {}, QStringLiteral("「%1」は使えません。").arg(typed.trimmed()) + bounds.rule()};
}

} // namespace

LimitExit upperLimitExit(const QString &typed, const QString &lower, const MeasureBounds &bounds)
{
    const double upper = readsAs(typed);
    if (upper == 0)
        return {LimitExit::Ignore, {}, {}};
    if (!bounds.contains(upper))
        return outOfBounds(typed, bounds);
    if (readsAs(lower) + 1 >= upper)
        return {LimitExit::PutBack, {}, {}};
    return {LimitExit::Accept, generalNumberText(upper), {}};
}

LimitExit lowerLimitExit(const QString &typed, const QString &upper, const MeasureBounds &bounds)
{
    const double lower = readsAs(typed);
    if (lower == 0)
        return {LimitExit::Ignore, {}, {}};
    if (!bounds.contains(lower))
        return outOfBounds(typed, bounds);
    if (lower + 1 <= readsAs(upper))
        return {LimitExit::Accept, generalNumberText(lower), {}};
    return {LimitExit::PutBack, {}, {}};
}

std::optional<QString> upperStepUp(const QString &upper, const MeasureBounds &bounds)
{
    if (!(readsAs(upper) < bounds.highest))
        return std::nullopt;
    return generalNumberText(bounds.clamped(readsAs(upper) + 1));
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

QString lowerStepDown(const QString &lower, const MeasureBounds &bounds)
{
    return readsAs(lower) <= 0 ? QStringLiteral("0") : generalNumberText(bounds.clamped(readsAs(lower) - 1));
}

std::optional<double> limitValue(const QString &text, const MeasureBounds &bounds)
{
    const std::optional<double> value = typedNumber(text);
    if (!value || !bounds.contains(*value))
        return std::nullopt;
    return value;
}

bool datesAccepted(QDate start, QDate end)
{
    return start.daysTo(end) >= 7;
}
