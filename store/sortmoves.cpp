#include "sortmoves.h"

#include <map>

using namespace biff;

namespace sortmoves {

namespace {

constexpr uint16_t Note = 0x001C;
constexpr uint16_t Obj = 0x005D;
constexpr uint16_t MsoDrawing = 0x00EC;
constexpr uint16_t HLink = 0x01B8;
constexpr uint16_t HLinkTooltip = 0x0800;
constexpr uint16_t ClientAnchor = 0xF010; // OfficeArt: where a shape sits on the sheet
constexpr uint16_t ClientData = 0xF011;   // OfficeArt: the shape's OBJ record follows
constexpr int LastRow = 65535;
constexpr int FormulaHeader = 22; // FORMULA data before its expression

// Within a FORMULA's expression: the row of a reference at rowAt, made
// relative by bit 15 of the column word at colAt.
bool shiftRow(QByteArray &bytes, qsizetype rowAt, qsizetype colAt, int delta)
{
    if (!(u16(bytes.constData() + colAt) & 0x8000))
        return true;
    const int row = u16(bytes.constData() + rowAt) + delta;
    if (row < 0 || row > LastRow)
        return false;
    setU16(bytes, rowAt, uint16_t(row));
    return true;
}

// An area of whole columns names the same cells from every row.
bool wholeColumns(const QByteArray &bytes, qsizetype firstRowAt, qsizetype lastRowAt)
{
    return u16(bytes.constData() + firstRowAt) == 0 && u16(bytes.constData() + lastRowAt) == LastRow;
}

// The size of a token that holds no reference; 0 for one that cannot be read.
int plainTokenSize(const QByteArray &bytes, qsizetype at, qsizetype end)
{
    const uint8_t ptg = uint8_t(bytes[at]);
    if (ptg >= 0x03 && ptg <= 0x16)
        return 1; // operators, parentheses, a missing argument
    switch (ptg) {
    case 0x17: { // a string constant
        if (at + 3 > end)
            return 0;
        const int count = uint8_t(bytes[at + 1]);
        return 3 + count * ((bytes[at + 2] & 0x01) ? 2 : 1);
    }
    case 0x19: // attributes (IF, CHOOSE, spaces, SUM)
        if (at + 4 > end)
            return 0;
        return (bytes[at + 1] & 0x04) ? 4 + 2 * (u16(bytes.constData() + at + 2) + 1) : 4;
    case 0x1C:
    case 0x1D: return 2; // error, boolean
    case 0x1E: return 3; // integer
    case 0x1F: return 9; // number
    default: break;
    }
    switch (ptg < 0x20 ? 0 : (ptg & 0x1F) | 0x20) { // the three classes of each operand
    case 0x20: return 8;                            // array constant (its values lie after the expression)
    case 0x21: return 3;                            // function
    case 0x22: return 4;                            // function with a variable argument count
    case 0x23: return 5;                            // defined name
    case 0x27:
    case 0x28: return 7; // an area expression's header, its tokens follow
    case 0x29: return 3;
    case 0x2A: return 5;  // deleted reference
    case 0x2B: return 9;  // deleted area
    case 0x39: return 7;  // external name
    case 0x3C: return 7;  // deleted reference on a sheet
    case 0x3D: return 11; // deleted area on a sheet
    default: return 0;
    }
}

QString readString(const QByteArray &records, qsizetype at)
{
    const int size = u16(records.constData() + at + 2);
    if (at + 4 + size > records.size())
        return QString();
    return readUnicodeString(records.constData() + at + 4, size).value_or(QString());
}

QByteArray cellStart(const char *formula, uint16_t row)
{
    QByteArray data;
    putU16(data, row);
    putU16(data, u16(formula + 2));
    putU16(data, u16(formula + 4));
    return data;
}

// Whether a record of the sheet belongs to a chart embedded in it, whose
// own records run from a BOF to its EOF; depth counts the charts open.
bool inEmbeddedChart(const Record &record, int &depth)
{
    const bool nested = depth > 0 || record.id == Bof;
    if (record.id == Bof)
        ++depth;
    if (record.id == Eof && depth > 0)
        --depth;
    return nested;
}

// A drawing's records read as one OfficeArt stream, with where each
// record's part of it starts.
struct Drawing
{
    QByteArray art;
    std::vector<std::pair<size_t, qsizetype>> parts;     // record index, start in art
    std::vector<std::pair<qsizetype, uint16_t>> objects; // where in art an OBJ stands, its id
    std::vector<qsizetype> anchors, clientData;
};

Drawing readDrawing(const std::vector<Record> &records)
{
    Drawing drawing;
    int depth = 0;
    for (size_t i = 0; i < records.size(); ++i) {
        const Record &r = records[i];
        if (inEmbeddedChart(r, depth))
            continue;
        if (r.id == MsoDrawing) {
            drawing.parts.emplace_back(i, drawing.art.size());
            drawing.art.append(r.data, r.size);
        } else if (r.id == Obj && r.size >= 8 && u16(r.data) == 0x0015) {
            drawing.objects.emplace_back(drawing.art.size(), u16(r.data + 6));
        }
    }
    const QByteArray &art = drawing.art;
    for (qsizetype at = 0; at + 8 <= art.size();) {
        const uint16_t type = u16(art.constData() + at + 2);
        if ((u16(art.constData() + at) & 0x000F) == 0x000F) {
            at += 8; // a container: its children follow
            continue;
        }
        if (type == ClientAnchor)
            drawing.anchors.push_back(at);
        else if (type == ClientData)
            drawing.clientData.push_back(at);
        at += 8 + qsizetype(u32(art.constData() + at + 4));
    }
    return drawing;
}

// The anchor of the shape whose OBJ record stands at objectAt; -1 for none.
qsizetype anchorOf(const Drawing &drawing, qsizetype objectAt)
{
    const auto data = std::lower_bound(drawing.clientData.begin(), drawing.clientData.end(), objectAt);
    if (data == drawing.clientData.begin())
        return -1;
    const qsizetype shapeData = *std::prev(data);
    const qsizetype shapeStart = std::prev(data) == drawing.clientData.begin() ? -1 : *std::prev(data, 2);
    const auto anchor = std::lower_bound(drawing.anchors.begin(), drawing.anchors.end(), shapeData);
    if (anchor == drawing.anchors.begin() || *std::prev(anchor) < shapeStart)
        return -1;
    return *std::prev(anchor);
}

// Moves a note's box down by delta rows, keeping its height on the sheet.
void shiftAnchor(std::vector<QByteArray> &out, const Drawing &drawing, qsizetype anchorAt, int delta)
{
    constexpr int AnchorSize = 18;
    if (u32(drawing.art.constData() + anchorAt + 4) < uint32_t(AnchorSize))
        return;
    const qsizetype data = anchorAt + 8;
    auto part = std::upper_bound(drawing.parts.begin(), drawing.parts.end(), data,
                                 [](qsizetype at, const auto &p) { return at < p.second; });
    --part;
    const QByteArray &record = out[part->first];
    const qsizetype at = 4 + data - part->second; // in the record, header included
    if (at + AnchorSize > record.size())
        return; // split over two records: the box stays where it is
    int top = u16(record.constData() + at + 6) + delta;
    int bottom = u16(record.constData() + at + 14) + delta;
    if (top < 0) {
        bottom -= top;
        top = 0;
    }
    if (bottom > LastRow) {
        top -= bottom - LastRow;
        bottom = LastRow;
    }
    setU16(out[part->first], at + 6, uint16_t(std::max(top, 0)));
    setU16(out[part->first], at + 14, uint16_t(bottom));
}

// A range of cells of one row of the diary columns goes where its first cell went.
void moveRange(QByteArray &record, qsizetype refAt, const CellMoves &moves)
{
    const char *ref = record.constData() + refAt;
    const uint16_t firstRow = u16(ref), lastRow = u16(ref + 2), firstCol = u16(ref + 4), lastCol = u16(ref + 6);
    if (firstRow != lastRow || firstCol > lastCol || lastCol >= DiaryColumnCount)
        return;
    const int to = moves.destination(firstRow, firstCol);
    if (to < 0)
        return;
    setU16(record, refAt, uint16_t(to));
    setU16(record, refAt + 2, uint16_t(to));
}

} // namespace

FormulaMove shiftFormula(QByteArray &records, int delta)
{
    const int size = records.size() >= 4 ? u16(records.constData() + 2) : 0;
    if (size < FormulaHeader || 4 + size > records.size())
        return FormulaMove::Unreadable;
    const qsizetype start = 4 + FormulaHeader;
    const qsizetype end = start + u16(records.constData() + 4 + 20);
    if (end > 4 + size)
        return FormulaMove::Unreadable;
    QByteArray shifted = records;
    for (qsizetype at = start; at < end;) {
        const uint8_t ptg = uint8_t(shifted[at]);
        const int operand = ptg < 0x20 ? ptg : (ptg & 0x1F) | 0x20;
        int length = 0;
        bool inSheet = true;
        if (ptg == 0x01 || ptg == 0x02)
            return FormulaMove::Shared;
        if (operand == 0x24) { // reference
            length = 5;
            inSheet = at + length <= end && shiftRow(shifted, at + 1, at + 3, delta);
        } else if (operand == 0x25) { // area
            length = 9;
            inSheet = at + length <= end
                      && (wholeColumns(shifted, at + 1, at + 3)
                          || (shiftRow(shifted, at + 1, at + 5, delta) && shiftRow(shifted, at + 3, at + 7, delta)));
        } else if (operand == 0x3A) { // reference on a sheet
            length = 7;
            inSheet = at + length <= end && shiftRow(shifted, at + 3, at + 5, delta);
        } else if (operand == 0x3B) { // area on a sheet
            length = 11;
            inSheet = at + length <= end
                      && (wholeColumns(shifted, at + 3, at + 5)
                          || (shiftRow(shifted, at + 3, at + 7, delta) && shiftRow(shifted, at + 5, at + 9, delta)));
        } else {
            length = plainTokenSize(shifted, at, end);
        }
        if (length == 0 || at + length > end)
            return FormulaMove::Unreadable;
        if (!inSheet)
            return FormulaMove::LeavesSheet;
        at += length;
    }
    // What it refers to may have moved too: the spreadsheet works it out again.
    setU16(shifted, 4 + 14, u16(shifted.constData() + 4 + 14) | 0x0001);
    records = shifted;
    return FormulaMove::Moved;
}

QByteArray cachedResult(const QByteArray &records, uint16_t row, SstBuilder &strings)
{
    const char *formula = records.constData() + 4;
    QByteArray data = cellStart(formula, row);
    QByteArray out;
    if (u16(formula + 12) != 0xFFFF) {
        data.append(formula + 6, 8);
        appendRecord(out, Number, data);
        return out;
    }
    const uint8_t type = uint8_t(formula[6]);
    if (type == 1 || type == 2) { // a boolean or an error
        data.append(formula[8]);
        data.append(char(type == 2));
        appendRecord(out, BoolErr, data);
        return out;
    }
    QString text; // a text result is in the STRING record after the formula
    for (qsizetype at = 4 + u16(records.constData() + 2); type == 0 && at + 4 <= records.size();
         at += 4 + u16(records.constData() + at + 2)) {
        if (u16(records.constData() + at) == String) {
            text = readString(records, at);
            break;
        }
    }
    putU32(data, uint32_t(strings.useText(text)));
    appendRecord(out, LabelSst, data);
    return out;
}

QByteArray movedAttachments(const std::vector<Record> &records, const CellMoves &moves)
{
    std::vector<QByteArray> out;
    out.reserve(records.size());
    std::map<uint16_t, int> noteMoves; // by the id of the note's drawing object
    int depth = 0;
    for (const Record &r : records) {
        out.push_back(r.bytes());
        if (inEmbeddedChart(r, depth))
            continue;
        QByteArray &record = out.back();
        if (r.id == Note && r.size >= 8) {
            const uint16_t row = u16(r.data);
            const int to = moves.destination(row, u16(r.data + 2));
            if (to >= 0 && to != row) {
                setU16(record, 4, uint16_t(to));
                noteMoves[u16(r.data + 6)] = to - row;
            }
        } else if (r.id == HLink && r.size >= 8) {
            moveRange(record, 4, moves);
        } else if (r.id == HLinkTooltip && r.size >= 10) {
            moveRange(record, 6, moves);
        }
    }
    if (!noteMoves.empty()) {
        const Drawing drawing = readDrawing(records);
        for (const auto &[objectAt, id] : drawing.objects) {
            const auto note = noteMoves.find(id);
            const qsizetype anchor = note == noteMoves.end() ? -1 : anchorOf(drawing, objectAt);
            if (anchor >= 0)
                shiftAnchor(out, drawing, anchor, note->second);
        }
    }
    QByteArray bytes;
    for (const QByteArray &record : out)
        bytes.append(record);
    return bytes;
}

QString cellName(int row, int col)
{
    QString letters;
    for (int c = col + 1; c > 0; c = (c - 1) / 26)
        letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row + 1);
}

} // namespace sortmoves
