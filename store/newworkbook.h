#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The data of the records every workbook needs, as a new workbook has them.
namespace biff {
QByteArray bofData(uint16_t substream); // 0x0005 workbook globals, 0x0010 worksheet
QByteArray fontData();
QByteArray xfData(uint16_t format, bool style);
QByteArray window2Data();
// The FORMAT record's data for the diary's dates, "yyyy/mm/dd", under the given number.
QByteArray dateFormatData(uint16_t formatId);
} // namespace biff

// The bytes of a new Excel 97-2003 workbook holding one empty sheet of the
// given name, ready to take diary days.
QByteArray newDiaryWorkbook(const QString &sheetName);
