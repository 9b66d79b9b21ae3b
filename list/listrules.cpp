#include "listrules.h"

#include "datetext.h"

QString levelWord(const QString &levelText)
{
    switch (calorieLevel(levelText)) {
    case CalorieLevel::Little: return QStringLiteral("少ない");
    case CalorieLevel::Standard: return QStringLiteral("ふつう");
    case CalorieLevel::Much: break;
    }
    return QStringLiteral("多い");
}

void LevelCounts::add(const QString &levelText)
{
    switch (calorieLevel(levelText)) {
    case CalorieLevel::Little: ++little; break;
    case CalorieLevel::Standard: ++standard; break;
    case CalorieLevel::Much: ++many; break;
    }
}

std::vector<int> listedRows(const DiaryTable &diary, QDate start, QDate end)
{
    std::vector<int> rows;
    for (int r = 1; r <= diary.rowCount(); ++r) {
        const std::optional<double> day = diary.cell(r, DiaryColumn::Date).toDayNumber();
        if (day && start <= dateFromOleDayNumber(*day) && dateFromOleDayNumber(*day) <= end)
            rows.push_back(r);
    }
    return rows;
}

namespace {

// The line break a line begins with takes no room on it.
QStringView withoutLeadingBreak(QStringView piece)
{
    while (!piece.isEmpty() && (piece.front() == u'\r' || piece.front() == u'\n'))
        piece = piece.mid(1);
    return piece;
}

} // namespace

Wrapped WrapCell(const QString &text, int width, const std::function<int(QStringView)> &measure)
{
    QString output;
    qsizetype start = 0;
    int breaks = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView piece = QStringView(text).mid(start, i - start + 1);
        if (piece.endsWith(u'\r')) {
            // The line break itself begins the next line.
            output += QStringView(text).mid(start, i - start);
            start = i;
            ++breaks;
        } else if (measure(withoutLeadingBreak(piece)) > width) {
            output += QStringView(text).mid(start, i - start);
            output += QStringLiteral("\r\n");
            start = i;
            ++breaks;
        }
    }
    output += QStringView(text).mid(start);
    return {output, breaks * OneLineHeight + 20};
}

PhotoBox fitPhotoBox(QSize picture)
{
    if (picture.isEmpty())
        return {};
    const int byHeight = PhotoBoxHeight * picture.width() / picture.height();
    if (byHeight <= PhotoBoxWidth)
        return {PhotoBox::ByHeight, QSize(byHeight, PhotoBoxHeight), PhotoBoxHeight};
    const int byWidth = PhotoBoxWidth * picture.height() / picture.width();
    return {PhotoBox::ByWidth, QSize(PhotoBoxWidth, byWidth), byWidth < OneLineHeight ? 17 : byWidth};
}
