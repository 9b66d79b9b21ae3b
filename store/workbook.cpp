#include "workbook.h"

#include "newworkbook.h"
#include "sortmoves.h"

#include <QRegularExpression>
#include <algorithm>
#include <map>
#include <set>
#include <numeric>

using namespace biff;

namespace {

constexpr uint16_t BiffVersion8 = 0x0600;
constexpr uint16_t GlobalsSubstream = 0x0005;
constexpr uint16_t WorksheetSubstream = 0x0010; // also a dialog sheet
constexpr double Days1904 = 1462;               // from 1900-01-00 to 1904-01-01 in day numbers
constexpr int SheetRows = 65536;                // of a BIFF8 worksheet
constexpr int XfSize = 20;                      // the data of a BIFF8 XF record
constexpr size_t MaxXfs = 4050;                 // cell formats Excel takes in one book
constexpr uint16_t StandardRowHeight = 255;     // 12.75 pt in twips, where a sheet names no default

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

QByteArray cellHeader(uint16_t row, uint16_t col, uint16_t xf)
{
    QByteArray data;
    putU16(data, row);
    putU16(data, col);
    putU16(data, xf);
    return data;
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

Workbook::ParseResult Workbook::parse(QByteArray stream)
{
    std::unique_ptr<Workbook> book(new Workbook);
    book->m_stream = std::move(stream);
    const QString error = book->parseGlobals();
    if (!error.isEmpty())
        return {nullptr, error};
    book->locateSheets();
    return {std::move(book), {}};
}

QString Workbook::parseGlobals()
{
    RecordReader reader(m_stream);
    const std::optional<Record> bof = reader.next();
    if (!bof || bof->id != Bof || bof->size < 4)
        return QStringLiteral("Excel のブックではありません");
    if (u16(bof->data) != BiffVersion8)
        return QStringLiteral("Excel 95 以前の形式のブックです。Excel 97-2003 形式で保存し直してください");
    if (u16(bof->data + 2) != GlobalsSubstream)
        return QStringLiteral("ブックの先頭が壊れています");
    m_globals.push_back(*bof);

    std::vector<Record> sst;
    bool inSst = false;
    bool defaultXfFound = false;
    std::optional<Record> xfCrc;
    while (true) {
        const std::optional<Record> record = reader.next();
        if (!record)
            return QStringLiteral("ファイルが途中で切れています");
        m_globals.push_back(*record);
        const Record &r = *record;
        inSst = (r.id == Sst) || (inSst && r.id == Continue);
        if (inSst) {
            sst.push_back(r);
            continue;
        }
        switch (r.id) {
        case FilePass: return QStringLiteral("パスワードで保護されています");
        case DateMode: m_1904 = r.size >= 2 && u16(r.data) == 1; break;
        case Xf:
            if (r.size < 20)
                return QStringLiteral("セルの書式が壊れています");
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
                return QStringLiteral("シートの一覧が壊れています");
            const int count = uint8_t(r.data[6]);
            const bool wide = uint8_t(r.data[7]) & 0x01;
            if (8 + count * (wide ? 2 : 1) > r.size)
                return QStringLiteral("シートの一覧が壊れています");
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
        return QStringLiteral("文字列の表が壊れています");
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

void Workbook::locateSheets()
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

int Workbook::findSheet(QStringView name) const
{
    for (size_t i = 0; i < m_sheets.size(); ++i) {
        if (m_sheets[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return m_sheets[i].start >= 0 && m_sheets[i].worksheet ? int(i) : -1;
    }
    return -1;
}

void Workbook::parseSheet(const Sheet &sheet) const
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
void Workbook::splitMultiple(const Sheet &sheet, const Record &r) const
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

const char *Workbook::chunkData(const Sheet &sheet, const CellChunk &chunk) const
{
    return (chunk.synthetic ? sheet.synthetic.constData() : m_stream.constData()) + chunk.offset;
}

bool Workbook::isDateXf(uint16_t xf) const
{
    if (m_yyyymmddXf < 0 && xf == m_xfIsDate.size())
        return true; // the date format a save adds
    return xf < m_xfIsDate.size() && m_xfIsDate[xf];
}

CellValue Workbook::numberValue(double number, uint16_t xf) const
{
    if (!isDateXf(xf))
        return CellValue::number(number);
    return CellValue::date(m_1904 ? number + Days1904 : number);
}

CellValue Workbook::chunkValue(const Sheet &sheet, const CellChunk &chunk) const
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
std::vector<bool> Workbook::datedRows(const Sheet &sheet, int rows) const
{
    parseSheet(sheet);
    std::vector<bool> dated(size_t(rows), false);
    for (const CellChunk &chunk : sheet.cells) {
        if (chunk.col == 0 && chunk.row < rows)
            dated[chunk.row] = !chunkValue(sheet, chunk).isEmpty();
    }
    return dated;
}

int Workbook::diaryLength(int sheetIndex, int maxRows, bool *full) const
{
    const std::vector<bool> dated = datedRows(m_sheets[size_t(sheetIndex)], maxRows);
    const int length = int(std::find(dated.begin(), dated.end(), false) - dated.begin());
    *full = length == maxRows;
    return length;
}

bool Workbook::datedBelow(int sheetIndex, int row) const
{
    if (row + 1 >= SheetRows)
        return false;
    const std::vector<bool> dated = datedRows(m_sheets[size_t(sheetIndex)], SheetRows);
    return std::find(dated.begin() + row + 1, dated.end(), true) != dated.end();
}

DiaryTable Workbook::diaryTable(int sheetIndex, int rowCount) const
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

std::vector<SheetRow> Workbook::diaryCells(int sheetIndex, int rowCount) const
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

CellValue Workbook::originValue(int sheetIndex, int origin) const
{
    const Sheet &sheet = m_sheets[size_t(sheetIndex)];
    return chunkValue(sheet, sheet.cells[size_t(origin)]);
}

SheetRow Workbook::rowFormats(int sheetIndex, int row) const
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

SheetRow Workbook::emptyRow() const
{
    SheetRow row;
    for (SheetCell &cell : row)
        cell.xf = m_defaultXf;
    return row;
}

uint16_t Workbook::dateXf() const
{
    return m_yyyymmddXf >= 0 ? uint16_t(m_yyyymmddXf) : uint16_t(m_xfFormats.size());
}

uint32_t Workbook::xfChecksum(const AddedXfs &added) const
{
    uint32_t crc = 0;
    for (const char *xf : m_xfRecords)
        crc = officeCrc(QByteArrayView(xf, XfSize), crc);
    for (const QByteArray &xf : added.records)
        crc = officeCrc(xf, crc);
    return crc;
}

QByteArray Workbook::xfRecordData(uint16_t xf, const AddedXfs &added) const
{
    if (xf < m_xfRecords.size())
        return QByteArray(m_xfRecords[xf], XfSize);
    const size_t addedIndex = xf - m_xfRecords.size();
    return addedIndex < added.records.size() ? added.records[addedIndex] : QByteArray();
}

uint16_t Workbook::wrappingXf(uint16_t xf, AddedXfs &added) const
{
    QByteArray wanted = xfRecordData(xf, added);
    if (wanted.isEmpty() || (wanted[6] & 0x08))
        return xf;
    wanted[6] = char(wanted[6] | 0x08); // wraps
    wanted[9] = char(wanted[9] | 0x10); // by its own alignment, not its style's
    for (size_t i = 0; i < m_xfRecords.size(); ++i) {
        if (!m_xfIsStyle[i] && QByteArrayView(m_xfRecords[i], XfSize) == wanted)
            return uint16_t(i);
    }
    const auto found = std::find(added.records.begin(), added.records.end(), wanted);
    if (found != added.records.end())
        return uint16_t(m_xfRecords.size() + size_t(found - added.records.begin()));
    if (m_xfRecords.size() + added.records.size() >= MaxXfs)
        return xf;
    added.records.push_back(wanted);
    added.bases.push_back(xf);
    return uint16_t(m_xfRecords.size() + added.records.size() - 1);
}

double Workbook::storedNumber(const CellValue &value) const
{
    return value.kind() == CellValue::Kind::Date ? *value.toReal() - (m_1904 ? Days1904 : 0) : *value.toReal();
}

CellValue Workbook::writtenValue(const SheetCell &cell) const
{
    const CellValue::Kind kind = cell.value.kind();
    if (kind == CellValue::Kind::Date || kind == CellValue::Kind::Number)
        return numberValue(storedNumber(cell.value), cell.xf);
    return cell.value;
}

QByteArray Workbook::cellRecord(const SheetCell &cell, uint16_t row, uint16_t col, SstBuilder &strings) const
{
    QByteArray data = cellHeader(row, col, cell.xf);
    QByteArray out;
    switch (cell.value.kind()) {
    case CellValue::Kind::Empty:
        if (cell.xf != m_defaultXf)
            appendRecord(out, Blank, data);
        break;
    case CellValue::Kind::Date:
    case CellValue::Kind::Number:
        putF64(data, storedNumber(cell.value));
        appendRecord(out, Number, data);
        break;
    case CellValue::Kind::Text:
        putU32(data, uint32_t(strings.useText(cell.value.toText())));
        appendRecord(out, LabelSst, data);
        break;
    }
    return out;
}

namespace {

struct OutCell
{
    uint16_t row;
    uint16_t col;
    QByteArray bytes;   // the cell's records
    bool fresh = false; // written anew: its text index is already the new table's
};

void appendRecordBytes(QByteArray &out, const Record &record)
{
    out.append(record.data - 4, 4 + record.size);
}

// Gives the records of a copied cell the indexes of the new string table.
void remapStrings(QByteArray &records, SstBuilder &strings)
{
    if (u16(records.constData()) == LabelSst) {
        const int index = strings.useOld(u32(records.constData() + 10));
        setU32(records, 10, uint32_t(index >= 0 ? index : strings.useText(QString())));
    }
}

// The cell whose shared formula, array formula or data table a formula cell
// takes its formula from.
std::optional<std::pair<uint16_t, uint16_t>> formulaSource(const char *record)
{
    constexpr int Header = 4 + 22; // record header and FORMULA data before the expression
    if (u16(record) != Formula || u16(record + 2) < 22 + 5 || u16(record + 4 + 20) != 5)
        return std::nullopt;
    const char *token = record + Header;
    if (token[0] != 0x01 && token[0] != 0x02)
        return std::nullopt;
    return std::pair(u16(token + 1), u16(token + 3));
}

QString unmovedFormulaNote(sortmoves::FormulaMove why, const QString &cell)
{
    const QString reason = why == sortmoves::FormulaMove::Shared ? QStringLiteral("他のセルと共有する数式なので")
                           : why == sortmoves::FormulaMove::LeavesSheet
                               ? QStringLiteral("動かすと参照がシートの外に出るので")
                               : QStringLiteral("読み取れない形の数式なので");
    return QStringLiteral(
               "並べ替えで %1 へ移ったセルは、%2日付と一緒に数式のままでは動かせず、計算結果の値を残しました")
        .arg(cell, reason);
}

bool anchorsOtherCells(const QByteArray &records)
{
    for (qsizetype at = 0; at + 4 <= records.size(); at += 4 + u16(records.constData() + at + 2)) {
        const uint16_t id = u16(records.constData() + at);
        if (id == SharedFormula || id == Array || id == Table)
            return true;
    }
    return false;
}

// INDEX records hold stream positions; a sheet copied to another place in
// the stream moves them along.
void shiftIndexRecords(QByteArray &sheet, qsizetype delta)
{
    RecordReader reader(sheet);
    while (const std::optional<Record> record = reader.next()) {
        if (record->id != Index || record->size < 16)
            continue;
        const qsizetype data = record->offset + 4;
        for (qsizetype at = 12; at + 4 <= record->size; at += 4) {
            const uint32_t position = u32(sheet.constData() + data + at);
            if (position != 0)
                setU32(sheet, data + at, uint32_t(position + delta));
        }
    }
}

// The height and flags a new row takes: the sheet's default row height.
struct RowHeight
{
    uint16_t twips = StandardRowHeight;
    uint16_t flags = 0x0100;
};

RowHeight defaultRowHeight(const std::vector<Record> &sheetHead)
{
    RowHeight height;
    for (const Record &record : sheetHead) {
        if (record.id != DefaultRowHeight || record.size < 4)
            continue;
        const uint16_t flags = u16(record.data);
        if (flags & 0x0002) // empty rows hidden: the height given is that of a hidden row
            break;
        height.twips = u16(record.data + 2);
        if (flags & 0x0001) // set by hand rather than from the font
            height.flags |= 0x0040;
        break;
    }
    return height;
}

QByteArray rowRecord(uint16_t row, uint16_t firstCol, uint16_t lastColPlusOne, RowHeight height)
{
    QByteArray data;
    putU16(data, row);
    putU16(data, firstCol);
    putU16(data, lastColPlusOne);
    putU16(data, height.twips);
    putU16(data, 0);
    putU16(data, 0);
    putU16(data, height.flags);
    putU16(data, 0x000F);
    return data;
}

bool isMultiLine(const CellValue &value)
{
    if (value.kind() != CellValue::Kind::Text)
        return false;
    const QString text = value.toText();
    return text.contains(u'\n') || text.contains(u'\r');
}

} // namespace

QByteArray Workbook::diarySheetStream(const Sheet &sheet, const std::vector<SheetRow> &rows, SstBuilder &strings,
                                      AddedXfs &added, QString *error, QStringList *notes) const
{
    const size_t regionRows = rows.size();
    // A formula that other cells share must stay where it is, as it is.
    std::vector<int> keptAtRow(sheet.cells.size(), -1);
    for (size_t r = 0; r < regionRows; ++r) {
        for (const SheetCell &cell : rows[r]) {
            if (cell.origin >= 0)
                keptAtRow[size_t(cell.origin)] = int(r);
        }
    }
    if (const QString cell = unmovableSharedFormula(sheet, keptAtRow, regionRows); !cell.isEmpty()) {
        *error = QStringLiteral("日記の列 (A～H) のセル %1 に他のセルと共有する数式があり、書き換えられません。"
                                "Excel などでその数式を値に置き換えるか、I 列より右へ移してから保存し直してください")
                     .arg(cell);
        return {};
    }
    sortmoves::CellMoves moves(regionRows);
    for (size_t r = 0; r < regionRows; ++r) {
        for (int c = 0; c < 8; ++c) {
            if (const int from = rows[r][size_t(c)].from; from >= 0 && size_t(from) < regionRows)
                moves.set(from, c, int(r));
        }
    }
    std::vector<OutCell> cells;
    cells.reserve(sheet.cells.size() + regionRows * 8);
    for (const CellChunk &chunk : sheet.cells) {
        if (chunk.row >= regionRows || chunk.col >= 8)
            cells.push_back({chunk.row, chunk.col, QByteArray(chunkData(sheet, chunk), chunk.length)});
    }
    for (size_t r = 0; r < regionRows; ++r) {
        for (uint16_t c = 0; c < 8; ++c) {
            const SheetCell &cell = rows[r][c];
            if (cell.origin < 0) {
                if (cell.value.kind() == CellValue::Kind::Text && cell.value.toText().size() > MaxCellText) {
                    *error = QStringLiteral("%1 文字を超える文は保存できません").arg(MaxCellText);
                    return {};
                }
                SheetCell written = cell;
                if (isMultiLine(cell.value))
                    written.xf = wrappingXf(cell.xf, added);
                QByteArray bytes = cellRecord(written, uint16_t(r), c, strings);
                if (!bytes.isEmpty())
                    cells.push_back({uint16_t(r), c, std::move(bytes), true});
                continue;
            }
            const CellChunk &chunk = sheet.cells[size_t(cell.origin)];
            QByteArray bytes(chunkData(sheet, chunk), chunk.length);
            if (chunk.row != r && u16(bytes.constData()) == Formula) {
                const sortmoves::FormulaMove moved = sortmoves::shiftFormula(bytes, int(r) - chunk.row);
                if (moved != sortmoves::FormulaMove::Moved) {
                    // It stays what it showed, of the same kind.
                    notes->append(unmovedFormulaNote(moved, sortmoves::cellName(int(r), c)));
                    cells.push_back({uint16_t(r), c, sortmoves::cachedResult(bytes, uint16_t(r), strings), true});
                    continue;
                }
            }
            setU16(bytes, 4, uint16_t(r));
            cells.push_back({uint16_t(r), c, std::move(bytes)});
        }
    }
    std::sort(cells.begin(), cells.end(),
              [](const OutCell &a, const OutCell &b) { return std::tie(a.row, a.col) < std::tie(b.row, b.col); });

    // Every row that has cells gets a ROW record; rows that had one keep theirs.
    std::map<uint16_t, QByteArray> rowRecords;
    for (const Record &record : sheet.rowRecords)
        rowRecords[u16(record.data)] = QByteArray(record.data, record.size);
    std::map<uint16_t, std::pair<uint16_t, uint16_t>> spans;
    for (const OutCell &cell : cells) {
        auto [it, added] = spans.try_emplace(cell.row, cell.col, uint16_t(cell.col + 1));
        if (!added)
            it->second.second = uint16_t(cell.col + 1);
    }
    const RowHeight newRowHeight = defaultRowHeight(sheet.head);
    for (const auto &[row, span] : spans) {
        auto [it, isNew] = rowRecords.try_emplace(row, rowRecord(row, span.first, span.second, newRowHeight));
        if (!isNew) {
            setU16(it->second, 2, span.first);
            setU16(it->second, 4, span.second);
        }
    }

    QByteArray dimensions;
    uint16_t firstCol = 0, lastCol = 0;
    if (!cells.empty()) {
        firstCol = std::min_element(cells.begin(), cells.end(), [](auto &a, auto &b) { return a.col < b.col; })->col;
        lastCol = std::max_element(cells.begin(), cells.end(), [](auto &a, auto &b) { return a.col < b.col; })->col;
    }
    putU32(dimensions, cells.empty() ? 0 : cells.front().row);
    putU32(dimensions, cells.empty() ? 0 : cells.back().row + 1u);
    putU16(dimensions, firstCol);
    putU16(dimensions, cells.empty() ? 0 : uint16_t(lastCol + 1));
    putU16(dimensions, 0);

    QByteArray out;
    appendRecordBytes(out, sheet.head.front());
    appendRecord(out, Dimensions, dimensions);
    for (size_t i = 1; i < sheet.head.size(); ++i)
        appendRecordBytes(out, sheet.head[i]);
    // Rows in blocks of 32: the block's ROW records, then its cells.
    auto cell = cells.begin();
    for (auto rowIt = rowRecords.begin(); rowIt != rowRecords.end();) {
        const uint16_t blockEnd = uint16_t(std::min(rowIt->first / 32 * 32 + 32, SheetRows) - 1);
        for (; rowIt != rowRecords.end() && rowIt->first <= blockEnd; ++rowIt)
            appendRecord(out, Row, rowIt->second);
        for (; cell != cells.end() && cell->row <= blockEnd; ++cell) {
            if (!cell->fresh)
                remapStrings(cell->bytes, strings);
            out.append(cell->bytes);
        }
    }
    out.append(sortmoves::movedAttachments(sheet.tail, moves));
    return out;
}

// The first formula cell of the diary rows that a sort or an overwrite would
// take away from under cells that share it and stay; empty when there is none.
QString Workbook::unmovableSharedFormula(const Sheet &sheet, const std::vector<int> &keptAtRow, size_t regionRows) const
{
    // Cells that stand where they are and take their formula from another cell.
    std::set<std::pair<uint16_t, uint16_t>> sharedByStaying;
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const CellChunk &chunk = sheet.cells[i];
        const bool stays = chunk.row >= regionRows || chunk.col >= 8 || keptAtRow[i] == chunk.row;
        if (const auto source = formulaSource(chunkData(sheet, chunk));
            stays && source && *source != std::pair(chunk.row, chunk.col))
            sharedByStaying.insert(*source);
    }
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const CellChunk &chunk = sheet.cells[i];
        if (chunk.row < regionRows && chunk.col < 8 && keptAtRow[i] != chunk.row
            && anchorsOtherCells(QByteArray::fromRawData(chunkData(sheet, chunk), chunk.length))
            && sharedByStaying.count({chunk.row, chunk.col}))
            return sortmoves::cellName(chunk.row, chunk.col);
    }
    return {};
}

QByteArray Workbook::sheetStream(int index, const std::vector<SheetRow> *rows, SstBuilder &strings, AddedXfs &added,
                                 QString *error, QStringList *notes) const
{
    const Sheet &sheet = m_sheets[size_t(index)];
    if (rows) {
        parseSheet(sheet);
        if (sheet.cellsDamaged) {
            *error = QStringLiteral("シート \"%1\" のセルが壊れています").arg(sheet.name);
            return {};
        }
        return diarySheetStream(sheet, *rows, strings, added, error, notes);
    }
    QByteArray out = m_stream.mid(sheet.start, sheet.end - sheet.start);
    RecordReader reader(out);
    while (const std::optional<Record> record = reader.next()) {
        if (record->id == LabelSst && record->size >= 10) {
            QByteArray cell = record->bytes();
            remapStrings(cell, strings);
            out.replace(record->offset, cell.size(), cell);
        }
    }
    return out;
}

QByteArray Workbook::globalsStream(const SstBuilder &strings, const std::vector<qsizetype> &sheetStarts,
                                   const AddedXfs &added) const
{
    const bool addDateFormat = m_yyyymmddXf < 0;
    const QByteArray dateFormat = dateFormatData(m_newFormatId);

    qsizetype lastFormat = -1, lastXfExt = -1;
    std::vector<qsizetype> xfs;
    std::map<uint16_t, const Record *> xfExtOf; // by the cell format it extends
    for (size_t i = 0; i < m_globals.size(); ++i) {
        const Record &record = m_globals[i];
        if (record.id == Format)
            lastFormat = qsizetype(i);
        if (record.id == Xf)
            xfs.push_back(qsizetype(i));
        if (record.id == XfExt && record.size >= 16) {
            lastXfExt = qsizetype(i);
            xfExtOf.emplace(u16(record.data + 14), &record);
        }
    }
    const qsizetype firstXf = xfs.front(), lastXf = xfs.back();

    QByteArray out;
    std::vector<qsizetype> boundSheets;
    bool sstWritten = false;
    bool inSst = false;
    for (size_t i = 0; i < m_globals.size(); ++i) {
        const Record &record = m_globals[i];
        inSst = record.id == Sst || (inSst && record.id == Continue);
        if (inSst || record.id == ExtSst) {
            if (record.id == Sst) {
                out.append(strings.records(out.size()));
                sstWritten = true;
            }
            continue;
        }
        if (record.id == Eof && !sstWritten)
            out.append(strings.records(out.size()));
        if (addDateFormat && lastFormat < 0 && qsizetype(i) == firstXf)
            appendRecord(out, Format, dateFormat);
        if (record.id == BoundSheet)
            boundSheets.push_back(out.size());
        if (record.id == XfCrc && m_xfCrcValid && !added.records.empty()) {
            // Excel keeps the formats' extensions (theme colours, tints) only
            // while this checksum matches the XF records.
            QByteArray crc(record.data, record.size);
            setU16(crc, 14, uint16_t(m_xfRecords.size() + added.records.size()));
            setU32(crc, 16, xfChecksum(added));
            appendRecord(out, XfCrc, crc);
        } else {
            appendRecordBytes(out, record);
        }
        if (addDateFormat && qsizetype(i) == lastFormat)
            appendRecord(out, Format, dateFormat);
        if (qsizetype(i) == lastXf) {
            for (const QByteArray &xf : added.records)
                appendRecord(out, Xf, xf);
        }
        if (qsizetype(i) == lastXfExt) {
            // An added format looks in Excel as the one it was copied from.
            for (size_t a = 0; a < added.records.size(); ++a) {
                const auto extension = xfExtOf.find(added.bases[a]);
                if (extension == xfExtOf.end())
                    continue;
                QByteArray copy(extension->second->data, extension->second->size);
                setU16(copy, 14, uint16_t(m_xfRecords.size() + a));
                appendRecord(out, XfExt, copy);
            }
        }
    }
    for (size_t i = 0; i < boundSheets.size(); ++i)
        setU32(out, boundSheets[i] + 4, uint32_t(out.size() + sheetStarts[i]));
    return out;
}

Workbook::StreamResult Workbook::toStream(int diarySheet, const std::vector<SheetRow> &rows) const
{
    for (const Sheet &sheet : m_sheets) {
        if (sheet.start < 0)
            return {{}, QStringLiteral("シート \"%1\" の中身がブックにありません").arg(sheet.name), {}};
    }
    if (m_xfFormats.size() <= m_defaultXf)
        return {{}, QStringLiteral("ブックにセルの書式がありません"), {}};
    if (rows.size() > SheetRows)
        return {{}, QStringLiteral("日記の行数がシートに入りきりません"), {}};

    AddedXfs added;
    if (m_yyyymmddXf < 0) {
        // A copy of the default cell format, showing its number as a date.
        QByteArray xf(m_xfRecords[m_defaultXf], XfSize);
        setU16(xf, 2, m_newFormatId);
        xf[9] = char(xf[9] | 0x04);
        added.records.push_back(xf);
        added.bases.push_back(m_defaultXf);
    }
    // Sheets first: they decide which strings the table keeps.
    SstBuilder strings(m_strings);
    std::vector<size_t> order(m_sheets.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return m_sheets[a].start < m_sheets[b].start; });
    std::vector<QByteArray> sheetBytes(m_sheets.size());
    QStringList notes;
    for (size_t index : order) {
        QString error;
        sheetBytes[index] =
            sheetStream(int(index), int(index) == diarySheet ? &rows : nullptr, strings, added, &error, &notes);
        if (!error.isEmpty())
            return {{}, error, {}};
    }
    // Where each sheet will start, counted from the end of the globals.
    std::vector<qsizetype> starts(m_sheets.size());
    qsizetype position = 0;
    for (size_t index : order) {
        starts[index] = position;
        position += sheetBytes[index].size();
    }
    QByteArray stream = globalsStream(strings, starts, added);
    const qsizetype globalsSize = stream.size();
    for (size_t index : order) {
        if (int(index) != diarySheet)
            shiftIndexRecords(sheetBytes[index], globalsSize + starts[index] - m_sheets[index].start);
        stream.append(sheetBytes[index]);
    }
    // Excel keeps the workbook stream out of the compound file's small-block
    // area: streams under 4096 bytes are padded after the last record.
    if (stream.size() < 4096)
        stream.append(QByteArray(4096 - stream.size(), '\0'));
    return {stream, {}, notes};
}
