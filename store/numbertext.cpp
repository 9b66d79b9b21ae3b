#include "numbertext.h"

#include <charconv>
#include <cmath>

QString generalNumberText(double value)
{
    // Fifteen digits hide binary noise: 60.25 + 0.1 is 60.349999999999994.
    // The C library conversion is the %.15g form, and far quicker than the
    // locale machinery for the thousands of values a graph shows.
    char digits[32];
    const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 15);
    if (error != std::errc())
        return QString::number(value, 'g', 15);
    return QString::fromLatin1(digits, end - digits);
}

QString typedNumberText(QStringView typed)
{
    QString text = typed.trimmed().toString();
    for (QChar &c : text) {
        const char16_t code = c.unicode();
        if (code >= u'０' && code <= u'９')
            c = QChar(u'0' + (code - u'０'));
        else if (code == u'．')
            c = u'.';
        else if (code == u'－' || code == u'\u2212')
            c = u'-';
        else if (code == u'＋')
            c = u'+';
    }
    return text;
}

std::optional<double> parseNumberText(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u'+'))
        text = text.mid(1);
    // Every point of the graph is read this way, so the plain C library
    // conversion serves rather than the locale machinery.
    char digits[64];
    if (text.isEmpty() || text.size() >= qsizetype(sizeof digits))
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c > 127)
            return std::nullopt;
        digits[i] = char(c);
    }
    double value = 0;
    const char *end = digits + text.size();
    const auto [stop, error] = std::from_chars(digits, end, value);
    if (error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}
