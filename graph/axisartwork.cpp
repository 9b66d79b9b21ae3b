#include "axisartwork.h"

#include <QPainter>

namespace {

QImage crossStrip()
{
    QImage image(774, 74, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 486, 24, QColor(196, 226, 255));         // light blue
    painter.fillRect(487, 0, 774 - 487, 24, QColor(255, 204, 229)); // pink
    painter.fillRect(486, 0, 1, 74, QColor(255, 0, 0));
    return image;
}

QImage verticalStrip(const QColor &column, const QColor &line, const QColor &field)
{
    QImage image(50, 209, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 15, 209, column);
    painter.fillRect(15, 0, 1, 209, line);
    painter.fillRect(16, 0, 34, 209, field);
    return image;
}

} // namespace

AxisArtwork::AxisArtwork()
    : Img_CrossAxle2(crossStrip()),
      Img_VerticalAxle2(verticalStrip(QColor(204, 232, 120), QColor(0, 0, 128), QColor(200, 228, 255))),
      Img_VerticalAxle3(verticalStrip(QColor(128, 128, 0), QColor(0, 0, 64), QColor(0, 128, 128)))
{}
