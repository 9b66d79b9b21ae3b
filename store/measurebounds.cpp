#include "measurebounds.h"

#include "numbertext.h"

QString MeasureBounds::rule() const
{
    return QStringLiteral("%1は %2 から %3 %4 までの数値です。")
        .arg(QStringView(name), generalNumberText(lowest), generalNumberText(highest), QStringView(unit));
}
