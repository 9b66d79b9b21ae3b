#include "entryrules.h"

#include "datetext.h"
#include "numbertext.h"

std::optional<QString> stepMeasurement(const QString &text, Step step, bool ceilingAt100)
{
    const std::optional<double> value = parseNumberText(text);
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

QString measurementProblem(const QString &text, const QString &fieldName)
{
    if (text.isEmpty() || parseNumberText(text))
        return {};
    return QStringLiteral("%1の値「%2」は数値ではありません。\r\n数値を入れ直してから保存してください。").arg(fieldName, text);
}

QString overwriteQuestion(QDate day)
{
    return QStringLiteral("選択された日のデータが存在します\r\n上書きしますか？\r\n\r\n%1").arg(dateText(day));
}
