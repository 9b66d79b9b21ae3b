#include "diarycsv.h"

#include "datetext.h"
#include "measurebounds.h"
#include "numbertext.h"
#include "photofile.h"

#include <QStringList>
#include <tuple>

namespace {

const QStringList header{"date", "weight", "fat", "intake", "burn", "comment_in", "comment_out", "photo"};

QString csvField(const QString &text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\r') && !text.contains(u'\n'))
        return text;
    return u'"' + QString(text).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

// Splits CSV text into records of fields; quoted fields may hold line
// breaks. lines[i] is the line number each record starts on.
bool splitCsv(const QString &csv, std::vector<QStringList> &records, std::vector<int> &lines, int *badLine)
{
    QStringList fields;
    QString field;
    bool quoted = false, fieldWasQuoted = false;
    int line = 1, recordLine = 1;
    const auto endRecord = [&] {
        fields.append(field);
        records.push_back(fields);
        lines.push_back(recordLine);
        fields.clear();
        field.clear();
        fieldWasQuoted = false;
    };
    for (qsizetype i = 0; i < csv.size(); ++i) {
        const QChar c = csv[i];
        if (quoted) {
            if (c == u'"' && i + 1 < csv.size() && csv[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty() && !fieldWasQuoted) {
            quoted = fieldWasQuoted = true;
        } else if (c == u',') {
            fields.append(field);
            field.clear();
            fieldWasQuoted = false;
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < csv.size() && csv[i + 1] == u'\n')
                ++i;
            endRecord();
            recordLine = ++line;
        } else if (fieldWasQuoted) {
            *badLine = line; // text after a closing quote
            return false;
        } else {
            field += c;
        }
    }
    if (quoted) {
        *badLine = recordLine;
        return false;
    }
    if (!field.isEmpty() || !fields.isEmpty() || fieldWasQuoted)
        endRecord();
    return true;
}

bool parseLevel(const QString &text, int *level)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > 2)
        return false;
    *level = value;
    return true;
}

} // namespace

QString diaryToCsv(const DiaryTable &table)
{
    QString out = header.join(u',') + QStringLiteral("\r\n");
    for (int r = 1; r <= table.rowCount(); ++r) {
        QStringList fields;
        for (const DiaryColumn column : diaryColumns)
            fields.append(csvField(table.cell(r, column).toText()));
        out += fields.join(u',') + QStringLiteral("\r\n");
    }
    return out;
}

QString checkDay(DayValues &day)
{
    const std::optional<QDate> date = parseDateText(day.date);
    if (!date)
        return QStringLiteral("date \"%1\" is not a date in the form YYYY/MM/DD").arg(day.date);
    day.date = dateText(*date);
    for (const auto &[number, bounds, what] :
         {std::tuple{&day.weight, WeightBounds, "a weight"}, std::tuple{&day.fat, FatBounds, "body fat"}}) {
        if (number->isEmpty())
            continue;
        const std::optional<double> value = parseNumberText(*number);
        if (!value)
            return QStringLiteral("\"%1\" is not a number").arg(*number);
        if (!bounds.contains(*value))
            return QStringLiteral("\"%1\" is out of range: %2 lies between %3 and %4 %5")
                .arg(*number, QLatin1String(what), generalNumberText(bounds.lowest), generalNumberText(bounds.highest),
                     QStringView(bounds.unit));
    }
    if (day.intake < 0 || day.intake > 2 || day.burn < 0 || day.burn > 2)
        return QStringLiteral("a calorie level must be 0, 1 or 2");
    if (!day.photo.isEmpty() && !isPhotoFileName(day.photo))
        return QStringLiteral("photo \"%1\" is not a file name: it names a file in the Picture folder, "
                              "without folders")
            .arg(day.photo);
    if (const DiaryFailure tooLong = commentProblem(day))
        return QStringLiteral("the %1 comment has %2 characters, more than a cell holds (%3)")
            .arg(tooLong->code == DiaryError::IntakeCommentTooLong ? "intake" : "burn")
            .arg(tooLong->number)
            .arg(tooLong->limit);
    return {};
}

CsvDays daysFromCsv(const QString &csv)
{
    std::vector<QStringList> records;
    std::vector<int> lines;
    int badLine = 0;
    if (!splitCsv(csv, records, lines, &badLine))
        return {{}, QStringLiteral("line %1: unbalanced quotes").arg(badLine)};
    if (records.empty() || records.front() != header)
        return {{}, QStringLiteral("line 1: the header must be %1").arg(header.join(u','))};
    CsvDays result;
    for (size_t i = 1; i < records.size(); ++i) {
        const QStringList &fields = records[i];
        const QString where = QStringLiteral("line %1: ").arg(lines[i]);
        if (fields.size() != header.size())
            return {{}, where + QStringLiteral("%1 fields where 8 belong").arg(fields.size())};
        DayValues day{fields[0], fields[1], fields[2], 1, 1, fields[5], fields[6], fields[7]};
        if (!parseLevel(fields[3], &day.intake) || !parseLevel(fields[4], &day.burn))
            return {{}, where + QStringLiteral("a calorie level must be 0, 1 or 2")};
        if (const QString problem = checkDay(day); !problem.isEmpty())
            return {{}, where + problem};
        result.days.push_back(std::move(day));
    }
    return result;
}
