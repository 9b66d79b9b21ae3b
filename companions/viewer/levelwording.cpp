#include "levelwording.h"

#include "levelfile.h"

QString levelCaption(int level)
{
    return QStringLiteral("レベル %1 / %2").arg(level).arg(HighestLevel);
}

QString levelPhrase(int level)
{
    // Level 0 means the weight went up past the start, not merely no change.
    if (level <= LowestLevel)
        return QStringLiteral("スタート前より増えています");
    if (level <= 3)
        return QStringLiteral("スタートしたところ");
    if (level <= 6)
        return QStringLiteral("順調です");
    if (level < HighestLevel)
        return QStringLiteral("あと少し");
    return QStringLiteral("目標達成！");
}
