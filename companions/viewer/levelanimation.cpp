#include "levelanimation.h"

#include <algorithm>

LevelAnimation::LevelAnimation(double from, double to, int holdMs, int runMs)
    : m_from(from), m_to(to), m_holdMs(std::max(holdMs, 0)), m_runMs(std::max(runMs, 0))
{}

double LevelAnimation::levelAt(int elapsedMs) const
{
    if (finishedAt(elapsedMs))
        return m_to;
    if (elapsedMs <= m_holdMs)
        return m_from;
    const double progress = double(elapsedMs - m_holdMs) / m_runMs;
    return m_from + (m_to - m_from) * progress;
}

bool LevelAnimation::finishedAt(int elapsedMs) const
{
    return elapsedMs >= m_holdMs + m_runMs;
}
