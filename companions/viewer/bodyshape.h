#pragma once

// The figure's proportions for a progress level, in figure units: the figure
// stands 100 units tall, centred on x = 0, so the widths are half widths
// (centre to outline) and the thicknesses are whole.
struct BodyShape
{
    double headRadius;
    double shoulderHalfWidth;
    double waistHalfWidth;
    double hipHalfWidth;
    double armThickness;
    double thighThickness;
};

// Fullest at level 0, slimmest at 10; fractional levels lie between, so the
// figure can change smoothly. Levels outside 0..10 are taken as the nearest end.
BodyShape shapeForLevel(double level);
