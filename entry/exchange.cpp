#include "exchange.h"

#include "datetext.h"
#include "numbertext.h"
#include "replacefile.h"

#include <QFileInfo>
#include <cmath>

int levelForProgress(double start, double goal, double current)
{
    const double planned = start - goal;
    const double achieved = start - current;
    const double ratio = planned == 0 ? 0 : achieved / planned * 10;
    const double n = std::trunc(ratio);
    if (n < 0)
        return 0;
    if (n <= 1)
        return 1;
    return n > 10 ? 10 : int(n);
}

std::optional<double> ZeroValue(const DiaryTable &diary, Measure measure, QDate day, const QString &startSetting)
{
    const DiaryColumn column = measure == Measure::Weight ? DiaryColumn::Weight : DiaryColumn::Fat;
    const double lastDay = oleDayNumber(day);
    for (int r = diary.rowCount(); r >= 1; --r) {
        const std::optional<double> date = diary.cell(r, DiaryColumn::Date).toDayNumber();
        if (!date || std::floor(*date) > lastDay)
            continue;
        const CellValue &cell = diary.cell(r, column);
        if (cell.isEmpty())
            continue;
        const std::optional<double> value = cell.toReal();
        if (value && *value != 0)
            return value;
    }
    return parseNumberText(startSetting);
}

bool WriteText(const QString &text, const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() && !file.isSymLink())
        return true;
    // A link put in the file's place is replaced, never written through:
    // it could lead to the diary or anywhere outside the folder. The callers
    // say which file; the reason adds nothing the user can act on.
    return !replaceFile(path, text.toLatin1() + "\r\n", LinkHandling::ReplaceLink);
}

Judgement judgeLevel(const LevelInputs &in, const DiaryTable &diary, Measure measure, QDate day)
{
    // A new user who has not filled in the diet's start and goal yet.
    if (in.start.trimmed().isEmpty() || in.goal.trimmed().isEmpty())
        return {};
    const std::optional<double> start = parseNumberText(in.start);
    const std::optional<double> goal = parseNumberText(in.goal);
    if (!start)
        return {std::nullopt, ExchangeProblem(ExchangeError::StartNotANumber, {}, {in.start}, int(measure))};
    if (!goal)
        return {std::nullopt, ExchangeProblem(ExchangeError::GoalNotANumber, {}, {in.goal}, int(measure))};
    std::optional<double> current = in.current.trimmed().isEmpty() ? 0.0 : parseNumberText(in.current);
    if (!current)
        return {};
    if (*current == 0)
        current = ZeroValue(diary, measure, day, in.start);
    return {levelForProgress(*start, *goal, current.value_or(*start)), std::nullopt};
}
