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

QString refused(const QString &typed)
{
    const QString text = typed.trimmed();
    return text.isEmpty() ? QStringLiteral("空欄は使えません。") : QStringLiteral("「%1」は使えません。").arg(text);
}

LimitExit outOfBounds(const QString &typed, const MeasureBounds &bounds)
{
    return {LimitExit::PutBack, {}, refused(typed) + bounds.rule()};
}

// A text that reads as 0 stays in the edit, but the limit is not changed.
LimitExit notANumber(const QString &typed, const MeasureBounds &bounds, const char16_t *side)
{
    return {LimitExit::Ignore,
            {},
            refused(typed)
                + QStringLiteral("%1の%2は 0 以外の数値です。").arg(QStringView(bounds.name), QStringView(side))};
}

} // namespace

LimitExit upperLimitExit(const QString &typed, const QString &lower, const MeasureBounds &bounds)
{
    const double upper = readsAs(typed);
    if (upper == 0)
        return notANumber(typed, bounds, u"上限");
    if (!bounds.contains(upper))
        return outOfBounds(typed, bounds);
    if (readsAs(lower) + 1 >= upper)
        return {LimitExit::PutBack,
                {},
                refused(typed)
                    + QStringLiteral("%1の上限は下限 %2 より 1 を超えて大きい数値です。")
                          .arg(QStringView(bounds.name), generalNumberText(readsAs(lower)))};
    return {LimitExit::Accept, generalNumberText(upper), {}};
}

LimitExit lowerLimitExit(const QString &typed, const QString &upper, const MeasureBounds &bounds)
{
    const double lower = readsAs(typed);
    if (lower == 0)
        return notANumber(typed, bounds, u"下限");
    if (!bounds.contains(lower))
        return outOfBounds(typed, bounds);
    if (lower + 1 <= readsAs(upper))
        return {LimitExit::Accept, generalNumberText(lower), {}};
    return {LimitExit::PutBack,
            {},
            refused(typed)
                + QStringLiteral("%1の下限は上限 %2 より 1 以上小さい数値です。")
                      .arg(QStringView(bounds.name), generalNumberText(readsAs(upper)))};
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

DateExit dateExit(DateSide left, QDate start, QDate end, std::optional<QDate> acceptedStart,
                  std::optional<QDate> acceptedEnd)
{
    if (datesAccepted(start, end))
        return {DateExit::Accept, {}};
    const QString rule = QStringLiteral("終了日は開始日の7日以上あとの日です。");
    if (acceptedStart && acceptedEnd && datesAccepted(*acceptedStart, *acceptedEnd))
        return {DateExit::PutBack, rule};
    return {DateExit::Keep, rule
                                + (left == DateSide::Start ? QStringLiteral("続けて終了日を入力してください。")
                                                           : QStringLiteral("続けて開始日を入力してください。"))};
}
