#include "bodyshape.h"

#include "levelfile.h"

#include <algorithm>

namespace {

// The waist changes most, so the figure reads as slimmer at a glance; the
// head hardly changes, so it stays the same person.
constexpr BodyShape fullest{10.5, 18.5, 22.5, 20.0, 8.0, 10.5};
constexpr BodyShape slimmest{9.0, 15.5, 10.0, 13.0, 4.8, 6.8};

double between(double atFullest, double atSlimmest, double progress)
{
    return atFullest + (atSlimmest - atFullest) * progress;
}

} // namespace

BodyShape shapeForLevel(double level)
{
    const double progress = std::clamp(level, double(LowestLevel), double(HighestLevel)) / HighestLevel;
    return {
        between(fullest.headRadius, slimmest.headRadius, progress),
        between(fullest.shoulderHalfWidth, slimmest.shoulderHalfWidth, progress),
        between(fullest.waistHalfWidth, slimmest.waistHalfWidth, progress),
        between(fullest.hipHalfWidth, slimmest.hipHalfWidth, progress),
        between(fullest.armThickness, slimmest.armThickness, progress),
        between(fullest.thighThickness, slimmest.thighThickness, progress),
    };
}
