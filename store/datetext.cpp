#include "datetext.h"

#include <QRegularExpression>
#include <cmath>

namespace {
const QDate oleEpoch(1899, 12, 30);
}

QString dateText(QDate date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

std::optional<QDate> parseDateText(QStringView text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{4})/(\\d{1,2})/(\\d{1,2})$"));
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QDate date(match.capturedView(1).toInt(), match.capturedView(2).toInt(),
                     match.capturedView(3).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QDate dateOrToday(QStringView text)
{
    return parseDateText(text).value_or(QDate::currentDate());
}

double oleDayNumber(QDate date)
{
    return static_cast<double>(oleEpoch.daysTo(date));
}

QDate dateFromOleDayNumber(double dayNumber)
{
    return oleEpoch.addDays(static_cast<qint64>(std::floor(dayNumber)));
}
