#include "numbertext.h"

#include <QLocale>

QString generalNumberText(double value)
{
    // Fifteen digits hide binary noise: 60.25 + 0.1 is 60.349999999999994.
    return QString::number(value, 'g', 15);
}

std::optional<double> parseNumberText(QStringView text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}
