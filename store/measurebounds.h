#pragma once

#include <QString>

// What a body can weigh and what a percentage can be: every weight and
// body-fat value, typed, stepped, read from the settings or given on the
// command line, is held to these bounds (both included), so that no value
// can make the graph's arithmetic run away.
struct MeasureBounds
{
    double lowest;
    double highest;
    const char16_t *name; // for the user: "体重", "体脂肪率"
    const char16_t *unit; // "kg", "%"

    bool contains(double value) const { return value >= lowest && value <= highest; }
    double clamped(double value) const { return value < lowest ? lowest : value > highest ? highest : value; }
    // The rule in words: "体重は 0 から 1000 kg までの数値です。"
    QString rule() const;
};

inline constexpr MeasureBounds WeightBounds{0, 1000, u"体重", u"kg"};
inline constexpr MeasureBounds FatBounds{0, 100, u"体脂肪率", u"%"};
