#pragma once

#include <QByteArray>
#include <QString>

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
