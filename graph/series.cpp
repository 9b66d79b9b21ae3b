#include "series.h"

#include "datetext.h"
#include "numbertext.h"

#include <cmath>

namespace {

// Rows whose date cannot be read as a day lie in no window.
template<typename Take>
Series extract(const DiaryTable &diary, double start, double end, Take take)
{
    Series series;
    for (int r = 1; r < diary.FirstEmptyRow(); ++r) {
        const std::optional<double> dayNumber = diary.cell(r, ColDate).toDayNumber();
        if (!dayNumber || !(start <= *dayNumber && *dayNumber <= end))
            continue;
        const double day = *dayNumber;
        if (const std::optional<std::pair<QString, double>> value = take(r)) {
            series.dates.append(dateText(dateFromOleDayNumber(day)));
            series.values.append(value->first);
            series.dayNumbers.push_back(std::floor(day));
            series.numbers.push_back(value->second);
        }
    }
    return series;
}

// A weight or body fat above 0; empty cells and texts that are no number are left out.
auto measurement(const DiaryTable &diary, int column)
{
    return [&diary, column](int row) -> std::optional<std::pair<QString, double>> {
        const CellValue &cell = diary.cell(row, column);
        if (cell.isEmpty())
            return std::nullopt;
        const std::optional<double> value = cell.toReal();
        if (!value || *value <= 0)
            return std::nullopt;
        return std::pair{generalNumberText(*value), *value};
    };
}

auto level(const DiaryTable &diary, int column)
{
    return [&diary, column](int row) -> std::optional<std::pair<QString, double>> {
        return std::pair{diary.cell(row, column).toText(), 0.0};
    };
}

} // namespace

Series GetContrastData_W(const DiaryTable &diary, double start, double end)
{
    return extract(diary, start, end, measurement(diary, ColWeight));
}

Series GetContrastData_F(const DiaryTable &diary, double start, double end)
{
    return extract(diary, start, end, measurement(diary, ColFat));
}

Series GetContrastData_CalIn(const DiaryTable &diary, double start, double end)
{
    return extract(diary, start, end, level(diary, ColIntakeLevel));
}

Series GetContrastData_CalOut(const DiaryTable &diary, double start, double end)
{
    return extract(diary, start, end, level(diary, ColBurnLevel));
}
