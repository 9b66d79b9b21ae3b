#pragma once

#include <QLabel>

// The caption labels laid over the axis strips, and the strip images.

// A date caption: its text begins 8 pixels left of its tick, or just inside
// the strip at its edges.
class TLbl_Cross : public QLabel
{
    Q_OBJECT
public:
    TLbl_Cross(QWidget *panel, int captionPixel, const QString &text);
};

// A weight caption, right-aligned at the right of the value strip, centred
// on its tick, in the weight line's colour.
class TLbl_VertW : public QLabel
{
    Q_OBJECT
public:
    TLbl_VertW(QWidget *panel, int captionPixel, const QString &text, const QColor &colour);
};

// A body-fat caption, left-aligned at the left of the value strip.
class TLbl_VertF : public QLabel
{
    Q_OBJECT
public:
    TLbl_VertF(QWidget *panel, int captionPixel, const QString &text, const QColor &colour);
};

// The date strip: fills its panel, unstretched, and carries the calorie bars.
class TImg_Cross : public QLabel
{
    Q_OBJECT
public:
    TImg_Cross(QWidget *panel, const QImage &picture);
};

// The value strip: fills its panel, stretched; a click switches it between
// its light and its dark artwork.
class TImg_Vert : public QLabel
{
    Q_OBJECT
public:
    TImg_Vert(QWidget *panel, const QImage &light, const QImage &dark);
    bool isLight() const { return m_light; }
    void ToggleStrip();

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_lightPicture;
    QImage m_darkPicture;
    bool m_light = true;
};
