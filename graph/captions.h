#pragma once

#include "graphwindow.h"

#include <QString>
#include <vector>

// Which dates and values get a caption on the axes, how each is worded and
// where its tick lies.

struct Caption
{
    int pixel;    // x of a date's tick, y of a value's tick, in graph pixels
    QString text;
};

struct DateBand
{
    int band;
    int step; // days between the dates asked about
};
DateBand dateBand(int dayCount);

// True, with the caption, when a date is captioned in a band (0 to 6).
bool GetCaptionX(int band, QString &caption, QDate date);
// True, with the caption, when a value is captioned in a band: weight 0 to
// 8, body fat 0 to 6.
bool GetCaptionY_W(int band, QString &caption, double value);
bool GetCaptionY_F(int band, QString &caption, double value);

int weightBand(double range);
int fatBand(double range);

// Every date caption of a window; every value caption of a range.
std::vector<Caption> SetDailyLogic(const GraphWindow &window, int width = GraphWidth);
std::vector<Caption> SetWeightLogic(const ValueRange &range, int height = GraphHeight);
std::vector<Caption> SetFatLogic(const ValueRange &range, int height = GraphHeight);
