#pragma once

#include "diaryproblem.h"
#include "cellvalue.h"
#include "diarytable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

// A cell of the diary columns as a save sees it: where it came from, so that
// a cell moved by a sort is written back exactly as it was read (formulas and
// text formatting included), or the value written into it; and its format.
struct SheetCell
{
    CellValue value; // only for a cell written anew
    uint16_t xf = 0;
    int origin = -1; // index into the sheet's cells; -1 for a value written anew
    int from = -1;   // the sheet row (from 0) of the place it was read at: what is anchored there moves with it
};
using SheetRow = std::array<SheetCell, DiaryColumnCount>;

// The longest text a cell holds.
inline constexpr int MaxCellText = 32767;

class WorkbookReader;

// A BIFF8 workbook stream, read into what the diary needs and written back
// with only the diary columns of one sheet changed: every other sheet,
// record, cell, format and string stays as it was.
class Workbook
{
public:
    ~Workbook();

    struct ParseResult
    {
        std::unique_ptr<Workbook> book;
        DiaryError error{}; // what is wrong with the stream, without a book
    };
    static ParseResult parse(QByteArray stream);

    // The worksheet of that name; -1 when there is none (a chart, macro or
    // dialog sheet of that name is none).
    int findSheet(QStringView name) const;

    // How many rows, from the top, have a date (anything but a blank) in
    // column A (maxRows at most); full when all maxRows of them do.
    int diaryLength(int sheet, int maxRows, bool *full) const;
    // Whether a row below the given one (counted from 0) has a date: days
    // the diary does not see, below a row without one.
    bool datedBelow(int sheet, int row) const;
    // Columns A to H of the first rows of a sheet, as values.
    DiaryTable diaryTable(int sheet, int rows) const;
    // The same rows as cells a save can move and overwrite.
    std::vector<SheetRow> diaryCells(int sheet, int rows) const;
    // The value of a cell that diaryCells() gave with an origin.
    CellValue originValue(int sheet, int origin) const;
    // The value a cell written anew reads back as: a number in a date
    // format is a date, a date in another format a number.
    CellValue writtenValue(const SheetCell &cell) const;

    // The cell format to give a date written into column A: an existing cell
    // format of a YYYY/MM/DD style, or one that toStream() will add.
    uint16_t dateXf() const;
    // A row of empty cells in the default cell format.
    SheetRow emptyRow() const;
    // A row of empty cells in the formats that the cells of a sheet row
    // (counted from 0) have, for a new day written into it.
    SheetRow rowFormats(int sheet, int row) const;
    bool isDateXf(uint16_t xf) const;

    struct StreamResult
    {
        QByteArray stream;
        DiaryFailure error;
        std::vector<DiaryProblem> notes; // what a save could not keep as it was
    };
    // The whole stream with rows 1 to rows.size() of the diary columns of a
    // sheet replaced by rows; every other cell and record kept.
    StreamResult toStream(int sheet, const std::vector<SheetRow> &rows) const;

private:
    explicit Workbook(std::unique_ptr<WorkbookReader> reader);

    std::unique_ptr<WorkbookReader> m_reader; // the records, read on demand
};

// Whether a number format shows dates: for an id the file defines with a
// FORMAT record (fileFormat), whether that format is made of date and time
// parts; for any other id, whether it is one of Excel's built-in date formats.
bool isDateFormat(uint16_t formatId, const std::optional<QString> &fileFormat);
