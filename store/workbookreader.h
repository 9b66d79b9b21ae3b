#pragma once

// Private to the workbook: Workbook's users include workbook.h only.

#include "biff.h"
#include "cellvalue.h"
#include "diarytable.h"
#include "sst.h"
#include "workbook.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <vector>

// The rows of a BIFF8 worksheet.
inline constexpr int SheetRows = 65536;
// The data of a BIFF8 XF record.
inline constexpr int XfSize = 20;

// A BIFF8 workbook stream as read: the globals at once, a sheet's cells
// when they are first asked for. The functions of the same names as
// Workbook's do what Workbook says they do; what was read stays for
// WorkbookWriter, which writes the stream back.
class WorkbookReader
{
public:
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

    // Reads the globals; nullptr, with what is wrong in *error, when the
    // stream cannot be used.
    static std::unique_ptr<WorkbookReader> read(QByteArray stream, DiaryError *error);

    int findSheet(QStringView name) const;
    int diaryLength(int sheet, int maxRows, bool *full) const;
    bool datedBelow(int sheet, int row) const;
    DiaryTable diaryTable(int sheet, int rows) const;
    std::vector<SheetRow> diaryCells(int sheet, int rows) const;
    CellValue originValue(int sheet, int origin) const;
    CellValue writtenValue(const SheetCell &cell) const;
    uint16_t dateXf() const;
    SheetRow emptyRow() const;
    SheetRow rowFormats(int sheet, int row) const;
    bool isDateXf(uint16_t xf) const;

private:
    friend class WorkbookWriter;

    WorkbookReader() = default;
    std::optional<DiaryError> parseGlobals();
    void locateSheets();
    void parseSheet(const Sheet &sheet) const;
    void splitMultiple(const Sheet &sheet, const biff::Record &record) const;
    const char *chunkData(const Sheet &sheet, const CellChunk &chunk) const;
    CellValue chunkValue(const Sheet &sheet, const CellChunk &chunk) const;
    std::vector<bool> datedRows(const Sheet &sheet, int rows) const;
    CellValue numberValue(double number, uint16_t xf) const;
    double storedNumber(const CellValue &value) const; // as a NUMBER record holds it
    // The checksum of XFCRC over the book's cell formats and the XF data
    // added behind them.
    uint32_t xfChecksum(const std::vector<QByteArray> &added) const;

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
