#include "trendplot.h"

#include "numbertext.h"

#include <QPainter>

QColor lighterShade(const QColor &colour)
{
    return QColor((colour.red() + 255) / 2, (colour.green() + 255) / 2, (colour.blue() + 255) / 2);
}

void drawTrendLine(QImage &picture, const std::vector<DayValue> &trend, const GraphWindow &window,
                   const ValueRange &range, const QColor &colour)
{
    QPolygon line;
    for (const DayValue &d : trend) {
        if (window.contains(d.day))
            line << QPoint(window.x(window.dayIndex(d.day)), valueY(range, d.value));
    }
    if (line.isEmpty())
        return;
    QPainter painter(&picture);
    painter.setPen(QPen(colour, 1, Qt::SolidLine));
    if (line.size() == 1)
        painter.drawPoint(line.front());
    else
        painter.drawPolyline(line);
}

void drawGoalLine(QImage &picture, double goal, const ValueRange &range, const QColor &colour)
{
    if (goal < range.lower || goal > range.upper)
        return;
    const int y = valueY(range, goal, picture.height());
    QPainter painter(&picture);
    painter.setPen(QPen(colour, 1, Qt::DashLine));
    painter.drawLine(0, y, picture.width() - 1, y);
}

std::optional<double> goalValue(const QString &typed)
{
    const std::optional<double> goal = parseNumberText(typed.trimmed());
    if (goal && *goal > 0)
        return goal;
    return std::nullopt;
}

DateSpan endingToday(DateSpan window, QDate today)
{
    return {today.addDays(-window.start.daysTo(window.end)), today};
}
