#include "workbookwriter.h"

#include "newworkbook.h"
#include "sortmoves.h"

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

using namespace biff;

namespace {

constexpr size_t MaxXfs = 4050;             // cell formats Excel takes in one book
constexpr uint16_t StandardRowHeight = 255; // 12.75 pt in twips, where a sheet names no default

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

DiaryProblem unmovedFormulaNote(sortmoves::FormulaMove why, const QString &cell)
{
    const DiaryError code = why == sortmoves::FormulaMove::Shared        ? DiaryError::SharedFormulaKept
                            : why == sortmoves::FormulaMove::LeavesSheet ? DiaryError::FormulaLeavingKept
                                                                         : DiaryError::OddFormulaKept;
    return {code, {}, {cell}};
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

QByteArray WorkbookWriter::xfRecordData(uint16_t xf) const
{
    if (xf < m_book.m_xfRecords.size())
        return QByteArray(m_book.m_xfRecords[xf], XfSize);
    const size_t addedIndex = xf - m_book.m_xfRecords.size();
    return addedIndex < m_added.records.size() ? m_added.records[addedIndex] : QByteArray();
}

uint16_t WorkbookWriter::wrappingXf(uint16_t xf)
{
    QByteArray wanted = xfRecordData(xf);
    if (wanted.isEmpty() || (wanted[6] & 0x08))
        return xf;
    wanted[6] = char(wanted[6] | 0x08); // wraps
    wanted[9] = char(wanted[9] | 0x10); // by its own alignment, not its style's
    for (size_t i = 0; i < m_book.m_xfRecords.size(); ++i) {
        if (!m_book.m_xfIsStyle[i] && QByteArrayView(m_book.m_xfRecords[i], XfSize) == wanted)
            return uint16_t(i);
    }
    const auto found = std::find(m_added.records.begin(), m_added.records.end(), wanted);
    if (found != m_added.records.end())
        return uint16_t(m_book.m_xfRecords.size() + size_t(found - m_added.records.begin()));
    if (m_book.m_xfRecords.size() + m_added.records.size() >= MaxXfs)
        return xf;
    m_added.records.push_back(wanted);
    m_added.bases.push_back(xf);
    return uint16_t(m_book.m_xfRecords.size() + m_added.records.size() - 1);
}

QByteArray WorkbookWriter::cellRecord(const SheetCell &cell, uint16_t row, uint16_t col)
{
    QByteArray data = cellHeader(row, col, cell.xf);
    QByteArray out;
    switch (cell.value.kind()) {
    case CellValue::Kind::Empty:
        if (cell.xf != m_book.m_defaultXf)
            appendRecord(out, Blank, data);
        break;
    case CellValue::Kind::Date:
    case CellValue::Kind::Number:
        putF64(data, m_book.storedNumber(cell.value));
        appendRecord(out, Number, data);
        break;
    case CellValue::Kind::Text:
        putU32(data, uint32_t(m_strings.useText(cell.value.toText())));
        appendRecord(out, LabelSst, data);
        break;
    }
    return out;
}

QByteArray WorkbookWriter::diarySheetStream(const Sheet &sheet, const std::vector<SheetRow> &rows, DiaryFailure *error)
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
        *error = DiaryProblem(DiaryError::SharedFormula, {}, {cell});
        return {};
    }
    sortmoves::CellMoves moves(regionRows);
    for (size_t r = 0; r < regionRows; ++r) {
        for (int c = 0; c < DiaryColumnCount; ++c) {
            if (const int from = rows[r][size_t(c)].from; from >= 0 && size_t(from) < regionRows)
                moves.set(from, c, int(r));
        }
    }
    std::vector<OutCell> cells;
    cells.reserve(sheet.cells.size() + regionRows * 8);
    for (const CellChunk &chunk : sheet.cells) {
        if (chunk.row >= regionRows || chunk.col >= DiaryColumnCount)
            cells.push_back({chunk.row, chunk.col, QByteArray(m_book.chunkData(sheet, chunk), chunk.length)});
    }
    for (size_t r = 0; r < regionRows; ++r) {
        for (uint16_t c = 0; c < DiaryColumnCount; ++c) {
            const SheetCell &cell = rows[r][c];
            if (cell.origin < 0) {
                if (cell.value.kind() == CellValue::Kind::Text && cell.value.toText().size() > MaxCellText) {
                    *error = DiaryProblem(DiaryError::TextTooLong, {}, {}, 0, MaxCellText);
                    return {};
                }
                SheetCell written = cell;
                if (isMultiLine(cell.value))
                    written.xf = wrappingXf(cell.xf);
                QByteArray bytes = cellRecord(written, uint16_t(r), c);
                if (!bytes.isEmpty())
                    cells.push_back({uint16_t(r), c, std::move(bytes), true});
                continue;
            }
            const CellChunk &chunk = sheet.cells[size_t(cell.origin)];
            QByteArray bytes(m_book.chunkData(sheet, chunk), chunk.length);
            if (chunk.row != r && u16(bytes.constData()) == Formula) {
                const sortmoves::FormulaMove moved = sortmoves::shiftFormula(bytes, int(r) - chunk.row);
                if (moved != sortmoves::FormulaMove::Moved) {
                    // It stays what it showed, of the same kind.
                    m_notes.push_back(unmovedFormulaNote(moved, sortmoves::cellName(int(r), c)));
                    cells.push_back({uint16_t(r), c, sortmoves::cachedResult(bytes, uint16_t(r), m_strings), true});
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
                remapStrings(cell->bytes, m_strings);
            out.append(cell->bytes);
        }
    }
    out.append(sortmoves::movedAttachments(sheet.tail, moves));
    return out;
}

// The first formula cell of the diary rows that a sort or an overwrite would
// take away from under cells that share it and stay; empty when there is none.
QString WorkbookWriter::unmovableSharedFormula(const Sheet &sheet, const std::vector<int> &keptAtRow,
                                               size_t regionRows) const
{
    // Cells that stand where they are and take their formula from another cell.
    std::set<std::pair<uint16_t, uint16_t>> sharedByStaying;
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const CellChunk &chunk = sheet.cells[i];
        const bool stays = chunk.row >= regionRows || chunk.col >= DiaryColumnCount || keptAtRow[i] == chunk.row;
        if (const auto source = formulaSource(m_book.chunkData(sheet, chunk));
            stays && source && *source != std::pair(chunk.row, chunk.col))
            sharedByStaying.insert(*source);
    }
    for (size_t i = 0; i < sheet.cells.size(); ++i) {
        const CellChunk &chunk = sheet.cells[i];
        if (chunk.row < regionRows && chunk.col < DiaryColumnCount && keptAtRow[i] != chunk.row
            && anchorsOtherCells(QByteArray::fromRawData(m_book.chunkData(sheet, chunk), chunk.length))
            && sharedByStaying.count({chunk.row, chunk.col}))
            return sortmoves::cellName(chunk.row, chunk.col);
    }
    return {};
}

QByteArray WorkbookWriter::sheetStream(int index, const std::vector<SheetRow> *rows, DiaryFailure *error)
{
    const Sheet &sheet = m_book.m_sheets[size_t(index)];
    if (rows) {
        m_book.parseSheet(sheet);
        if (sheet.cellsDamaged) {
            *error = DiaryProblem(DiaryError::BrokenCells, {}, {sheet.name});
            return {};
        }
        return diarySheetStream(sheet, *rows, error);
    }
    QByteArray out = m_book.m_stream.mid(sheet.start, sheet.end - sheet.start);
    RecordReader reader(out);
    while (const std::optional<Record> record = reader.next()) {
        if (record->id == LabelSst && record->size >= 10) {
            QByteArray cell = record->bytes();
            remapStrings(cell, m_strings);
            out.replace(record->offset, cell.size(), cell);
        }
    }
    return out;
}

QByteArray WorkbookWriter::globalsStream(const std::vector<qsizetype> &sheetStarts) const
{
    const bool addDateFormat = m_book.m_yyyymmddXf < 0;
    const QByteArray dateFormat = dateFormatData(m_book.m_newFormatId);

    qsizetype lastFormat = -1, lastXfExt = -1;
    std::vector<qsizetype> xfs;
    std::map<uint16_t, const Record *> xfExtOf; // by the cell format it extends
    for (size_t i = 0; i < m_book.m_globals.size(); ++i) {
        const Record &record = m_book.m_globals[i];
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
    for (size_t i = 0; i < m_book.m_globals.size(); ++i) {
        const Record &record = m_book.m_globals[i];
        inSst = record.id == Sst || (inSst && record.id == Continue);
        if (inSst || record.id == ExtSst) {
            if (record.id == Sst) {
                out.append(m_strings.records(out.size()));
                sstWritten = true;
            }
            continue;
        }
        if (record.id == Eof && !sstWritten)
            out.append(m_strings.records(out.size()));
        if (addDateFormat && lastFormat < 0 && qsizetype(i) == firstXf)
            appendRecord(out, Format, dateFormat);
        if (record.id == BoundSheet)
            boundSheets.push_back(out.size());
        if (record.id == XfCrc && m_book.m_xfCrcValid && !m_added.records.empty()) {
            // Excel keeps the formats' extensions (theme colours, tints) only
            // while this checksum matches the XF records.
            QByteArray crc(record.data, record.size);
            setU16(crc, 14, uint16_t(m_book.m_xfRecords.size() + m_added.records.size()));
            setU32(crc, 16, m_book.xfChecksum(m_added.records));
            appendRecord(out, XfCrc, crc);
        } else {
            appendRecordBytes(out, record);
        }
        if (addDateFormat && qsizetype(i) == lastFormat)
            appendRecord(out, Format, dateFormat);
        if (qsizetype(i) == lastXf) {
            for (const QByteArray &xf : m_added.records)
                appendRecord(out, Xf, xf);
        }
        if (qsizetype(i) == lastXfExt) {
            // An added format looks in Excel as the one it was copied from.
            for (size_t a = 0; a < m_added.records.size(); ++a) {
                const auto extension = xfExtOf.find(m_added.bases[a]);
                if (extension == xfExtOf.end())
                    continue;
                QByteArray copy(extension->second->data, extension->second->size);
                setU16(copy, 14, uint16_t(m_book.m_xfRecords.size() + a));
                appendRecord(out, XfExt, copy);
            }
        }
    }
    for (size_t i = 0; i < boundSheets.size(); ++i)
        setU32(out, boundSheets[i] + 4, uint32_t(out.size() + sheetStarts[i]));
    return out;
}

Workbook::StreamResult WorkbookWriter::write(int diarySheet, const std::vector<SheetRow> &rows)
{
    for (const Sheet &sheet : m_book.m_sheets) {
        if (sheet.start < 0)
            return {{}, DiaryProblem(DiaryError::SheetOutside, {}, {sheet.name}), {}};
    }
    if (m_book.m_xfFormats.size() <= m_book.m_defaultXf)
        return {{}, DiaryProblem(DiaryError::NoCellFormats), {}};
    if (rows.size() > SheetRows)
        return {{}, DiaryProblem(DiaryError::TooManyRows), {}};

    if (m_book.m_yyyymmddXf < 0) {
        // A copy of the default cell format, showing its number as a date.
        QByteArray xf(m_book.m_xfRecords[m_book.m_defaultXf], XfSize);
        setU16(xf, 2, m_book.m_newFormatId);
        xf[9] = char(xf[9] | 0x04);
        m_added.records.push_back(xf);
        m_added.bases.push_back(m_book.m_defaultXf);
    }
    // Sheets first: they decide which strings the table keeps.
    std::vector<size_t> order(m_book.m_sheets.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return m_book.m_sheets[a].start < m_book.m_sheets[b].start; });
    std::vector<QByteArray> sheetBytes(m_book.m_sheets.size());
    for (size_t index : order) {
        DiaryFailure error;
        sheetBytes[index] = sheetStream(int(index), int(index) == diarySheet ? &rows : nullptr, &error);
        if (error)
            return {{}, error, {}};
    }
    // Where each sheet will start, counted from the end of the globals.
    std::vector<qsizetype> starts(m_book.m_sheets.size());
    qsizetype position = 0;
    for (size_t index : order) {
        starts[index] = position;
        position += sheetBytes[index].size();
    }
    QByteArray stream = globalsStream(starts);
    const qsizetype globalsSize = stream.size();
    for (size_t index : order) {
        if (int(index) != diarySheet)
            shiftIndexRecords(sheetBytes[index], globalsSize + starts[index] - m_book.m_sheets[index].start);
        stream.append(sheetBytes[index]);
    }
    // Excel keeps the workbook stream out of the compound file's small-block
    // area: streams under 4096 bytes are padded after the last record.
    if (stream.size() < 4096)
        stream.append(QByteArray(4096 - stream.size(), '\0'));
    return {stream, {}, m_notes};
}
