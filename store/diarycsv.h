#pragma once

#include "diarybook.h"
#include "diarytable.h"

#include <QString>
#include <vector>

// The diary as CSV (RFC 4180): a header line, then one line per day with the
// date as YYYY/MM/DD, numbers in their shortest form and blank cells empty.
QString diaryToCsv(const DiaryTable &table);

struct CsvDays
{
    std::vector<DayValues> days;
    QString error; // names the line at fault
};
// Reads days from CSV in the form diaryToCsv() writes.
CsvDays daysFromCsv(const QString &csv);

// Checks and normalises one day as a script gives it: a real date, levels
// 0 to 2, weight (0 to 1000 kg) and body fat (0 to 100 %) numbers or empty,
// a photo that is a plain file name or empty. Returns what is wrong, or "".
QString checkDay(DayValues &day);
