#include "workbook.h"

#include "workbookreader.h"
#include "workbookwriter.h"

#include <QRegularExpression>

bool isDateFormat(uint16_t formatId, const std::optional<QString> &fileFormat)
{
    // Only an id the file leaves undefined means Excel's built-in format:
    // Gnumeric, for one, numbers its own formats from 50.
    if (!fileFormat)
        return (formatId >= 14 && formatId <= 22) || (formatId >= 27 && formatId <= 36)
               || (formatId >= 45 && formatId <= 47) || (formatId >= 50 && formatId <= 58);
    const QString &formatText = *fileFormat;
    // Leave out what is shown literally: quoted text, escaped characters, [colour] and [$-411] parts.
    static const QRegularExpression literal(QStringLiteral(R"("[^"]*"|\\.|\[[^\]]*\]|_.|\*.)"));
    const QString parts = QString(formatText).remove(literal).toLower();
    if (parts.trimmed() == u"general")
        return false;
    int dateChars = 0, numberChars = 0;
    for (QChar c : parts) {
        if (QStringView(u"ymdhs").contains(c))
            ++dateChars;
        else if (QStringView(u"0#?").contains(c))
            ++numberChars;
    }
    return dateChars > 0 && dateChars >= numberChars;
}

Workbook::Workbook(std::unique_ptr<WorkbookReader> reader) : m_reader(std::move(reader)) {}

Workbook::~Workbook() = default;

Workbook::ParseResult Workbook::parse(QByteArray stream)
{
    DiaryError error{};
    std::unique_ptr<WorkbookReader> reader = WorkbookReader::read(std::move(stream), &error);
    if (!reader)
        return {nullptr, error};
    return {std::unique_ptr<Workbook>(new Workbook(std::move(reader))), {}};
}

int Workbook::findSheet(QStringView name) const
{
    return m_reader->findSheet(name);
}

int Workbook::diaryLength(int sheet, int maxRows, bool *full) const
{
    return m_reader->diaryLength(sheet, maxRows, full);
}

bool Workbook::datedBelow(int sheet, int row) const
{
    return m_reader->datedBelow(sheet, row);
}

DiaryTable Workbook::diaryTable(int sheet, int rows) const
{
    return m_reader->diaryTable(sheet, rows);
}

std::vector<SheetRow> Workbook::diaryCells(int sheet, int rows) const
{
    return m_reader->diaryCells(sheet, rows);
}

CellValue Workbook::originValue(int sheet, int origin) const
{
    return m_reader->originValue(sheet, origin);
}

CellValue Workbook::writtenValue(const SheetCell &cell) const
{
    return m_reader->writtenValue(cell);
}

uint16_t Workbook::dateXf() const
{
    return m_reader->dateXf();
}

SheetRow Workbook::emptyRow() const
{
    return m_reader->emptyRow();
}

SheetRow Workbook::rowFormats(int sheet, int row) const
{
    return m_reader->rowFormats(sheet, row);
}

bool Workbook::isDateXf(uint16_t xf) const
{
    return m_reader->isDateXf(xf);
}

Workbook::StreamResult Workbook::toStream(int sheet, const std::vector<SheetRow> &rows) const
{
    return WorkbookWriter(*m_reader).write(sheet, rows);
}
