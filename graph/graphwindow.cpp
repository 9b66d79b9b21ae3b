#include "graphwindow.h"

#include "datetext.h"

#include <algorithm>
#include <cmath>

int GetPixel(double total, double part, double size)
{
    if (total == 0)
        return 0;
    const double pixel = std::trunc(part / total * size);
    if (std::isnan(pixel))
        return 0;
    return static_cast<int>(std::clamp(pixel, double(-MaxPixel), double(MaxPixel)));
}

GraphWindow GraphWindow::fromDates(QDate startDay, QDate endDay)
{
    GraphWindow window;
    window.start = oleDayNumber(startDay) + StartTimeOfDay;
    window.end = oleDayNumber(endDay) + EndTimeOfDay;
    return window;
}

int GraphWindow::dayCount() const
{
    return static_cast<int>(std::lround(end - start)) + 1;
}

int GraphWindow::dayIndex(double dayNumber) const
{
    return static_cast<int>(std::lround(dayNumber - start + 1));
}

int GraphWindow::x(int index, int width) const
{
    return GetPixel(dayCount(), index, width);
}

int valueY(const ValueRange &range, double value, int height)
{
    return GetPixel(range.range(), range.range() - (value - range.lower), height);
}
