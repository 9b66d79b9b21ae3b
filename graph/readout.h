#pragma once

#include "diarytable.h"
#include "graphwindow.h"
#include "plot.h"
#include "trend.h"

#include <QDate>
#include <QString>
#include <optional>
#include <vector>

// The read-out: what the graph shows of one day, in words, for the day under
// the pointer.

// The day whose x on the graph lies nearest to x; nullopt outside the window's days.
std::optional<QDate> dayAtX(const GraphWindow &window, int x, int width = GraphWidth);

// The date, weight and body fat with their trends, both calorie levels and
// the first line of each comment of the day; empty when the day is not
// recorded. The trends are those the graph keeps when it was drawn from this
// diary with its trend on; otherwise they are worked out from the diary.
QString readOutText(const DiaryTable &diary, QDate day, const GraphPicture &graph);
