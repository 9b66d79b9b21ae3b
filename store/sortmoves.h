#pragma once

#include "biff.h"
#include "diarytable.h"
#include "sst.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <vector>

// What a sort of the diary rows carries along besides the cells' values, as
// a spreadsheet's own sort does: formulas with their references, and the
// notes and hyperlinks anchored on the cells.
namespace sortmoves {

// Where each cell of the diary columns went: the row a cell of a row (from
// 0) is in after the sort, or -1 when it is not in the diary any more.
class CellMoves
{
public:
    explicit CellMoves(size_t rows) : m_to(rows)
    {
        for (auto &row : m_to)
            row.fill(-1);
    }
    void set(int fromRow, int col, int toRow) { m_to[size_t(fromRow)][size_t(col)] = toRow; }
    // -1 for a cell outside the diary columns and rows, or one that went nowhere.
    int destination(int row, int col) const
    {
        return row >= 0 && size_t(row) < m_to.size() && col >= 0 && col < DiaryColumnCount
                   ? m_to[size_t(row)][size_t(col)]
                   : -1;
    }

private:
    std::vector<std::array<int, DiaryColumnCount>> m_to;
};

enum class FormulaMove {
    Moved,
    Shared,      // a part of a shared formula, an array formula or a data table
    LeavesSheet, // a reference would point above the first or below the last row
    Unreadable,  // an expression this store does not know how to read
};

// Shifts the relative row references of a FORMULA record (its record bytes,
// header included, and any records after it) by delta rows, as a formula
// copied that many rows down reads; absolute references stay. The record is
// changed only when the answer is Moved.
FormulaMove shiftFormula(QByteArray &records, int delta);

// The cell record that stands for a formula's cached result at its row: a
// number, a text, a boolean or an error, as the formula showed it.
QByteArray cachedResult(const QByteArray &records, uint16_t row, biff::SstBuilder &strings);

// The records after a sheet's cells with the notes (NOTE and its drawing
// object's anchor) and hyperlinks (HLINK, HLINKTOOLTIP) of moved cells
// moved with them.
QByteArray movedAttachments(const std::vector<biff::Record> &records, const CellMoves &moves);

// "B5": a cell's name as a spreadsheet shows it, row and column from 0.
QString cellName(int row, int col);

} // namespace sortmoves
