#include "series.h"

#include <cmath>

namespace {

// Each row whose date lies in the window, with its day; rows whose date
// cannot be read as a day lie in no window.
template<typename Visit>
void forRowsInWindow(const DiaryTable &diary, double start, double end, Visit visit)
{
    for (int r = 1; r <= diary.rowCount(); ++r) {
        const std::optional<double> day = diary.cell(r, DiaryColumn::Date).toDayNumber();
        if (day && start <= *day && *day <= end)
            visit(r, std::floor(*day));
    }
}

// A weight or body fat above 0; empty cells and texts that are no number are left out.
Series measurements(const DiaryTable &diary, double start, double end, DiaryColumn column)
{
    Series series;
    forRowsInWindow(diary, start, end, [&](int row, double day) {
        const CellValue &cell = diary.cell(row, column);
        const std::optional<double> value = cell.isEmpty() ? std::nullopt : cell.toReal();
        if (!value || *value <= 0)
            return;
        series.dayNumbers.push_back(day);
        series.numbers.push_back(*value);
    });
    return series;
}

Series levels(const DiaryTable &diary, double start, double end, DiaryColumn column)
{
    Series series;
    forRowsInWindow(diary, start, end, [&](int row, double day) {
        series.dayNumbers.push_back(day);
        series.levels.append(diary.cell(row, column).toText());
    });
    return series;
}

} // namespace

Series GetContrastData_W(const DiaryTable &diary, double start, double end)
{
    return measurements(diary, start, end, DiaryColumn::Weight);
}

Series GetContrastData_F(const DiaryTable &diary, double start, double end)
{
    return measurements(diary, start, end, DiaryColumn::Fat);
}

Series GetContrastData_CalIn(const DiaryTable &diary, double start, double end)
{
    return levels(diary, start, end, DiaryColumn::IntakeLevel);
}

Series GetContrastData_CalOut(const DiaryTable &diary, double start, double end)
{
    return levels(diary, start, end, DiaryColumn::BurnLevel);
}
