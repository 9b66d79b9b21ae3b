#pragma once

// The figure's change from the level before to the new one: it holds the old
// level a moment so the eye catches it, then moves at a steady rate and stays
// at the new level.
class LevelAnimation
{
public:
    static constexpr int defaultHoldMs = 600;
    static constexpr int defaultRunMs = 2000;

    LevelAnimation(double from, double to, int holdMs = defaultHoldMs, int runMs = defaultRunMs);

    double levelAt(int elapsedMs) const;
    bool finishedAt(int elapsedMs) const;

private:
    double m_from;
    double m_to;
    int m_holdMs;
    int m_runMs;
};
