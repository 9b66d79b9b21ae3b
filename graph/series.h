#pragma once

#include "diarytable.h"

#include <QStringList>
#include <vector>

// The rows of the diary that fall in the graph's window: the day of each
// (an OLE day number, whole days) and its value, in parallel lists.
struct Series
{
    std::vector<double> dayNumbers;
    std::vector<double> numbers; // weight and body fat
    QStringList levels;          // calorie levels, the text as stored
    qsizetype size() const { return qsizetype(dayNumbers.size()); }
};

// Weight and body fat: rows in the window whose value is above 0.
Series GetContrastData_W(const DiaryTable &diary, double start, double end);
Series GetContrastData_F(const DiaryTable &diary, double start, double end);
// Calorie levels: every row in the window, the level's text as stored.
Series GetContrastData_CalIn(const DiaryTable &diary, double start, double end);
Series GetContrastData_CalOut(const DiaryTable &diary, double start, double end);
