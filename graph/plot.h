#pragma once

#include "captions.h"
#include "diarytable.h"
#include "graphwindow.h"
#include "series.h"
#include "trendplot.h"

#include <QColor>
#include <QImage>

// Drawing the series: the lines with their point markers on the graph
// picture, the calorie bars on the date strip below it.

// A colour as the settings file keeps it: red in the low byte, then green,
// then blue. The colour list's system colours (negative) draw black.
QColor colourFromSetting(int value);
int settingFromColour(const QColor &colour);

// Half the width of a calorie bar for a window of dayCount days.
int barHalfWidth(int dayCount);

enum class BarRow { Intake, Burn };
struct BarSpan
{
    int top;
    int height;
};
// Where the bar of a level text lies: "0" short, "1" middle, anything else tall.
BarSpan barSpan(BarRow row, const QString &level);

void SetGraphView_Line(QImage &picture, const Series &series, const GraphWindow &window, const ValueRange &range,
                       const QColor &colour);
void SetGraphView_Bars(QImage &strip, const Series &series, const GraphWindow &window, BarRow row);
// The sky-blue band between the two rows of bars.
void paintBarSeparator(QImage &strip);
// A short tick under the captions at the x of every captioned date, shown
// or left out for want of room.
inline const QColor DateTickColour(64, 64, 64);
inline constexpr int DateTickTop = 18, DateTickBottom = 23;
void drawDateTicks(QImage &strip, const std::vector<Caption> &captions);

// Everything one redraw draws: the picture, the date strip with its bars,
// the captions of both axes and the series they came from.
struct GraphPicture
{
    QImage picture;
    QImage crossStrip;
    std::vector<Caption> dateCaptions; // those the strip has room for
    std::vector<Caption> weightCaptions;
    std::vector<Caption> fatCaptions;
    Series weight, fat, intake, burn;
    // The trend of every recorded day, in the window or not; empty while the
    // trend is off.
    std::vector<DayValue> weightTrend, fatTrend;
    std::uint64_t trendDiary = 0; // the serial of the diary they come from; 0: none
};

struct GraphInputs
{
    const DiaryTable *diary;
    GraphWindow window;
    QImage background; // null: a blank picture
    QImage crossStrip; // the pristine date strip
    QColor weightColour;
    QColor fatColour;
};

// overlay all off: the graph as it always was. The trend of the whole diary
// is taken from the previous redraw when that was of the same diary.
GraphPicture renderGraph(const GraphInputs &inputs, const TrendOverlay &overlay = {},
                         const GraphPicture *previous = nullptr);

// The picture the lines are drawn on: the background brought to the graph's
// size (white when there is none).
QImage graphBackground(const QImage &background);
