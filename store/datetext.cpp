#include "datetext.h"

#include <cmath>

namespace {
const QDate oleEpoch(1899, 12, 30);
}

// Dates are read and written for every row of the diary when a day is
// looked up or the days are listed, so both are done by hand rather than
// through the general date formatter.
QString dateText(QDate date)
{
    if (!date.isValid() || date.year() < 0 || date.year() > 9999)
        return date.toString(QStringLiteral("yyyy/MM/dd"));
    char16_t text[10];
    const auto put = [&](int at, int digits, int value) {
        for (int i = digits - 1; i >= 0; --i, value /= 10)
            text[at + i] = char16_t(u'0' + value % 10);
    };
    put(0, 4, date.year());
    text[4] = u'/';
    put(5, 2, date.month());
    text[7] = u'/';
    put(8, 2, date.day());
    return QString(reinterpret_cast<const QChar *>(text), 10);
}

std::optional<QDate> parseDateText(QStringView text)
{
    text = text.trimmed();
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (QChar c : text) {
        if (c == u'/' && part < 2) {
            ++part;
        } else if (c >= u'0' && c <= u'9' && digits[part] < 4) {
            parts[part] = parts[part] * 10 + (c.unicode() - u'0');
            ++digits[part];
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits[0] != 4 || digits[1] < 1 || digits[1] > 2 || digits[2] < 1 || digits[2] > 2)
        return std::nullopt;
    const QDate date(parts[0], parts[1], parts[2]);
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
