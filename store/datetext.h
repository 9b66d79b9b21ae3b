#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Dates are written as YYYY/MM/DD text, the short date format of the system
// the diary comes from, and counted as OLE Automation day numbers (days since
// 30 December 1899, time of day as the fraction), as the workbook counts them.

QString dateText(QDate date);

// Year/month/day with "/" between; month and day may have one digit.
// nullopt for anything else or an impossible date.
std::optional<QDate> parseDateText(QStringView text);

// The date of a text, or today's date when the text is not a date.
QDate dateOrToday(QStringView text);

double oleDayNumber(QDate date);
QDate dateFromOleDayNumber(double dayNumber);
