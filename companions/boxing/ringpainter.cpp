#include "ringpainter.h"

#include "keymap.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// The ring is seen from the side: 0 cm at the left post, the fighters'
// feet on one line. Everything about a fighter is drawn in centimetres.
constexpr double PxPerCm = 1.8;
constexpr double RingLeftPx = 40;
constexpr double RingRightPx = RingLeftPx + Rules::RingWidthCm * PxPerCm;
constexpr double FloorPx = 480;
constexpr double ArmSegmentCm = 38;
constexpr double LegSegmentCm = 47;
constexpr double GloveRadiusCm = 9;

QFont uiFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Noto Sans CJK JP"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

double screenX(double positionCm)
{
    return RingLeftPx + positionCm * PxPerCm;
}

double smooth(double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

QPointF lerp(QPointF from, QPointF to, double t)
{
    return from + (to - from) * t;
}

struct Kit
{
    QColor colour;
    QColor skin;
};

Kit kitOf(Side side)
{
    return side == Side::Player ? Kit{QColor(40, 100, 230), QColor(240, 200, 165)}
                                : Kit{QColor(215, 45, 45), QColor(200, 145, 105)};
}

// ---- The pose: where every joint is at this moment ----

struct Pose
{
    QPointF hips;
    QPointF shoulders;
    QPointF head;
    QPointF leadFoot{20, 0};
    QPointF rearFoot{-24, 0};
    QPointF leadGlove;
    QPointF rearGlove;
    bool hurt = false;
};

// The upright stance, the upper body lowered by crouchCm and moved forward
// (or back, when negative) by leanCm.
Pose stance(double crouchCm, double leanCm)
{
    Pose pose;
    pose.hips = {leanCm * 0.2, 92 - crouchCm * 0.45};
    pose.shoulders = {leanCm, 142 - crouchCm};
    pose.head = {leanCm + 4, 162 - crouchCm};
    return pose;
}

// Knocked down: sitting on the canvas, legs out in front, slumped back.
Pose sittingDown()
{
    Pose pose;
    pose.hips = {-6, 16};
    pose.shoulders = {-32, 58};
    pose.head = {-42, 76};
    pose.leadFoot = {62, 0};
    pose.rearFoot = {46, 0};
    pose.leadGlove = {-2, 24};
    pose.rearGlove = {-18, 20};
    pose.hurt = true;
    return pose;
}

Pose blend(const Pose &from, const Pose &to, double t)
{
    Pose pose;
    pose.hips = lerp(from.hips, to.hips, t);
    pose.shoulders = lerp(from.shoulders, to.shoulders, t);
    pose.head = lerp(from.head, to.head, t);
    pose.leadFoot = lerp(from.leadFoot, to.leadFoot, t);
    pose.rearFoot = lerp(from.rearFoot, to.rearFoot, t);
    pose.leadGlove = lerp(from.leadGlove, to.leadGlove, t);
    pose.rearGlove = lerp(from.rearGlove, to.rearGlove, t);
    pose.hurt = from.hurt || to.hurt;
    return pose;
}

// Out during the windup, back during the recovery: 0 → 1 → 0.
double punchExtension(const Fighter &fighter)
{
    const MoveStats &stats = moveStats(fighter.move());
    const int elapsed = fighter.moveElapsedMs();
    if (elapsed < stats.windupMs)
        return smooth(double(elapsed) / stats.windupMs);
    return 1.0 - smooth(double(elapsed - stats.windupMs) / std::max(1, stats.recoveryMs));
}

// Quickly in, held while it protects, eased out during the recovery.
double dodgeDepth(const Fighter &fighter)
{
    const MoveStats &stats = moveStats(fighter.move());
    const double elapsed = fighter.moveElapsedMs();
    if (elapsed < stats.activeMs)
        return smooth(elapsed / 80.0);
    return 1.0 - smooth((elapsed - stats.activeMs) / std::max(1, stats.recoveryMs));
}

void throwGlove(Pose &pose, Move punch, double extension, double distanceCm)
{
    const MoveStats &stats = moveStats(punch);
    const bool leftHand = punch == Move::LeftJab || punch == Move::LeftHook || punch == Move::LeftBody;
    QPointF &glove = leftHand ? pose.leadGlove : pose.rearGlove;
    const QPointF from = glove;
    // The glove stops at the face or the body of the other fighter.
    const double reach = std::min<double>(stats.reachCm, distanceCm) - 14;
    const QPointF to(reach, stats.target == Target::Body ? 112 : 156);
    const double arc = std::sin(std::numbers::pi * extension);
    switch (stats.path) {
    case Path::Hook: glove = lerp(from, to, extension) + QPointF(-12 * arc, 14 * arc); break;
    case Path::Uppercut: {
        const QPointF low(from.x(), 96);
        glove = lerp(lerp(from, low, extension), lerp(low, to, extension), extension);
        break;
    }
    default: glove = lerp(from, to, extension); break;
    }
}

Pose standingPose(const Fighter &fighter, double distanceCm)
{
    const Move move = fighter.move();
    const double extension = isPunch(move) ? punchExtension(fighter) : 0;
    double crouchCm = 0;
    double leanCm = 0;
    if (move == Move::Sway)
        leanCm = -26 * dodgeDepth(fighter);
    else if (move == Move::Duck)
        crouchCm = 40 * dodgeDepth(fighter);
    else if (move == Move::Staggered)
        leanCm = -14 * std::sin(std::numbers::pi * std::min(1.0, fighter.moveElapsedMs() / 300.0));
    else if (isBodyBlow(move))
        crouchCm = 22 * extension;
    else if (isPunch(move))
        leanCm = 8 * extension;

    Pose pose = stance(crouchCm, leanCm);
    pose.hurt = move == Move::Staggered;
    const bool guarding = fighter.isGuarding();
    pose.leadGlove = pose.shoulders + (guarding ? QPointF(22, 18) : QPointF(30, 4));
    pose.rearGlove = pose.shoulders + (guarding ? QPointF(16, 14) : QPointF(16, -2));
    if (isPunch(move))
        throwGlove(pose, move, extension, distanceCm);
    return pose;
}

Pose poseOf(const Fighter &fighter, double distanceCm)
{
    if (!fighter.isDown())
        return standingPose(fighter, distanceCm);
    Pose upright = stance(0, -10);
    upright.leadGlove = upright.shoulders + QPointF(20, -20);
    upright.rearGlove = upright.shoulders + QPointF(6, -24);
    return blend(upright, sittingDown(), smooth(fighter.moveElapsedMs() / 600.0));
}

// ---- Drawing a fighter ----

// Two limb segments of equal length from root to end; the middle joint
// bends to the given side of the line between them (elbows hang down, knees
// point forward or up).
QPointF middleJoint(QPointF root, QPointF end, double segment, bool bendLeft)
{
    const QPointF line = end - root;
    const double length = std::hypot(line.x(), line.y());
    const double span = std::min(length, 2 * segment - 0.01);
    const double bend = std::sqrt(segment * segment - span * span / 4);
    const QPointF along = length > 0 ? line / length : QPointF(1, 0);
    const QPointF side = bendLeft ? QPointF(-along.y(), along.x()) : QPointF(along.y(), -along.x());
    return (root + end) / 2 + side * bend;
}

void drawArm(QPainter &painter, QPointF shoulder, QPointF glove, const Kit &kit, bool behind)
{
    const QPointF reach = glove - shoulder;
    const double length = std::hypot(reach.x(), reach.y());
    if (length > 2 * ArmSegmentCm)
        glove = shoulder + reach * (2 * ArmSegmentCm / length);
    const QPointF elbow = middleJoint(shoulder, glove, ArmSegmentCm, false);

    const QColor skin = behind ? kit.skin.darker(125) : kit.skin;
    painter.setPen(QPen(skin, 10, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPolyline(QList<QPointF>{shoulder, elbow, glove});
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(behind ? kit.colour.darker(130) : kit.colour);
    painter.drawEllipse(glove, GloveRadiusCm, GloveRadiusCm);
}

QPointF kneeOf(const Pose &pose, QPointF foot)
{
    return middleJoint(pose.hips, foot + QPointF(0, 8), LegSegmentCm, true);
}

void drawLegs(QPainter &painter, const Pose &pose, const Kit &kit)
{
    painter.setPen(QPen(kit.skin.darker(110), 12, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    for (const QPointF foot : {pose.rearFoot, pose.leadFoot})
        painter.drawPolyline(QList<QPointF>{pose.hips, kneeOf(pose, foot), foot + QPointF(0, 8)});
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 35));
    for (const QPointF foot : {pose.rearFoot, pose.leadFoot})
        painter.drawRoundedRect(QRectF(foot.x() - 8, foot.y(), 22, 9), 3, 3);
}

// The trunk follows the line from hips to shoulders, upright or slumped.
void drawBody(QPainter &painter, const Pose &pose, const Kit &kit)
{
    const QPointF spine = pose.shoulders - pose.hips;
    const double length = std::hypot(spine.x(), spine.y());
    const QPointF up = length > 0 ? spine / length : QPointF(0, 1);
    const QPointF across(up.y(), -up.x());
    painter.setPen(QPen(kit.skin.darker(120), 1));
    painter.setBrush(kit.skin);
    painter.drawPolygon(QPolygonF{pose.hips - across * 13, pose.hips + across * 13, pose.shoulders + across * 15,
                                  pose.shoulders - across * 15});
    // The shorts: a waistband on the trunk and a leg down each thigh,
    // whichever way the thighs point.
    painter.setPen(QPen(kit.colour, 17, Qt::SolidLine, Qt::FlatCap));
    for (const QPointF foot : {pose.rearFoot, pose.leadFoot})
        painter.drawLine(pose.hips, lerp(pose.hips, kneeOf(pose, foot), 0.45));
    painter.setPen(Qt::NoPen);
    painter.setBrush(kit.colour);
    const QPointF waist = pose.hips + up * 9;
    painter.drawPolygon(
        QPolygonF{pose.hips - across * 15, pose.hips + across * 15, waist + across * 15, waist - across * 15});
    painter.setPen(QPen(Qt::white, 4));
    painter.drawLine(waist - up * 2 - across * 15, waist - up * 2 + across * 15);
}

// A sparring fighter wears headgear in the colour of the kit.
void drawHead(QPainter &painter, const Pose &pose, const Kit &kit)
{
    const QPointF head = pose.head;
    painter.setPen(QPen(kit.skin.darker(130), 1));
    painter.setBrush(kit.skin);
    painter.drawEllipse(head, 12, 13);
    painter.setPen(QPen(kit.colour, 6, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(head.x() - 11, head.y() - 12, 22, 24), 40 * 16, 200 * 16);
    painter.setPen(QPen(QColor(40, 30, 30), 2.2, Qt::SolidLine, Qt::RoundCap));
    const QPointF eye = head + QPointF(7, 3);
    if (pose.hurt) {
        painter.drawLine(eye + QPointF(-2, -2), eye + QPointF(2, 2));
        painter.drawLine(eye + QPointF(-2, 2), eye + QPointF(2, -2));
    } else {
        painter.drawPoint(eye);
    }
}

void drawFighter(QPainter &painter, const Fighter &fighter, Side side, double distanceCm)
{
    const Pose pose = poseOf(fighter, distanceCm);
    const Kit kit = kitOf(side);
    painter.save();
    painter.translate(screenX(fighter.positionCm()), FloorPx);
    // Both fighters are drawn facing +x; the player's picture is mirrored to face left.
    painter.scale(side == Side::Player ? -PxPerCm : PxPerCm, -PxPerCm);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 60));
    painter.drawEllipse(QPointF(pose.hips.x(), 0), 42, 5);
    drawArm(painter, pose.shoulders + QPointF(-6, 0), pose.rearGlove, kit, true);
    drawLegs(painter, pose, kit);
    drawBody(painter, pose, kit);
    drawHead(painter, pose, kit);
    drawArm(painter, pose.shoulders + QPointF(6, -2), pose.leadGlove, kit, false);
    painter.restore();
}

// ---- The arena ----

void drawArena(QPainter &painter)
{
    QLinearGradient hall(0, 0, 0, SceneSize.height());
    hall.setColorAt(0, QColor(12, 14, 30));
    hall.setColorAt(1, QColor(40, 36, 60));
    painter.fillRect(QRect(QPoint(0, 0), SceneSize), hall);

    QRadialGradient spotlight(QPointF(400, 330), 420);
    spotlight.setColorAt(0, QColor(255, 250, 220, 70));
    spotlight.setColorAt(1, QColor(255, 250, 220, 0));
    painter.fillRect(QRect(QPoint(0, 0), SceneSize), spotlight);

    const QPolygonF canvas{{RingLeftPx, 450}, {RingRightPx, 450}, {795, 515}, {5, 515}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(205, 210, 220));
    painter.drawPolygon(canvas);
    painter.setBrush(QColor(30, 60, 140));
    painter.drawRect(QRectF(5, 515, 790, 14));

    painter.setBrush(QColor(190, 190, 200));
    for (const double post : {RingLeftPx - 8, RingRightPx - 8})
        painter.drawRoundedRect(QRectF(post, 255, 16, 205), 4, 4);
    const QList<QColor> ropes{QColor(220, 40, 40), QColor(245, 245, 245), QColor(40, 80, 220)};
    for (int i = 0; i < ropes.size(); ++i) {
        painter.setPen(QPen(ropes.at(i), 5, Qt::SolidLine, Qt::RoundCap));
        const double y = 285 + 50 * i;
        painter.drawLine(QPointF(RingLeftPx, y), QPointF(RingRightPx, y));
    }
}

// ---- Heads-up display ----

QColor staminaColour(double fraction)
{
    if (fraction > 0.5)
        return QColor(70, 200, 90);
    return fraction > 0.25 ? QColor(235, 200, 40) : QColor(225, 60, 50);
}

// The bars fill from the outer edges, each under the fighter's own side.
void drawStaminaBar(QPainter &painter, const QRectF &box, int stamina, const QString &label, bool fromRight)
{
    const double fraction = double(stamina) / Rules::MaxStamina;
    painter.setPen(Qt::white);
    painter.setFont(uiFont(15, true));
    painter.drawText(box.adjusted(0, -26, 0, -box.height()), fromRight ? Qt::AlignRight : Qt::AlignLeft, label);
    painter.setPen(QPen(QColor(255, 255, 255, 180), 2));
    painter.setBrush(QColor(20, 20, 25));
    painter.drawRoundedRect(box, 4, 4);
    QRectF filled = box.adjusted(3, 3, -3, -3);
    const double emptyWidth = filled.width() * (1 - fraction);
    fromRight ? filled.setLeft(filled.left() + emptyWidth) : filled.setRight(filled.right() - emptyWidth);
    painter.setPen(Qt::NoPen);
    painter.setBrush(staminaColour(fraction));
    painter.drawRect(filled);
    painter.setPen(Qt::white);
    painter.setFont(uiFont(13, true));
    painter.drawText(box.adjusted(8, 0, -8, 0), Qt::AlignVCenter | (fromRight ? Qt::AlignLeft : Qt::AlignRight),
                     QStringLiteral("スタミナ %1").arg(stamina));
}

void drawClock(QPainter &painter, const BoxingMatch &match)
{
    const int secondsLeft = (std::max(0, match.timeLeftMs()) + 999) / 1000;
    const QRectF box(340, 18, 120, 62);
    painter.setPen(QPen(QColor(255, 255, 255, 160), 2));
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRoundedRect(box, 8, 8);
    painter.setPen(secondsLeft <= 10 ? QColor(255, 110, 90) : Qt::white);
    painter.setFont(uiFont(34, true));
    painter.drawText(box.adjusted(0, 6, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                     QStringLiteral("%1:%2").arg(secondsLeft / 60).arg(secondsLeft % 60, 2, 10, QLatin1Char('0')));
    painter.setPen(QColor(200, 200, 220));
    painter.setFont(uiFont(12));
    painter.drawText(QRectF(box.left(), 0, box.width(), 18), Qt::AlignCenter, QStringLiteral("スパーリング"));
}

void drawOutlinedText(QPainter &painter, QPointF centre, const QString &text, const QFont &font, QColor fill)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    path.translate(centre - path.boundingRect().center());
    QColor outline(10, 10, 20, fill.alpha());
    painter.strokePath(path, QPen(outline, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.fillPath(path, fill);
}

void drawCallouts(QPainter &painter, const Scene &scene)
{
    for (const Callout &callout : scene.callouts) {
        const double life = double(callout.ageMs) / CalloutLifeMs;
        QColor colour = callout.colour;
        colour.setAlphaF(float(1 - smooth((life - 0.6) / 0.4)));
        const double x = screenX(scene.match.fighter(callout.over).positionCm());
        drawOutlinedText(painter, QPointF(x, 150 - 40 * life), callout.text, uiFont(24, true), colour);
    }
}

void drawLegend(QPainter &painter)
{
    const QList<LegendEntry> &legend = keyLegend();
    const int perRow = 6;
    const double columnWidth = double(SceneSize.width()) / perRow;
    painter.setFont(uiFont(12, true));
    for (int i = 0; i < legend.size(); ++i) {
        const QPointF corner(8 + columnWidth * (i % perRow), 533 + 18 * (i / perRow));
        const QRectF cap(corner, QSizeF(legend.at(i).keys.size() > 1 ? 42 : 20, 16));
        painter.setPen(QPen(QColor(90, 60, 20), 1));
        painter.setBrush(QColor(255, 165, 0));
        painter.drawRoundedRect(cap, 3, 3);
        painter.setPen(Qt::black);
        painter.drawText(cap, Qt::AlignCenter, legend.at(i).keys);
        painter.setPen(QColor(235, 235, 245));
        painter.drawText(QRectF(cap.right() + 5, cap.top(), columnWidth, cap.height()), Qt::AlignVCenter,
                         legend.at(i).name);
    }
}

QColor resultColour(Result result)
{
    switch (result) {
    case Result::KoWin:
    case Result::DecisionWin: return QColor(255, 210, 60);
    case Result::KoLoss:
    case Result::DecisionLoss: return QColor(130, 180, 255);
    default: return Qt::white;
    }
}

void drawResult(QPainter &painter, const BoxingMatch &match)
{
    painter.fillRect(QRect(QPoint(0, 0), SceneSize), QColor(0, 0, 10, 170));
    drawOutlinedText(painter, QPointF(400, 230), resultText(match.result()), uiFont(72, true),
                     resultColour(match.result()));
    painter.setPen(Qt::white);
    painter.setFont(uiFont(20, true));
    painter.drawText(QRectF(0, 300, SceneSize.width(), 34), Qt::AlignCenter,
                     QStringLiteral("スタミナ　あなた %1　－　相手 %2")
                         .arg(match.player().stamina())
                         .arg(match.opponent().stamina()));
    painter.setFont(uiFont(17));
    painter.drawText(QRectF(0, 350, SceneSize.width(), 30), Qt::AlignCenter,
                     QStringLiteral("R または Enter でもう一度　　Esc で終了"));
}

} // namespace

void paintScene(QPainter &painter, const Scene &scene)
{
    const BoxingMatch &match = scene.match;
    painter.setRenderHint(QPainter::Antialiasing);
    drawArena(painter);
    drawFighter(painter, match.opponent(), Side::Opponent, match.distanceCm());
    drawFighter(painter, match.player(), Side::Player, match.distanceCm());
    drawStaminaBar(painter, QRectF(24, 44, 300, 26), match.opponent().stamina(), QStringLiteral("相手"), false);
    drawStaminaBar(painter, QRectF(476, 44, 300, 26), match.player().stamina(), QStringLiteral("あなた"), true);
    drawClock(painter, match);
    drawCallouts(painter, scene);
    if (match.elapsedMs() < 1200 && !match.isOver())
        drawOutlinedText(painter, QPointF(400, 125), QStringLiteral("ファイト！"), uiFont(48, true),
                         QColor(255, 230, 80));
    drawLegend(painter);
    if (match.isOver() && scene.overForMs >= ResultDelayMs)
        drawResult(painter, match);
}
