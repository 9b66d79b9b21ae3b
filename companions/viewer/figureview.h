#pragma once

#include "bodyshape.h"

#include <QWidget>

class QPainter;

// The body figure for a level, drawn to fit the widget.
class FigureView : public QWidget
{
    Q_OBJECT

public:
    explicit FigureView(QWidget *parent = nullptr);

    void setLevel(double level);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintBackdrop(QPainter &painter) const;
    void paintFigure(QPainter &painter) const;

    double m_level = 0;
    BodyShape m_shape;
};
