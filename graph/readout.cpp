#include "readout.h"

#include "datetext.h"
#include "listrules.h"

#include <QRegularExpression>
#include <cmath>

namespace {

QString firstLine(const QString &comment)
{
    return comment.section(QRegularExpression(QStringLiteral("[\\r\\n]")), 0, 0);
}

QString measurement(const QString &name, const CellValue &cell, const std::vector<DayValue> &trend, double day,
                    const QString &unit)
{
    const std::optional<double> value = cell.isEmpty() ? std::nullopt : cell.toReal();
    QString text = name + u' ' + (value && *value > 0 ? cell.toText() + u' ' + unit : QStringLiteral("－"));
    if (const std::optional<double> t = trendOn(trend, day))
        text += QStringLiteral("（トレンド %1 %2）").arg(QString::number(*t, 'f', 1), unit);
    return text;
}

// The read-out of a recorded row, with the trends of the whole diary.
QString readOutOfRow(const DiaryTable &diary, int row, QDate day, const std::vector<DayValue> &weights,
                     const std::vector<DayValue> &fats)
{
    const double dayNumber = oleDayNumber(day);
    QStringList lines{dateText(day),
                      measurement(QStringLiteral("体重"), diary.cell(row, DiaryColumn::Weight), weights, dayNumber,
                                  QStringLiteral("kg")),
                      measurement(QStringLiteral("体脂肪率"), diary.cell(row, DiaryColumn::Fat), fats, dayNumber,
                                  QStringLiteral("%")),
                      QStringLiteral("摂取カロリー %1　消費カロリー %2")
                          .arg(levelWord(diary.cell(row, DiaryColumn::IntakeLevel).toText()),
                               levelWord(diary.cell(row, DiaryColumn::BurnLevel).toText()))};
    for (const auto &[name, column] : {std::pair{QStringLiteral("摂取"), DiaryColumn::IntakeComment},
                                       std::pair{QStringLiteral("消費"), DiaryColumn::BurnComment}}) {
        const QString comment = firstLine(diary.cell(row, column).toText());
        if (!comment.isEmpty())
            lines << name + QStringLiteral("：") + comment;
    }
    return lines.join(u'\n');
}

} // namespace

std::optional<QDate> dayAtX(const GraphWindow &window, int x, int width)
{
    const int count = window.dayCount();
    const int guess = int(std::floor(double(x) * count / width));
    std::optional<int> best;
    for (int index : {guess - 1, guess, guess + 1}) {
        if (index < 1 || index >= count)
            continue;
        if (!best || std::abs(window.x(index, width) - x) < std::abs(window.x(*best, width) - x))
            best = index;
    }
    if (!best)
        return std::nullopt;
    return dateFromOleDayNumber(std::floor(window.start)).addDays(*best);
}

QString readOutText(const DiaryTable &diary, QDate day, const GraphPicture &graph)
{
    const int row = diary.findDate(dateText(day));
    if (row == 0)
        return {};
    if (graph.trendDiary == diary.serial())
        return readOutOfRow(diary, row, day, graph.weightTrend, graph.fatTrend);
    return readOutOfRow(diary, row, day, weightTrend(diary), fatTrend(diary));
}
