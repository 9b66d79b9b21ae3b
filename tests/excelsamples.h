#pragma once

#include "compoundfile.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <optional>

// Workbooks that Microsoft Excel wrote, kept in tests/data/excel-samples
// (SOURCES.md there names where each comes from and its licence).

// The path of a sample by its file name; fails the running test when it is
// not there.
QString excelSamplePath(const QString &fileName);

// A workbook stream with the sheet `from` renamed to `to` at the record
// level: the BOUNDSHEET record takes the new name and every stream position
// behind it (the other BOUNDSHEET offsets, EXTSST, the sheets' INDEX records)
// moves by the change in its length; every other byte stays as it was.
// Empty when the stream has no sheet `from`.
QByteArray streamWithSheetRenamed(const QByteArray &stream, const QString &from, const QString &to);

// Writes to outPath the sample with its sheet `sheet` renamed to `to` (the
// diary's sheet by default), and checks with xlrd that the copy reads as the
// sample does but for the name. Fails the running test when it cannot.
void writeRenamedSample(const QString &samplePath, const QString &sheet, const QString &outPath,
                        const QString &to = QStringLiteral("St_Trimbo"));

// The records of an .xls file, a line each ("id: data" in hex), in a form in
// which two versions of a workbook compare: stream positions left out
// (BOUNDSHEET offsets, INDEX, EXTSST), the string table left out and each
// text cell given its text with its runs and phonetic guide; of the diary
// sheet only the records that are no part of its cell table and do not move
// with its days (notes, hyperlinks, drawings). Fails the
// running test when the file cannot be read.
struct WorkbookRecords
{
    QStringList globals;                       // XFCRC left out: see below
    QMap<QString, QStringList> sheets;         // by sheet name
    QMap<QByteArray, QByteArray> otherStreams; // every stream but the workbook, by path
    int xfCount = 0;
    bool hasXfCrc = false;
    bool xfCrcMatches = false; // its count and checksum fit the XF records
};
WorkbookRecords workbookRecords(const QString &xlsPath, const QString &diarySheet);

// The compound file at xlsPath, which holds a Workbook stream; fails the
// running test, and gives nothing, when it does not.
std::optional<CompoundEntry> readWorkbookFile(const QString &xlsPath);

// The lines of `after` that are not in `before`, when `after` is `before`
// with lines inserted; fails the running test, naming the first line that
// differs, when lines were changed or dropped, or inserted that do not
// start with one of the allowed prefixes.
QStringList insertedLines(const QStringList &before, const QStringList &after, const QStringList &allowedPrefixes);
