#pragma once

#include "diarytable.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

// Independent spreadsheet programs, to make workbooks that a real
// spreadsheet program wrote and to read back what we wrote.

// A cell of a workbook to be written by Gnumeric. A text starting with "="
// is a formula; dates are numbers shown in a yyyy/mm/dd format.
struct GnumericCell
{
    enum Kind { Number, Text, Formula, Date };
    int row;
    int col;
    Kind kind;
    QString value;       // numbers and dates as numbers (day numbers for dates)
    QString format = {}; // a number's format, when not General
};
struct GnumericSheet
{
    QString name;
    std::vector<GnumericCell> cells;
};

// Writes an .xls file with Gnumeric's ssconvert; selectedSheet is the sheet
// the workbook opens on. Fails the running test when ssconvert fails.
void writeWithGnumeric(const std::vector<GnumericSheet> &sheets, int selectedSheet, const QString &xlsPath);

// A diary as Gnumeric writes it after the user gave the columns B to E
// number formats of their own, which Gnumeric numbers from 50 where Excel
// has built-in date formats: two days, 2010/01/10 (74.5 kg, 20.25 %, levels
// 1 and 2) and 2010/01/11 (74 kg, 20.5 %, levels 0 and 1).
void writeGnumericDiaryWithCustomFormats(const QString &xlsPath);

// xlrd's view of every sheet and cell, a line each (tests/xlsdump.py).
// These two fail the running test when their program fails.
QStringList xlrdDump(const QString &xlsPath);

// Gnumeric's CSV of one sheet of an .xls file.
QString gnumericCsv(const QString &xlsPath, const QString &sheet);

// The diary columns A to H of a sheet as xlrd reads them (tests/xlsdiary.py),
// down to the first row whose column A is empty. Fails the running test when
// xlrd fails.
struct XlrdDiary
{
    QStringList cells;        // "row,column kind text" for every cell that is not empty
    QStringList formats;      // "row,column format" (" wraps" added) for the same cells
    std::vector<int> heights; // of every row of the sheet in twips, -1 for a row without its own
    int defaultHeight = -1;   // of the sheet's rows, in twips
};
XlrdDiary xlrdDiary(const QString &xlsPath, const QString &sheet);
// The cells lines of the diary as we read it.
QStringList diaryLines(const DiaryTable &table);

// What is anchored on the cells of a sheet, a line each (tests/xlsattached.py):
// notes and hyperlinks as xlrd reads them, formulas as LibreOffice reads
// them, each with its cell and the text of column A of its row.
QStringList anchoredOnCells(const QString &xlsPath, const QString &sheet);
