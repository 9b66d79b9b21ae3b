#pragma once

#include <QByteArray>
#include <QString>

// The bytes of a new Excel 97-2003 workbook holding one empty sheet of the
// given name, ready to take diary days.
QByteArray newDiaryWorkbook(const QString &sheetName);
