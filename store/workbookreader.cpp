#include "workbookreader.h"

#include <algorithm>

using namespace biff;

namespace {

constexpr uint16_t BiffVersion8 = 0x0600;
constexpr uint16_t GlobalsSubstream = 0x0005;
constexpr uint16_t WorksheetSubstream = 0x0010; // also a dialog sheet
constexpr double Days1904 = 1462;               // from 1900-01-00 to 1904-01-01 in day numbers

// Records that a sheet keeps after its cells: where a sheet has no cells
// yet, the first of them marks where the cells go.
bool followsCellTable(uint16_t id)
{
    switch (id) {
    case 0x001C: // NOTE
    case 0x005D: // OBJ
    case 0x00E5: // MERGEDCELLS
    case 0x00EC: // MSODRAWING
    case 0x01B0: // CONDFMT
    case 0x01B2: // DVAL
    case 0x01B6: // TXO
    case 0x01B8: // HLINK
    case 0x023E: // WINDOW2
    case Eof: return true;
    default: return false;
    }
}

QString errorText(uint8_t code)
{
    switch (code) {
    case 0x00: return QStringLiteral("#NULL!");
    case 0x07: return QStringLiteral("#DIV/0!");
    case 0x0F: return QStringLiteral("#VALUE!");
    case 0x17: return QStringLiteral("#REF!");
    case 0x1D: return QStringLiteral("#NAME?");
    case 0x24: return QStringLiteral("#NUM!");
    default: return QStringLiteral("#N/A");
    }
}

// Whether two cell formats differ in their number format alone, so that
// dates written with one look like the sheet's other cells.
bool sameLookApartFromNumbers(const char *xf, const char *other)
{
    QByteArray a(xf, 20), b(other, 20);
    for (QByteArray *record : {&a, &b}) {
        setU16(*record, 2, 0);
        (*record)[9] = char((*record)[9] & ~0x04);
    }
    return a == b;
}

bool isYyyyMmDd(QString format)
{
    format = format.remove(u'\\').remove(u'"').toLower().trimmed();
    return format == u"yyyy/mm/dd" || format == u"yyyy/mm/dd;@" || format == u"yyyy/m/d";
}

} // namespace
std::unique_ptr<WorkbookReader> WorkbookReader::read(QByteArray stream, DiaryError *error)
{
    std::unique_ptr<WorkbookReader> book(new WorkbookReader);
    book->m_stream = std::move(stream);
    if (const std::optional<DiaryError> unreadable = book->parseGlobals()) {
        *error = *unreadable;
        return nullptr;
    }
    book->locateSheets();
    return book;
}

std::optional<DiaryError> WorkbookReader::parseGlobals()
{
    RecordReader reader(m_stream);
    const std::optional<Record> bof = reader.next();
    if (!bof || bof->id != Bof || bof->size < 4)
        return DiaryError::NotAWorkbook;
    if (u16(bof->data) != BiffVersion8)
        return DiaryError::OldExcel;
    if (u16(bof->data + 2) != GlobalsSubstream)
        return DiaryError::BrokenStart;
    m_globals.push_back(*bof);

    std::vector<Record> sst;
    bool inSst = false;
    bool defaultXfFound = false;
    std::optional<Record> xfCrc;
    while (true) {
        const std::optional<Record> record = reader.next();
        if (!record)
            return DiaryError::Truncated;
        m_globals.push_back(*record);
        const Record &r = *record;
        inSst = (r.id == Sst) || (inSst && r.id == Continue);
        if (inSst) {
            sst.push_back(r);
            continue;
        }
        switch (r.id) {
        case FilePass: return DiaryError::Password;
        case DateMode: m_1904 = r.size >= 2 && u16(r.data) == 1; break;
        case Xf:
            if (r.size < 20)
                return DiaryError::BrokenCellFormats;
            m_xfFormats.push_back(u16(r.data + 2));
            m_xfIsStyle.push_back(u16(r.data + 4) & 0x0004);
            m_xfRecords.push_back(r.data);
            if (!defaultXfFound && !m_xfIsStyle.back()) {
                m_defaultXf = uint16_t(m_xfFormats.size() - 1);
                defaultXfFound = true;
            }
            break;
        case XfCrc: xfCrc = r; break;
        case Format:
            if (r.size >= 5) {
                const uint16_t id = u16(r.data);
                m_formats.insert(id, readUnicodeString(r.data + 2, r.size - 2).value_or(QString()));
                m_newFormatId = std::max<uint16_t>(m_newFormatId, uint16_t(id + 1));
            }
            break;
        case BoundSheet: {
            if (r.size < 8)
                return DiaryError::BrokenSheetList;
            const int count = uint8_t(r.data[6]);
            const bool wide = uint8_t(r.data[7]) & 0x01;
            if (8 + count * (wide ? 2 : 1) > r.size)
                return DiaryError::BrokenSheetList;
            QByteArray name;
            putU16(name, uint16_t(count));
            name.append(r.data + 7, r.size - 7);
            Sheet sheet;
            sheet.name = readUnicodeString(name.constData(), int(name.size())).value_or(QString());
            sheet.start = u32(r.data);
            sheet.worksheet = r.data[5] == 0; // not a chart, macro sheet or VBA module
            m_sheets.push_back(std::move(sheet));
            break;
        }
        default: break;
        }
        if (r.id == Eof)
            break;
    }
    m_globalsEnd = m_globals.back().end();

    if (!sst.empty() && !m_strings.parse(sst))
        return DiaryError::BrokenStrings;
    if (xfCrc && xfCrc->size >= 20)
        m_xfCrcValid = u16(xfCrc->data + 14) == m_xfRecords.size() && u32(xfCrc->data + 16) == xfChecksum({});
    m_xfIsDate.resize(m_xfFormats.size());
    for (size_t i = 0; i < m_xfFormats.size(); ++i) {
        const auto defined = m_formats.constFind(m_xfFormats[i]);
        const std::optional<QString> fileFormat = defined == m_formats.cend() ? std::nullopt : std::optional(*defined);
        const QString format = fileFormat.value_or(QString());
        m_xfIsDate[i] = isDateFormat(m_xfFormats[i], fileFormat);
        if (m_yyyymmddXf < 0 && !m_xfIsStyle[i] && isYyyyMmDd(format)
            && sameLookApartFromNumbers(m_xfRecords[i], m_xfRecords[m_defaultXf]))
            m_yyyymmddXf = int(i);
    }
    return {};
}

void WorkbookReader::locateSheets()
{
    for (Sheet &sheet : m_sheets) {
        RecordReader reader(m_stream, sheet.start);
        const std::optional<Record> bof = sheet.start >= m_globalsEnd ? reader.next() : std::nullopt;
        if (!bof || bof->id != Bof) {
            sheet.start = -1;
            continue;
        }
        // A dialog sheet is listed as a worksheet; its BOF says it is none
        // only by its WSBOOL record.
        if (bof->size < 4 || u16(bof->data + 2) != WorksheetSubstream)
            sheet.worksheet = false;
        int depth = 0;
        while (const std::optional<Record> record = reader.next()) {
            if (depth == 0 && record->id == WsBool && record->size >= 1 && (uint8_t(record->data[0]) & 0x10))
                sheet.worksheet = false;
            if (record->id == Bof)
                ++depth;
            if (record->id == Eof && depth-- == 0) {
                sheet.end = record->end();
                break;
            }
        }
        if (sheet.end < 0)
            sheet.start = -1;
    }
}

int WorkbookReader::findSheet(QStringView name) const
{
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return m_sheets[i].start >= 0 && m_sheets[i].worksheet ? int(i) : -1;
    }
    return -1;
}

void WorkbookReader::parseSheet(const Sheet &sheet) const
{
    if (sheet.parsed)
        return;
    sheet.parsed = true;
    RecordReader reader(m_stream, sheet.start);
    sheet.head.push_back(*reader.next()); // the BOF
    // Records other than cells keep their order, split where the cells
    // stand (or would stand, in a sheet without cells). Cells are picked up
    // wherever they lie, each with the records that belong to it.
    enum { Head, Tail } part = Head;
    enum { ToList, ToCell, Dropped } previous = ToList;
    int depth = 0;
    while (const std::optional<Record> found = reader.next()) {
        const Record &r = *found;
        std::vector<Record> &list = part == Head ? sheet.head : sheet.tail;
        if (r.id == Continue) {
            // Goes on wherever the record before it went.
            if (previous == ToCell)
                sheet.cells.back().length += 4 + r.size;
            else if (previous == ToList)
                list.push_back(r);
            continue;
        }
        if (depth == 0 && (isCellRecord(r.id) || r.id == Row || r.id == DbCell || isAttachedRecord(r.id))) {
            previous = Dropped;
            if (r.id == Row) {
                if (r.size >= 16)
                    sheet.rowRecords.push_back(r);
            } else if (isAttachedRecord(r.id)) {
                CellChunk *last = sheet.cells.empty() ? nullptr : &sheet.cells.back();
                if (last && !last->synthetic && last->offset + last->length == uint32_t(r.offset)) {
                    last->length += 4 + r.size;
                    previous = ToCell;
                }
            } else if (r.id == MulRk || r.id == MulBlank) {
                splitMultiple(sheet, r);
            } else if (r.id != DbCell) {
                const int minimum = (r.id == Number || r.id == Formula)  ? 14
                                    : (r.id == Rk || r.id == LabelSst)   ? 10
                                    : (r.id == BoolErr)                  ? 8
                                    : (r.id == Label || r.id == RString) ? 9
                                                                         : 6;
                if (r.size < minimum) {
                    sheet.cellsDamaged = true;
                    continue;
                }
                sheet.cells.push_back({uint32_t(r.offset), uint32_t(4 + r.size), 0, u16(r.data), u16(r.data + 2)});
                previous = ToCell;
                part = Tail;
            }
            continue;
        }
        previous = ToList;
        if (depth == 0 && (r.id == Index || r.id == Dimensions)) {
            previous = Dropped; // both are written anew
            continue;
        }
        if (part == Head && depth == 0 && followsCellTable(r.id))
            part = Tail;
        (part == Head ? sheet.head : sheet.tail).push_back(r);
        if (r.id == Bof)
            ++depth;
        if (r.id == Eof && depth-- == 0)
            break;
    }
}

// MULRK and MULBLANK become single RK and BLANK cells, so that each cell can
// be moved or replaced on its own.
void WorkbookReader::splitMultiple(const Sheet &sheet, const Record &r) const
{
    const int width = r.id == MulRk ? 6 : 2;
    if (r.size < 6 + width) {
        sheet.cellsDamaged = true;
        return;
    }
    const uint16_t row = u16(r.data), first = u16(r.data + 2);
    const int count = (r.size - 6) / width;
    for (int i = 0; i < count; ++i) {
        const char *item = r.data + 4 + i * width;
        QByteArray data = cellHeader(row, uint16_t(first + i), u16(item));
        if (r.id == MulRk)
            data.append(item + 2, 4);
        const qsizetype at = sheet.synthetic.size();
        appendRecord(sheet.synthetic, r.id == MulRk ? Rk : Blank, data);
        sheet.cells.push_back({uint32_t(at), uint32_t(4 + data.size()), 1, row, uint16_t(first + i)});
    }
}

const char *WorkbookReader::chunkData(const Sheet &sheet, const CellChunk &chunk) const
{
    return (chunk.synthetic ? sheet.synthetic.constData() : m_stream.constData()) + chunk.offset;
}

bool WorkbookReader::isDateXf(uint16_t xf) const
{
    if (m_yyyymmddXf < 0 && xf == m_xfIsDate.size())
        return true; // the date format a save adds
    return xf < m_xfIsDate.size() && m_xfIsDate[xf];
}

CellValue WorkbookReader::numberValue(double number, uint16_t xf) const
{
    if (!isDateXf(xf))
        return CellValue::number(number);
    return CellValue::date(m_1904 ? number + Days1904 : number);
}

CellValue WorkbookReader::chunkValue(const Sheet &sheet, const CellChunk &chunk) const
{
    const char *record = chunkData(sheet, chunk);
    const uint16_t id = u16(record);
    const int size = u16(record + 2);
    const char *data = record + 4;
    const uint16_t xf = u16(data + 4);
    switch (id) {
    case Number: return numberValue(f64(data + 6), xf);
    case Rk: return numberValue(rkValue(u32(data + 6)), xf);
    case LabelSst: {
        const uint32_t index = u32(data + 6);
        return index < m_strings.size() ? CellValue::textOrBlank(m_strings.text(index)) : CellValue();
    }
    case Label:
    case RString: return CellValue::textOrBlank(readUnicodeString(data + 6, size - 6).value_or(QString()));
    case BoolErr:
        if (data[7])
            return CellValue::text(errorText(uint8_t(data[6])));
        return CellValue::text(data[6] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    case Formula: {
        if (u16(data + 12) != 0xFFFF)
            return numberValue(f64(data + 6), xf);
        switch (uint8_t(data[6])) {
        case 0: { // the text follows in a STRING record
            const char *next = data + size;
            if (chunk.length >= 4 + size + 4 + 3 && u16(next) == String)
                return CellValue::textOrBlank(readUnicodeString(next + 4, u16(next + 2)).value_or(QString()));
            return CellValue();
        }
        case 1: return CellValue::text(data[8] ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
        case 2: return CellValue::text(errorText(uint8_t(data[8])));
        default: return CellValue();
        }
    }
    default: return CellValue();
    }
}

// Whether the column A cell of each row holds a value. Of two records for
// one cell the later counts, as it does when the cells are read.
std::vector<bool> WorkbookReader::datedRows(const Sheet &sheet, int rows) const
{
    parseSheet(sheet);
    std::vector<bool> dated(size_t(rows), false);
    for (const CellChunk &chunk : sheet.cells) {
        if (chunk.col == 0 && chunk.row < rows)
            dated[chunk.row] = !chunkValue(sheet, chunk).isEmpty();
    }
    return dated;
}

int WorkbookReader::diaryLength(int sheetIndex, int maxRows, bool *full) const
{
    const std::vector<bool> dated = datedRows(m_sheets[size_t(sheetIndex)], maxRows);
    const int length = int(std::find(dated.begin(), dated.end(), false) - dated.begin());
    *full = length == maxRows;
    return length;
}

bool WorkbookReader::datedBelow(int sheetIndex, int row) const
{
    if (row + 1 >= SheetRows)
        return false;
    const std::vector<bool> dated = datedRows(m_sheets[size_t(sheetIndex)], SheetRows);
    return std::find(dated.begin() + row + 1, dated.end(), true) != dated.end();
}

DiaryTable WorkbookReader::diaryTable(int sheetIndex, int rowCount) const
{
    const Sheet &sheet = m_sheets[size_t(sheetIndex)];
    parseSheet(sheet);
    std::vector<DiaryRow> rows(static_cast<size_t>(rowCount));
    for (const CellChunk &chunk : sheet.cells) {
        if (chunk.col < DiaryColumnCount && chunk.row < rowCount)
            rows[chunk.row][chunk.col] = chunkValue(sheet, chunk);
    }
    return DiaryTable(std::move(rows));
}

std::vector<SheetRow> WorkbookReader::diaryCells(int sheetIndex, int rowCount) const
{
    const Sheet &sheet = m_sheets[size_t(sheetIndex)];
    parseSheet(sheet);
    std::vector<SheetRow> rows(size_t(rowCount), emptyRow());
    for (size_t r = 0; r < rows.size(); ++r) {
        for (SheetCell &cell : rows[r])
            cell.from = int(r);
    }
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const CellChunk &chunk = sheet.cells[i];
        if (chunk.col < DiaryColumnCount && chunk.row < rowCount) {
            SheetCell &cell = rows[chunk.row][chunk.col];
            cell.xf = u16(chunkData(sheet, chunk) + 8);
            cell.origin = int(i);
        }
    }
    return rows;
}

CellValue WorkbookReader::originValue(int sheetIndex, int origin) const
{
    const Sheet &sheet = m_sheets[size_t(sheetIndex)];
    return chunkValue(sheet, sheet.cells[size_t(origin)]);
}

SheetRow WorkbookReader::rowFormats(int sheetIndex, int row) const
{
    const Sheet &sheet = m_sheets[size_t(sheetIndex)];
    parseSheet(sheet);
    SheetRow cells = emptyRow();
    for (SheetCell &cell : cells)
        cell.from = row;
    for (const CellChunk &chunk : sheet.cells) {
        if (chunk.row == row && chunk.col < DiaryColumnCount)
            cells[chunk.col].xf = u16(chunkData(sheet, chunk) + 8);
    }
    return cells;
}

SheetRow WorkbookReader::emptyRow() const
{
    SheetRow row;
    for (SheetCell &cell : row)
        cell.xf = m_defaultXf;
    return row;
}

uint16_t WorkbookReader::dateXf() const
{
    return m_yyyymmddXf >= 0 ? uint16_t(m_yyyymmddXf) : uint16_t(m_xfFormats.size());
}

uint32_t WorkbookReader::xfChecksum(const std::vector<QByteArray> &added) const
{
    uint32_t crc = 0;
    for (const char *xf : m_xfRecords)
        crc = officeCrc(QByteArrayView(xf, XfSize), crc);
    for (const QByteArray &xf : added)
        crc = officeCrc(xf, crc);
    return crc;
}

double WorkbookReader::storedNumber(const CellValue &value) const
{
    return value.kind() == CellValue::Kind::Date ? *value.toReal() - (m_1904 ? Days1904 : 0) : *value.toReal();
}

CellValue WorkbookReader::writtenValue(const SheetCell &cell) const
{
    const CellValue::Kind kind = cell.value.kind();
    if (kind == CellValue::Kind::Date || kind == CellValue::Kind::Number)
        return numberValue(storedNumber(cell.value), cell.xf);
    return cell.value;
}
