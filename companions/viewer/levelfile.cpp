#include "levelfile.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {

// Longer than any level with its line break; a file full of something else
// is never read in whole.
constexpr qint64 longestLineRead = 64;

bool allAsciiDigits(const QByteArray &text)
{
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> levelFromLine(const QByteArray &line)
{
    if (!allAsciiDigits(line))
        return std::nullopt;
    bool ok = false;
    const int value = line.toInt(&ok);
    if (!ok || value < LowestLevel || value > HighestLevel)
        return std::nullopt;
    return value;
}

// What the file holds, cut short and on one line, so the message stays one
// line however odd the file is.
QString shownContent(const QByteArray &line)
{
    constexpr int shortest = 12;
    const QString text = QString::fromUtf8(line).simplified();
    return text.size() > shortest ? text.left(shortest) + QStringLiteral("…") : text;
}

} // namespace

LevelRead readLevelFile(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    const auto failed = [&name](ExchangeError code, const QStringList &names = {}) {
        return LevelRead{std::nullopt, ExchangeProblem(code, name, names)};
    };
    if (!QFileInfo::exists(path))
        return failed(ExchangeError::LevelFileMissing);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failed(ExchangeError::LevelFileUnreadable);

    // Only the first line counts; the diary writes "7\r\n", a hand-edited
    // file may lack the line break or carry stray spaces.
    const QByteArray line = file.readLine(longestLineRead).trimmed();
    if (line.isEmpty() && file.size() == 0)
        return failed(ExchangeError::LevelFileEmpty);
    if (line.isEmpty())
        return failed(ExchangeError::FirstLineEmpty);
    if (const std::optional<int> level = levelFromLine(line))
        return {level, std::nullopt};
    return failed(ExchangeError::NotALevel, {shownContent(line)});
}
