#include "viewerplan.h"

namespace {

std::vector<ExchangeProblem> problemsOf(const LevelRead &before, const LevelRead &after)
{
    std::vector<ExchangeProblem> problems;
    for (const LevelRead *read : {&before, &after})
        if (!read->level && read->error)
            problems.push_back(*read->error);
    return problems;
}

} // namespace

ViewerPlan planViewer(const LevelRead &before, const LevelRead &after)
{
    const std::vector<ExchangeProblem> problems = problemsOf(before, after);
    if (before.level && after.level)
        return {double(*before.level), double(*after.level), before.level, after.level, problems};
    // The new level is what the user saved for; the level before stands in
    // only when the new one cannot be read.
    const std::optional<int> known = after.level ? after.level : before.level;
    const double still = known ? *known : NeutralLevel;
    return {still, still, std::nullopt, known, problems};
}
