#pragma once

#include "cellvalue.h"

#include <array>
#include <cstdint>
#include <vector>

// The columns of a diary row, A to H of the sheet.
enum class DiaryColumn { Date, Weight, Fat, IntakeLevel, BurnLevel, IntakeComment, BurnComment, Photo };
inline constexpr int DiaryColumnCount = 8;
// Every column, A to H.
inline constexpr std::array<DiaryColumn, DiaryColumnCount> diaryColumns{
    DiaryColumn::Date,      DiaryColumn::Weight,        DiaryColumn::Fat,         DiaryColumn::IntakeLevel,
    DiaryColumn::BurnLevel, DiaryColumn::IntakeComment, DiaryColumn::BurnComment, DiaryColumn::Photo,
};
// Where a column's cell stands in a row of cells (a DiaryRow, a row of the
// sheet counted from column A = 0, a column of the list of days).
constexpr int columnIndex(DiaryColumn column)
{
    return int(column);
}

// What a calorie level cell says, by the text it holds: "0" little, "1"
// standard, anything else (2, or a cell that is no level) much.
enum class CalorieLevel { Little = 0, Standard = 1, Much = 2 }; // the levels' indexes too
CalorieLevel calorieLevel(QStringView levelText);

// One day: the eight cells of one sheet row.
using DiaryRow = std::array<CellValue, DiaryColumnCount>;

// The in-memory copy of every recorded day, in ascending date order, its
// rows numbered from 1. It is replaced whole after every load and save and
// never patched cell by cell.
class DiaryTable
{
public:
    DiaryTable() = default;
    explicit DiaryTable(std::vector<DiaryRow> rows) : m_rows(std::move(rows)) {}
    DiaryTable(const DiaryTable &) = default;
    DiaryTable &operator=(const DiaryTable &) = default;
    // A table moved from is left empty, with a serial of its own.
    DiaryTable(DiaryTable &&other) noexcept;
    DiaryTable &operator=(DiaryTable &&other) noexcept;

    // The days recorded: rows 1 to rowCount().
    int rowCount() const { return int(m_rows.size()); }
    // The number of the first sheet row whose date cell is blank: 0 for an
    // empty diary, otherwise rowCount() + 1.
    int firstEmptyRow() const;

    // 1 <= row <= rowCount().
    const CellValue &cell(int row, DiaryColumn column) const;
    const DiaryRow &row(int row) const;

    // The first row, from the top, whose date equals a YYYY/MM/DD text;
    // 0 when no row has it. Reads only this table, never the workbook.
    int findDate(QStringView dateText) const;

    // A number of this table's own, kept by its copies: two tables with the
    // same serial hold the same days, so what is worked out from one table
    // can be kept until the table is replaced.
    std::uint64_t serial() const { return m_serial; }

private:
    static std::uint64_t nextSerial();

    std::vector<DiaryRow> m_rows;
    std::uint64_t m_serial = nextSerial();
};
