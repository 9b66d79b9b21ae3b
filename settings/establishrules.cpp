#include "establishrules.h"

#include "numbertext.h"

namespace {

bool isBlankOrControl(QChar c)
{
    return c.unicode() <= u' ';
}

// What the user typed, as the rules judge it and the settings keep it.
QString typedValue(const QString &text)
{
    return trimmedValue(typedNumberText(text));
}

double goalRuleValue(const QString &text)
{
    const double value = parseNumberText(typedValue(text)).value_or(0);
    return value == 99 ? 0 : value;
}

} // namespace

QString trimmedValue(const QString &text)
{
    qsizetype first = 0, last = text.size();
    while (first < last && isBlankOrControl(text.at(first)))
        ++first;
    while (last > first && isBlankOrControl(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

ExitCheck startValueExit(const QString &typed, const QString &stored)
{
    const QString trimmed = typedValue(typed);
    const std::optional<double> value = parseNumberText(trimmed);
    if (value && *value != 0)
        return {true, trimmed};
    return {false, stored};
}

ExitCheck goalValueExit(const QString &goalText, const QString &startText)
{
    if (goalRuleValue(goalText) < goalRuleValue(startText))
        return {true, typedValue(goalText)};
    return {false, startText};
}
