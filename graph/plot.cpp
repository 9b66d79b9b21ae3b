#include "plot.h"

#include "datetext.h"
#include "numbertext.h"

#include <QPainter>

namespace {

const QColor SkyBlue(166, 202, 240);

// The point of series entry i.
QPoint pointOf(const Series &series, size_t i, const GraphWindow &window, const ValueRange &range)
{
    return {window.x(window.dayIndex(series.dayNumbers[i])), valueY(range, series.numbers[i])};
}

void fillMarker(QPainter &painter, QPoint p, const QColor &colour)
{
    painter.fillRect(p.x() - 2, p.y() - 2, 4, 4, colour);
}

// The trend lines and goals over the daily lines of the measures shown.
void drawOverlay(GraphPicture &out, const GraphInputs &in, const TrendOverlay &overlay, bool weightShown, bool fatShown,
                 const GraphPicture *previous)
{
    if (overlay.trend) {
        if (previous && previous->trendDiary == in.diary->serial()) {
            out.weightTrend = previous->weightTrend;
            out.fatTrend = previous->fatTrend;
        } else {
            out.weightTrend = weightTrend(*in.diary);
            out.fatTrend = fatTrend(*in.diary);
        }
        out.trendDiary = in.diary->serial();
    }
    struct Measure
    {
        bool shown;
        const std::optional<ValueRange> &range;
        const std::vector<DayValue> &trend;
        std::optional<double> goal;
        QColor colour;
    };
    for (const Measure &m :
         {Measure{weightShown, in.window.weight, out.weightTrend, overlay.goalWeight, in.weightColour},
          Measure{fatShown, in.window.fat, out.fatTrend, overlay.goalFat, in.fatColour}}) {
        if (!m.shown || !m.range)
            continue;
        if (overlay.goalLines && m.goal)
            drawGoalLine(out.picture, *m.goal, *m.range, m.colour);
        if (overlay.trend)
            drawTrendLine(out.picture, m.trend, in.window, *m.range, lighterShade(m.colour));
    }
}

} // namespace

QColor colourFromSetting(int value)
{
    if (value < 0)
        return Qt::black;
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

int settingFromColour(const QColor &colour)
{
    return colour.red() | colour.green() << 8 | colour.blue() << 16;
}

int barHalfWidth(int dayCount)
{
    if (dayCount < 90)
        return 3;
    if (dayCount < 140)
        return 2;
    return 1;
}

BarSpan barSpan(BarRow row, const QString &level)
{
    const int bottom = row == BarRow::Intake ? 43 : 69;
    const CalorieLevel said = calorieLevel(level);
    const int height = said == CalorieLevel::Little ? 6 : said == CalorieLevel::Standard ? 12 : 18;
    return {bottom - height + 1, height};
}

void SetGraphView_Line(QImage &picture, const Series &series, const GraphWindow &window, const ValueRange &range,
                       const QColor &colour)
{
    if (series.size() == 0)
        return;
    std::vector<QPoint> points;
    points.reserve(size_t(series.size()));
    for (size_t i = 0; i < series.dayNumbers.size(); ++i)
        points.push_back(pointOf(series, i, window, range));
    QPainter painter(&picture);
    painter.setPen(QPen(colour, 2, Qt::SolidLine));
    // Each segment lies over the marker of its first point and under that of its second.
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        fillMarker(painter, points[i], colour);
        painter.drawLine(points[i], points[i + 1]);
    }
    fillMarker(painter, points.back(), colour);
}

void SetGraphView_Bars(QImage &strip, const Series &series, const GraphWindow &window, BarRow row)
{
    QPainter painter(&strip);
    const int half = barHalfWidth(window.dayCount());
    const QColor colour = row == BarRow::Intake ? QColor(255, 0, 0) : QColor(0, 0, 255);
    for (qsizetype i = 0; i < series.size(); ++i) {
        const int centre = window.x(window.dayIndex(series.dayNumbers[size_t(i)])) - 4;
        const BarSpan span = barSpan(row, series.levels.at(i));
        painter.fillRect(centre - half, span.top, 2 * half, span.height, colour);
    }
}

void paintBarSeparator(QImage &strip)
{
    QPainter(&strip).fillRect(0, 45, GraphWidth, 2, SkyBlue);
}

void drawDateTicks(QImage &strip, const std::vector<Caption> &captions)
{
    QPainter painter(&strip);
    for (const Caption &caption : captions)
        painter.fillRect(caption.pixel, DateTickTop, 1, DateTickBottom - DateTickTop + 1, DateTickColour);
}

// The lines are drawn in the graph's own pixels, so a background picture of
// another size is first scaled to that size.
QImage graphBackground(const QImage &background)
{
    const QSize size(GraphWidth, GraphHeight);
    if (background.isNull()) {
        QImage blank(size, QImage::Format_RGB32);
        blank.fill(Qt::white);
        return blank;
    }
    const QImage fitted = background.size() == size
                              ? background
                              : background.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return fitted.convertToFormat(QImage::Format_RGB32);
}

GraphPicture renderGraph(const GraphInputs &in, const TrendOverlay &overlay, const GraphPicture *previous)
{
    GraphPicture out;
    const std::vector<Caption> dates = dateAxisCaptions(in.window);
    out.dateCaptions = readableDateCaptions(dates, captionTextWidth);
    if (in.window.weight)
        out.weightCaptions = weightAxisCaptions(*in.window.weight);
    if (in.window.fat)
        out.fatCaptions = fatAxisCaptions(*in.window.fat);

    out.picture = graphBackground(in.background);
    const bool weightShown = in.window.mode != 1;
    const bool fatShown = in.window.mode != 0;
    if (weightShown && in.window.weight) {
        out.weight = GetContrastData_W(*in.diary, in.window.start, in.window.end);
        SetGraphView_Line(out.picture, out.weight, in.window, *in.window.weight, in.weightColour);
    }
    if (fatShown && in.window.fat) {
        out.fat = GetContrastData_F(*in.diary, in.window.start, in.window.end);
        SetGraphView_Line(out.picture, out.fat, in.window, *in.window.fat, in.fatColour);
    }

    drawOverlay(out, in, overlay, weightShown, fatShown, previous);

    out.crossStrip = in.crossStrip.convertToFormat(QImage::Format_RGB32);
    out.intake = GetContrastData_CalIn(*in.diary, in.window.start, in.window.end);
    SetGraphView_Bars(out.crossStrip, out.intake, in.window, BarRow::Intake);
    out.burn = GetContrastData_CalOut(*in.diary, in.window.start, in.window.end);
    SetGraphView_Bars(out.crossStrip, out.burn, in.window, BarRow::Burn);
    paintBarSeparator(out.crossStrip);
    drawDateTicks(out.crossStrip, dates);
    return out;
}
