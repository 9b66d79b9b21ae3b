#pragma once

#include "boxingmatch.h"

#include <QColor>
#include <QSize>
#include <QString>

#include <vector>

class QPainter;

// A word that floats up over a fighter for a moment: the punch that landed,
// "ガード", "空振り".
struct Callout
{
    QString text;
    Side over;
    QColor colour;
    int ageMs = 0;
};

struct Scene
{
    const BoxingMatch &match;
    const std::vector<Callout> &callouts;
    int overForMs; // how long the result has stood; 0 while the round goes on
};

inline constexpr QSize SceneSize(800, 570);
inline constexpr int CalloutLifeMs = 900;
inline constexpr int ResultDelayMs = 1200; // lets the loser fall before the verdict covers the ring

void paintScene(QPainter &painter, const Scene &scene);
