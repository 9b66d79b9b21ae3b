#pragma once

#include "graphwindow.h"

#include <QFont>
#include <QString>
#include <functional>
#include <vector>

// Which dates and values get a caption on the axes, how each is worded and
// where its tick lies.

struct Caption
{
    int pixel; // x of a date's tick, y of a value's tick, in graph pixels
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

// Every date caption of a window, one for each tick; every value caption of a range.
std::vector<Caption> dateAxisCaptions(const GraphWindow &window, int width = GraphWidth);
std::vector<Caption> weightAxisCaptions(const ValueRange &range, int height = GraphHeight);
std::vector<Caption> fatAxisCaptions(const ValueRange &range, int height = GraphHeight);

// The font of every caption on the axis strips, and the width of a text in it.
QFont captionFont();
int captionTextWidth(const QString &text);

// A date caption's text begins 8 pixels left of its tick, moved just inside
// the strip where that would take it past an edge.
int dateCaptionLeft(int tick, int textWidth, int stripWidth = GraphWidth);

// The clear pixels kept between two date captions, so that "12/1" and "2"
// never read as "12/12".
inline constexpr int DateCaptionGap = 4;

// The date captions the strip has room for: from the left, a caption whose
// text would come closer than DateCaptionGap to the last one kept is left
// out (its tick stays).
std::vector<Caption> readableDateCaptions(const std::vector<Caption> &captions,
                                          const std::function<int(const QString &)> &textWidth,
                                          int stripWidth = GraphWidth);
