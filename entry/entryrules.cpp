#include "entryrules.h"

#include "datetext.h"
#include "numbertext.h"

std::optional<QString> stepMeasurement(const QString &text, Step step, bool ceilingAt100)
{
    const std::optional<double> value = parseNumberText(typedNumberText(text));
    if (!value || *value == 0)
        return std::nullopt;
    if (step == Step::Up) {
        if (ceilingAt100 && *value >= 100)
            return std::nullopt;
        return generalNumberText(*value + 0.1);
    }
    if (*value <= 0)
        return std::nullopt;
    return generalNumberText(*value - 0.1);
}

QString measurementProblem(const QString &text, const MeasureBounds &bounds)
{
    const std::optional<double> value = parseNumberText(text);
    if (text.isEmpty() || (value && bounds.contains(*value)))
        return {};
    const QString name = QString::fromUtf16(bounds.name);
    if (!value)
        return QStringLiteral("%1の値「%2」は数値ではありません。\r\n数値を入れ直してから保存してください。")
            .arg(name, text);
    return QStringLiteral("%1の値「%2」は使えません。%3\r\n入れ直してから保存してください。")
        .arg(name, text, bounds.rule());
}

QString overwriteQuestion(QDate day)
{
    return QStringLiteral("選択された日のデータが存在します\r\n上書きしますか？\r\n\r\n%1").arg(dateText(day));
}
