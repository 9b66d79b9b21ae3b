#include "keylegend.h"

#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int capSize = 25;
const QColor litCap(Qt::white);
const QColor plainCap(255, 165, 0);
const QColor capEdge(90, 60, 20);

void drawCap(QPainter &painter, const QRect &box, const QString &label, bool lit)
{
    const QRectF cap = QRectF(box).adjusted(1.5, 1.5, -1.5, -1.5);
    QPainterPath outline;
    outline.addRoundedRect(cap, 4, 4);
    painter.fillPath(outline, lit ? litCap : plainCap);
    painter.setPen(QPen(capEdge, 1.5));
    painter.drawPath(outline);
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignCenter, label);
}

QImage blankPicture(int width)
{
    QImage image(width, capSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QFont capFont(int pixelSize)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

} // namespace

QImage letterKeysPicture(QChar highlighted)
{
    const QString letters = QStringLiteral("CVBNM");
    QImage image = blankPicture(letters.size() * capSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(capFont(13));
    for (int i = 0; i < letters.size(); ++i)
        drawCap(painter, QRect(i * capSize, 0, capSize, capSize), letters.at(i), letters.at(i) == highlighted);
    return image;
}

QImage arrowKeysPicture(ArrowKey highlighted)
{
    const std::array<std::pair<ArrowKey, QString>, 4> arrows{{
        {ArrowKey::Left, QStringLiteral("←")},
        {ArrowKey::Up, QStringLiteral("↑")},
        {ArrowKey::Down, QStringLiteral("↓")},
        {ArrowKey::Right, QStringLiteral("→")},
    }};
    QImage image = blankPicture(int(arrows.size()) * capSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(capFont(14));
    for (size_t i = 0; i < arrows.size(); ++i)
        drawCap(painter, QRect(int(i) * capSize, 0, capSize, capSize), arrows[i].second,
                arrows[i].first == highlighted);
    return image;
}

QImage spaceKeyPicture()
{
    QImage image = blankPicture(71);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(capFont(12));
    drawCap(painter, image.rect(), QStringLiteral("Space"), true);
    return image;
}
