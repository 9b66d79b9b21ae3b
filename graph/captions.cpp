#include "captions.h"

#include "datetext.h"

#include <QFontMetrics>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

// "#,##0.0" and "#,##0": digit groups with ",", the decimal point ".".
QString groupedNumber(double value, int decimals)
{
    static const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(value, 'f', decimals);
}

QString yearText(QDate date)
{
    return date.toString(QStringLiteral("yy"));
}

QString monthDay(QDate date)
{
    return QStringLiteral("%1/%2").arg(date.month()).arg(date.day());
}

// The digits of a value's "#,##0.0" text that the bands look at.
struct Digits
{
    QChar tenths, units, tens;
};

Digits digitsOf(const QString &text)
{
    const auto tail = [&](qsizetype n) { return n >= text.size() ? text.at(0) : text.at(text.size() - n); };
    return {text.back(), tail(3), tail(4)};
}

bool isEven(QChar digit)
{
    return QStringView(u"02468").contains(digit);
}

bool isZeroOrFive(QChar digit)
{
    return digit == u'0' || digit == u'5';
}

bool captionY(int band, int lastBand, QString &caption, double value)
{
    if (band > lastBand)
        return false;
    const QString text = groupedNumber(value, 1);
    const Digits d = digitsOf(text);
    bool shown = false;
    bool oneDecimal = false;
    switch (band) {
    case 0:
        shown = isEven(d.tenths);
        oneDecimal = true;
        break;
    case 1:
        shown = isZeroOrFive(d.tenths);
        oneDecimal = true;
        break;
    case 2:
    case 3: shown = d.tenths == u'0'; break;
    case 4: shown = d.tenths == u'0' && isEven(d.units); break;
    case 5: shown = d.tenths == u'0' && isZeroOrFive(d.units); break;
    case 6: shown = d.tenths == u'0' && d.units == u'0'; break;
    case 7: shown = d.tenths == u'0' && d.units == u'0' && isEven(d.tens); break;
    case 8: shown = d.tenths == u'0' && d.units == u'0' && isZeroOrFive(d.tens); break;
    default: return false;
    }
    if (shown)
        caption = oneDecimal ? text : groupedNumber(value, 0);
    return shown;
}

// The widest range the limits allow, and so the widest walked in 0.1 steps
// (10,000 of them).
constexpr double MaxWalkedRange = 1000;

// The values a band captions are multiples of this.
double captionStep(int band)
{
    static const double steps[] = {0.2, 0.5, 1, 1, 2, 5, 10, 20, 50};
    return steps[band];
}

// The smallest of 1, 2, 5, 10, 20, 50 … that is at least needed: captions
// that far apart keep round values, which stay exact as doubles.
double roundMultiplier(double needed)
{
    for (double decade = 1;; decade *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            if (factor * decade >= needed)
                return factor * decade;
        }
    }
}

// A range wider than any the limits allow: the multiples of the band's step
// from the lower limit up, thinned to no more captions than the strip has
// pixel rows, so the work stays bounded by the strip whatever the limits.
template<typename Wording>
std::vector<Caption> boundedCaptions(const ValueRange &range, int band, int height, Wording wording)
{
    std::vector<Caption> captions;
    const double step = captionStep(band);
    const double multiples = std::floor(range.range() / step) + 1;
    const double stride = step * roundMultiplier(multiples / (height + 1));
    const double first = std::ceil(range.lower / step) * step;
    QString text;
    for (int i = 0; i <= height; ++i) {
        const double value = first + i * stride;
        if (!(value < range.upper))
            break;
        if (wording(band, text, value))
            captions.push_back({GetPixel(range.range(), range.upper - value, height), text});
    }
    return captions;
}

// Captions every 0.1 from the lower limit up, by repeated addition as the
// values have always been stepped: the upper limit itself may miss its
// caption when the sum passes it.
template<typename Wording>
std::vector<Caption> valueCaptions(const ValueRange &range, int band, int height, Wording wording)
{
    if (!std::isfinite(range.range()))
        return {};
    if (range.range() > MaxWalkedRange)
        return boundedCaptions(range, band, height, wording);
    std::vector<Caption> captions;
    double offset = 0;
    double value = range.lower;
    QString text;
    while (offset < range.range()) {
        if (wording(band, text, value))
            captions.push_back({GetPixel(range.range(), range.range() - offset, height), text});
        offset += 0.1;
        value += 0.1;
    }
    return captions;
}

} // namespace

DateBand dateBand(int dayCount)
{
    if (dayCount <= 31)
        return {0, 1};
    if (dayCount <= 90)
        return {1, 7};
    if (dayCount <= 300)
        return {2, 1};
    if (dayCount <= 540)
        return {3, 1};
    if (dayCount <= 1080)
        return {4, 1};
    if (dayCount <= 2500)
        return {5, 1};
    return {6, 1};
}

bool GetCaptionX(int band, QString &caption, QDate date)
{
    const bool first = date.day() == 1;
    const int month = date.month();
    switch (band) {
    case 0: caption = first ? monthDay(date) : QString::number(date.day()); return true;
    case 1: caption = monthDay(date); return true;
    case 2:
        if (!first && date.day() != 15)
            return false;
        caption = monthDay(date);
        return true;
    case 3:
    case 4:
        if (!first || (band == 4 && month % 2 == 0))
            return false;
        caption = month == 1 ? yearText(date) + QStringLiteral("年1月") : QString::number(month) + u'月';
        return true;
    case 5:
        if (!first || (month != 1 && month != 7))
            return false;
        caption = yearText(date) + QStringLiteral("年%1月").arg(month);
        return true;
    case 6:
        if (!first || month != 1)
            return false;
        caption = yearText(date) + u'年';
        return true;
    default: return false;
    }
}

bool GetCaptionY_W(int band, QString &caption, double value)
{
    return captionY(band, 8, caption, value);
}

bool GetCaptionY_F(int band, QString &caption, double value)
{
    return captionY(band, 6, caption, value);
}

int weightBand(double range)
{
    static const double bounds[] = {2, 4, 6, 10, 20, 50, 100, 200};
    int band = 0;
    while (band < 8 && range > bounds[band])
        ++band;
    return band;
}

int fatBand(double range)
{
    return std::min(weightBand(range), 6);
}

std::vector<Caption> dateAxisCaptions(const GraphWindow &window, int width)
{
    std::vector<Caption> captions;
    const int days = window.dayCount();
    const DateBand band = dateBand(days);
    const QDate start = dateFromOleDayNumber(window.start);
    QString text;
    for (int i = 0; i < days; i += band.step) {
        if (GetCaptionX(band.band, text, start.addDays(i)))
            captions.push_back({window.x(i, width), text});
    }
    return captions;
}

std::vector<Caption> weightAxisCaptions(const ValueRange &range, int height)
{
    return valueCaptions(range, weightBand(range.range()), height, GetCaptionY_W);
}

std::vector<Caption> fatAxisCaptions(const ValueRange &range, int height)
{
    return valueCaptions(range, fatBand(range.range()), height, GetCaptionY_F);
}

QFont captionFont()
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(13); // 10 points on the screens the layout was made for
    return font;
}

int captionTextWidth(const QString &text)
{
    return QFontMetrics(captionFont()).horizontalAdvance(text);
}

int dateCaptionLeft(int tick, int textWidth, int stripWidth)
{
    return std::max(0, std::min(tick - 8, stripWidth - textWidth));
}

std::vector<Caption> readableDateCaptions(const std::vector<Caption> &captions,
                                          const std::function<int(const QString &)> &textWidth, int stripWidth)
{
    std::vector<Caption> kept;
    int clearFrom = 0; // the first pixel the next caption's text may take
    for (const Caption &caption : captions) {
        const int width = textWidth(caption.text);
        const int left = dateCaptionLeft(caption.pixel, width, stripWidth);
        if (!kept.empty() && left < clearFrom)
            continue;
        kept.push_back(caption);
        clearFrom = left + width + DateCaptionGap;
    }
    return kept;
}
