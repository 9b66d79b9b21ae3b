#pragma once

#include "diarytable.h"
#include "listrules.h"

#include <QDate>
#include <optional>
#include <vector>

// Weekly and monthly summaries of the diary. Weeks begin on Sunday, as the
// calendar shows them; months are calendar months.

enum class SummaryPeriod { Week, Month };

// The first day of the week or month a date falls in.
QDate periodStart(QDate date, SummaryPeriod period);

struct ValueStats
{
    double average = 0;
    double lowest = 0;
    double highest = 0;
};

struct PeriodSummary
{
    QDate first;
    QDate last;
    int daysRecorded = 0;
    std::optional<ValueStats> weight; // of the values above 0
    std::optional<ValueStats> fat;
    // This period's average less the one before, when both have one.
    std::optional<double> weightChange;
    std::optional<double> fatChange;
    LevelCounts intake;
    LevelCounts burn;
};

// Every week or month from the one holding start to the one holding end,
// those without a recorded day too; each counts the days of the whole period.
std::vector<PeriodSummary> summarise(const DiaryTable &diary, SummaryPeriod period, QDate start, QDate end);
