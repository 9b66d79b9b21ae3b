#pragma once

// Private to the workbook: Workbook's users include workbook.h only.

#include "workbookreader.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// Writes a workbook back as WorkbookReader read it, with the diary columns
// of one sheet replaced: every other sheet, record, cell, format and string
// stays as it was. One writer makes one stream.
class WorkbookWriter
{
public:
    explicit WorkbookWriter(const WorkbookReader &book) : m_book(book), m_strings(book.m_strings) {}

    // As Workbook::toStream().
    Workbook::StreamResult write(int diarySheet, const std::vector<SheetRow> &rows);

private:
    using Sheet = WorkbookReader::Sheet;
    using CellChunk = WorkbookReader::CellChunk;

    // Cell formats a save adds behind the book's own: the diary's date format
    // when the book has none, and wrapping copies of the formats that texts
    // of more than one line are written in.
    struct AddedXfs
    {
        std::vector<QByteArray> records; // XF data, numbered on from the book's own
        std::vector<uint16_t> bases;     // the format each one was copied from
    };

    QByteArray sheetStream(int index, const std::vector<SheetRow> *rows, DiaryFailure *error);
    QByteArray diarySheetStream(const Sheet &sheet, const std::vector<SheetRow> &rows, DiaryFailure *error);
    QString unmovableSharedFormula(const Sheet &sheet, const std::vector<int> &keptAtRow, size_t regionRows) const;
    QByteArray globalsStream(const std::vector<qsizetype> &sheetStarts) const;
    QByteArray xfRecordData(uint16_t xf) const;
    // A cell format like xf that wraps its text: xf itself when it wraps, an
    // equal one the book has, or one added (once per save and format).
    uint16_t wrappingXf(uint16_t xf);
    QByteArray cellRecord(const SheetCell &cell, uint16_t row, uint16_t col);

    const WorkbookReader &m_book;
    biff::SstBuilder m_strings; // the string table written: sheets first, they decide which strings it keeps
    AddedXfs m_added;
    std::vector<DiaryProblem> m_notes; // what the save could not keep as it was
};
