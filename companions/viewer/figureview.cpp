#include "figureview.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace {

const QColor skin(255, 222, 196);
const QColor outline(125, 85, 65);
const QColor hair(95, 62, 42);
const QColor shirt(120, 190, 235);
const QColor shorts(70, 100, 170);
const QColor shoes(250, 250, 250);
const QColor blush(255, 140, 140, 110);
const QColor tape(250, 205, 70);

// The figure's landmarks, in figure units from the top of the head.
constexpr double headCentreY = 11;
constexpr double neckBaseY = 22;
constexpr double shoulderY = 27;
constexpr double waistY = 47;
constexpr double hipY = 61;
constexpr double kneeY = 80;
constexpr double ankleY = 94;
constexpr double groundY = 98;
constexpr double neckHalfWidth = 3.4;

// Room around the figure, so the arms and feet never touch the edge.
constexpr double unitsTall = 108;
constexpr double unitsWide = 84;

QPen outlinePen(double width = 0.7)
{
    return QPen(outline, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

constexpr double limbOutline = 1.4;

// A limb as thick rounded strokes: every outline first and the fills over
// them, so the joints show no seam.
void drawLimb(QPainter &painter, const QList<QLineF> &parts, const QList<double> &thicknesses)
{
    for (qsizetype i = 0; i < parts.size(); ++i) {
        painter.setPen(QPen(outline, thicknesses.at(i) + limbOutline, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(parts.at(i));
    }
    for (qsizetype i = 0; i < parts.size(); ++i) {
        painter.setPen(QPen(skin, thicknesses.at(i), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(parts.at(i));
    }
}

// A sleeve or a leg of the shorts: cut square where it ends.
void drawCloth(QPainter &painter, const QLineF &part, double thickness, const QColor &colour)
{
    painter.setPen(QPen(outline, thickness + limbOutline, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(part);
    painter.setPen(QPen(colour, thickness, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(part);
}

// Fuller bodies carry the arms further out, around the belly.
double armSwing(const BodyShape &shape)
{
    return 2.0 + (shape.waistHalfWidth - shape.hipHalfWidth * 0.6) * 0.35;
}

void drawArms(QPainter &painter, const BodyShape &shape)
{
    const double s = shape.shoulderHalfWidth;
    const double arm = shape.armThickness;
    for (const int side : {-1, 1}) {
        const QPointF shoulder(side * (s - arm * 0.5), shoulderY + 2);
        const QPointF elbow(side * (s + armSwing(shape)), 44);
        const QPointF hand(side * (s + armSwing(shape) + 1.2), 57);
        drawLimb(painter, {{shoulder, elbow}, {elbow, hand}}, {arm, arm * 0.9});
        // The sleeve starts inside the torso, so its square top stays hidden.
        const QPointF sleeveTop(side * (s - arm - 0.8), shoulderY + 1);
        drawCloth(painter, {sleeveTop, shoulder + (elbow - shoulder) * 0.55}, arm + 1.6, shirt);
        painter.setPen(outlinePen());
        painter.setBrush(skin);
        painter.drawEllipse(hand, arm * 0.62, arm * 0.62);
    }
}

void drawLegs(QPainter &painter, const BodyShape &shape)
{
    const double thigh = shape.thighThickness;
    for (const int side : {-1, 1}) {
        const QPointF top(side * (shape.hipHalfWidth - thigh * 0.55), hipY);
        // Nearly straight legs: a fuller figure stands with its feet apart.
        const QPointF knee(top.x() - side * 1.8, kneeY);
        const QPointF ankle(top.x() - side * 2.6, ankleY);
        drawLimb(painter, {{top, knee}, {knee, ankle}}, {thigh, thigh * 0.7});
        drawCloth(painter, {top, top + (knee - top) * 0.5}, thigh + 1.2, shorts);
        painter.setPen(outlinePen());
        painter.setBrush(shoes);
        painter.drawEllipse(QPointF(ankle.x() + side * 2.2, ankleY + 2), 4.4, 2.4);
    }
}

// How far out a side's two control points sit so that the curve from
// shoulder to hip passes through the waist's width halfway: a round belly on
// a fuller figure, an hourglass on a slim one.
double sideControlX(const BodyShape &shape)
{
    return (8 * shape.waistHalfWidth - shape.shoulderHalfWidth - shape.hipHalfWidth) / 6;
}

// The torso, neck to hip; the right side mirrors the left.
QPainterPath torsoOutline(const BodyShape &shape)
{
    const double s = shape.shoulderHalfWidth;
    const double h = shape.hipHalfWidth;
    const double c = sideControlX(shape);
    // With these heights the halfway point of each side falls on waistY.
    constexpr double upperControlY = 42;
    constexpr double lowerControlY = 53.3;
    QPainterPath path;
    path.moveTo(-neckHalfWidth, neckBaseY);
    path.cubicTo(-s * 0.7, neckBaseY, -s, neckBaseY + 1.5, -s, shoulderY + 2);
    path.cubicTo(-c, upperControlY, -c, lowerControlY, -h, hipY);
    path.lineTo(-h, hipY + 4);
    path.lineTo(h, hipY + 4);
    path.lineTo(h, hipY);
    path.cubicTo(c, lowerControlY, c, upperControlY, s, shoulderY + 2);
    path.cubicTo(s, neckBaseY + 1.5, s * 0.7, neckBaseY, neckHalfWidth, neckBaseY);
    path.closeSubpath();
    return path;
}

void drawTorso(QPainter &painter, const BodyShape &shape)
{
    const QPainterPath torso = torsoOutline(shape);
    painter.setPen(Qt::NoPen);
    painter.setBrush(shirt);
    painter.drawPath(torso);

    // Shorts from just under the waist, and a tape measure round the waist:
    // the line the eye follows as the level rises.
    painter.save();
    painter.setClipPath(torso);
    painter.fillRect(QRectF(-30, waistY + 7, 60, 20), shorts);
    painter.fillRect(QRectF(-30, waistY - 1.2, 60, 2.4), tape);
    painter.setPen(QPen(outline, 0.35));
    for (double x = -28; x <= 28; x += 2)
        painter.drawLine(QPointF(x, waistY - 1.2), QPointF(x, waistY - 0.2));
    painter.restore();

    painter.setPen(outlinePen());
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(torso);
}

void drawFace(QPainter &painter, const BodyShape &shape, double level)
{
    const double r = shape.headRadius;
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    for (const int side : {-1, 1})
        painter.drawEllipse(QPointF(side * r * 0.36, headCentreY + 1), 0.9, 1.2);
    painter.setBrush(blush);
    for (const int side : {-1, 1})
        painter.drawEllipse(QPointF(side * r * 0.6, headCentreY + 3.6), r * 0.17, r * 0.11);

    // The smile widens as the level rises.
    const double mouthWidth = 3.0 + level * 0.25;
    painter.setPen(outlinePen(0.8));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(-mouthWidth / 2, headCentreY + 1.8, mouthWidth, 2.6 + level * 0.12), 200 * 16, 140 * 16);
}

void drawHead(QPainter &painter, const BodyShape &shape, double level)
{
    const double r = shape.headRadius;
    painter.setPen(outlinePen());
    painter.setBrush(skin);
    const double neckTop = headCentreY + r - 2;
    painter.drawRect(QRectF(-neckHalfWidth, neckTop, neckHalfWidth * 2, neckBaseY - neckTop));
    for (const int side : {-1, 1})
        painter.drawEllipse(QPointF(side * r, headCentreY + 1), 1.8, 2.2);
    const QRectF head(-r, headCentreY - r, 2 * r, 2 * r);
    painter.drawEllipse(head);

    painter.setBrush(hair);
    painter.drawChord(head.adjusted(-0.4, -0.6, 0.4, 0.4), 12 * 16, 156 * 16);
    drawFace(painter, shape, level);
}

} // namespace

FigureView::FigureView(QWidget *parent) : QWidget(parent), m_shape(shapeForLevel(m_level))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FigureView::setLevel(double level)
{
    m_level = level;
    m_shape = shapeForLevel(level);
    update();
}

QSize FigureView::sizeHint() const
{
    return {320, 400};
}

void FigureView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    paintBackdrop(painter);
    paintFigure(painter);
}

void FigureView::paintBackdrop(QPainter &painter) const
{
    QLinearGradient sky(0, 0, 0, height());
    sky.setColorAt(0, QColor(228, 244, 255));
    sky.setColorAt(1, QColor(255, 250, 240));
    painter.fillRect(rect(), sky);
}

void FigureView::paintFigure(QPainter &painter) const
{
    const double scale = std::min(height() / unitsTall, width() / unitsWide);
    painter.translate(width() / 2.0, (height() - unitsTall * scale) / 2 + 4 * scale);
    painter.scale(scale, scale);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 28));
    painter.drawEllipse(QPointF(0, groundY), m_shape.hipHalfWidth + 8, 2.6);

    drawLegs(painter, m_shape);
    drawArms(painter, m_shape);
    drawTorso(painter, m_shape);
    drawHead(painter, m_shape, m_level);
}
