#pragma once

#include <QLabel>

// The caption labels laid over the axis strips, and the strip images.

// A date caption: its text begins 8 pixels left of its tick, or just inside
// the strip at its edges.
class DateCaptionLabel : public QLabel
{
    Q_OBJECT
public:
    DateCaptionLabel(QWidget *panel, int captionPixel, const QString &text);
};

// A weight caption, right-aligned at the right of the value strip, centred
// on its tick, in the weight line's colour.
class WeightCaptionLabel : public QLabel
{
    Q_OBJECT
public:
    WeightCaptionLabel(QWidget *panel, int captionPixel, const QString &text, const QColor &colour);
};

// A body-fat caption, left-aligned at the left of the value strip.
class FatCaptionLabel : public QLabel
{
    Q_OBJECT
public:
    FatCaptionLabel(QWidget *panel, int captionPixel, const QString &text, const QColor &colour);
};

// The date strip: fills its panel, unstretched, and carries the calorie bars.
class DateStrip : public QLabel
{
    Q_OBJECT
public:
    DateStrip(QWidget *panel, const QImage &picture);
};

// The value strip: fills its panel, stretched; a click switches it between
// its light and its dark artwork.
class ValueStrip : public QLabel
{
    Q_OBJECT
public:
    ValueStrip(QWidget *panel, const QImage &light, const QImage &dark);
    bool isLight() const { return m_light; }
    void toggleShade();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_lightPicture;
    QImage m_darkPicture;
    bool m_light = true;
};
