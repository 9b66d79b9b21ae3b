#pragma once

#include "biff.h"
#include "cellvalue.h"
#include "diarytable.h"
#include "sst.h"

#include <QByteArray>
#include <QHash>
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
using SheetRow = std::array<SheetCell, 8>;

// The longest text a cell holds.
inline constexpr int MaxCellText = 32767;

// A BIFF8 workbook stream, read into what the diary needs and written back
// with only the diary columns of one sheet changed: every other sheet,
// record, cell, format and string stays as it was.
class Workbook
{
public:
    struct ParseResult
    {
        std::unique_ptr<Workbook> book;
        QString error; // what is wrong with the stream
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
        QString error;
        QStringList notes; // what a save could not keep as it was, a line each
    };
    // The whole stream with rows 1 to rows.size() of the diary columns of a
    // sheet replaced by rows; every other cell and record kept.
    StreamResult toStream(int sheet, const std::vector<SheetRow> &rows) const;

    struct CellChunk // one cell: its record and any records that belong to it
    {
        uint32_t offset;
        uint32_t length : 31;
        uint32_t synthetic : 1; // lies in the sheet's synthetic buffer, not in the stream
        uint16_t row;
        uint16_t col;
    };
    struct Sheet
    {
        QString name;
        qsizetype start = -1;  // of its BOF, -1 when the stream has none there
        qsizetype end = -1;    // after its EOF
        bool worksheet = true; // not a chart, macro, dialog sheet or module
        // Filled on demand for the sheet being written or read:
        mutable bool parsed = false;
        mutable std::vector<biff::Record> head; // records before the cells, BOF, INDEX, DIMENSIONS left out
        mutable std::vector<biff::Record> rowRecords;
        mutable std::vector<CellChunk> cells;
        mutable std::vector<biff::Record> tail; // records after the cells, EOF included
        mutable QByteArray synthetic;           // single cells split out of MULRK and MULBLANK
        mutable bool cellsDamaged = false;
    };

private:
    // Cell formats a save adds behind the book's own: the diary's date format
    // when the book has none, and wrapping copies of the formats that texts
    // of more than one line are written in.
    struct AddedXfs
    {
        std::vector<QByteArray> records; // XF data, numbered on from the book's own
        std::vector<uint16_t> bases;     // the format each one was copied from
    };

    Workbook() = default;
    QString parseGlobals();
    void locateSheets();
    void parseSheet(const Sheet &sheet) const;
    void splitMultiple(const Sheet &sheet, const biff::Record &record) const;
    const char *chunkData(const Sheet &sheet, const CellChunk &chunk) const;
    CellValue chunkValue(const Sheet &sheet, const CellChunk &chunk) const;
    std::vector<bool> datedRows(const Sheet &sheet, int rows) const;
    CellValue numberValue(double number, uint16_t xf) const;
    double storedNumber(const CellValue &value) const; // as a NUMBER record holds it
    QByteArray sheetStream(int index, const std::vector<SheetRow> *rows, biff::SstBuilder &strings, AddedXfs &added,
                           QString *error, QStringList *notes) const;
    QByteArray diarySheetStream(const Sheet &sheet, const std::vector<SheetRow> &rows, biff::SstBuilder &strings,
                                AddedXfs &added, QString *error, QStringList *notes) const;
    QString unmovableSharedFormula(const Sheet &sheet, const std::vector<int> &keptAtRow, size_t regionRows) const;
    QByteArray globalsStream(const biff::SstBuilder &strings, const std::vector<qsizetype> &sheetStarts,
                             const AddedXfs &added) const;
    QByteArray xfRecordData(uint16_t xf, const AddedXfs &added) const;
    // A cell format like xf that wraps its text: xf itself when it wraps, an
    // equal one the book has, or one added (once per save and format).
    uint16_t wrappingXf(uint16_t xf, AddedXfs &added) const;
    // The checksum of XFCRC over the book's cell formats and the added ones.
    uint32_t xfChecksum(const AddedXfs &added) const;
    QByteArray cellRecord(const SheetCell &cell, uint16_t row, uint16_t col, biff::SstBuilder &strings) const;

    QByteArray m_stream;
    qsizetype m_globalsEnd = 0;
    std::vector<biff::Record> m_globals; // every record of the globals, in order
    biff::SharedStrings m_strings;
    std::vector<const char *> m_xfRecords; // the data of each XF, in the stream
    std::vector<bool> m_xfIsStyle;
    bool m_xfCrcValid = false;         // XFCRC is there and matches the XF records
    std::vector<uint16_t> m_xfFormats; // number format of each XF
    std::vector<bool> m_xfIsDate;
    QHash<uint16_t, QString> m_formats; // custom number formats by id
    uint16_t m_defaultXf = 15;
    int m_yyyymmddXf = -1;        // an existing XF of a YYYY/MM/DD format
    uint16_t m_newFormatId = 164; // for the date format added when none fits
    bool m_1904 = false;
    std::vector<Sheet> m_sheets;
};

// Whether a number format shows dates: for an id the file defines with a
// FORMAT record (fileFormat), whether that format is made of date and time
// parts; for any other id, whether it is one of Excel's built-in date formats.
bool isDateFormat(uint16_t formatId, const std::optional<QString> &fileFormat);
