#pragma once

#include "diarytable.h"

#include <QStringList>
#include <vector>

// The rows of the diary that fall in the graph's window, as two parallel
// lists of texts: the dates (YYYY/MM/DD) and the values.
struct Series
{
    QStringList dates;
    QStringList values;
    // The same dates and values as numbers, for drawing without reading the
    // texts back (a ten-year window has thousands of points).
    std::vector<double> dayNumbers;
    std::vector<double> numbers; // weight and body fat only
    qsizetype size() const { return dates.size(); }
    bool operator==(const Series &) const = default;
};

// Weight and body fat: rows in the window whose value is above 0.
Series GetContrastData_W(const DiaryTable &diary, double start, double end);
Series GetContrastData_F(const DiaryTable &diary, double start, double end);
// Calorie levels: every row in the window, the level's text as stored.
Series GetContrastData_CalIn(const DiaryTable &diary, double start, double end);
Series GetContrastData_CalOut(const DiaryTable &diary, double start, double end);
