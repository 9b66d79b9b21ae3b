#pragma once

#include "diarytable.h"
#include "workbook.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

// The values of one day as the entry tab holds them: texts as typed, levels
// as indexes (0 "少ない", 1 "ふつう", 2 "多い").
struct DayValues
{
    QString date;   // YYYY/MM/DD
    QString weight; // "0" is written as a blank cell
    QString fat;
    int intake = 1;
    int burn = 1;
    QString commentIn;
    QString commentOut;
    QString photo; // bare file name in the photo folder, or empty
};

// The worksheet of the workbook that holds the diary.
inline constexpr QStringView DiarySheetName = u"St_Trimbo";

// The largest number of diary rows a sheet can hold.
inline constexpr int MaxDiaryRows = 65536;

// The message for a diary with no room left.
QString diaryFullMessage();

// What keeps a day's comments out of a cell, or "": a comment longer than a
// cell holds, named by the entry tab's caption.
QString commentProblem(const DayValues &day);

// The diary workbook, read whole into memory while it is open: the load and
// the save work on that copy, and only Save() writes the file, in one step
// that leaves either the old or the new workbook on disk.
class DiaryBook
{
public:
    explicit DiaryBook(const QString &path);
    ~DiaryBook();

    // Reads the workbook; false, with errorText(), when it cannot be used.
    bool OpenExcelDate();
    // The number of the first row whose date cell is blank, 0 for an empty
    // sheet; isFull() when every row of the sheet has a date: then it is the
    // row below the sheet's last, and every row is still read and may be
    // corrected, only a new day has no room.
    int firstEmptyRow();
    bool isFull() const { return m_full; }
    // Whether the sheet has days below the first row without a date.
    bool hasDaysBelowGap() const { return m_workbook->datedBelow(m_sheet, m_rowCount); }
    // The diary rows 1 to firstEmptyRow() - 1.
    DiaryTable table() const;
    // Writes the eight cells of a day into a row, 1 to firstEmptyRow() (a new
    // day goes into the first empty row).
    void WriteExcelDate(int row, const DayValues &day);
    // Puts the rows in ascending date order, each row moved whole.
    void SetExcelSort();
    // Writes the workbook to its file; false, with errorText(), on failure,
    // and then the file on disk is untouched.
    bool Save();
    void CloseExcelDate();

    QString errorText() const { return m_error; }
    // What the last save could not keep as it was (formulas left as their
    // values, a second hard link of the file), a line each.
    QStringList saveNotes() const { return m_saveNotes; }

    // Each Save() first keeps the workbook on disk as it was in Backup/
    // beside it. A backup that cannot be written does not stop the save:
    // backupError() then says why (empty when the backup was kept).
    void setKeepBackups(bool keep) { m_keepBackups = keep; }
    QString backupError() const { return m_backupError; }

private:
    bool fail(const QString &why);
    // The diary rows as cells a save can change, made on the first change.
    void ensureCells();
    CellValue value(const SheetCell &cell) const;

    QString m_path;
    QString m_error;
    QStringList m_saveNotes;
    std::unique_ptr<struct CompoundEntry> m_container;
    std::unique_ptr<Workbook> m_workbook;
    int m_sheet = -1;
    int m_rowCount = 0;
    bool m_full = false;
    bool m_haveCells = false;
    bool m_keepBackups = false;
    QString m_backupError;
    std::vector<SheetRow> m_rows;
};

// The one rule for putting days into an open diary: a day goes into the
// row that holds its date on disk, a new day into the first row without a
// date, and the rows are sorted by date before the save.
class DayPlacement
{
public:
    // Reads where the days are now; book must be open.
    explicit DayPlacement(DiaryBook &book);

    struct Place
    {
        int row = 0;           // where the day is written; 0 when it cannot be
        bool recorded = false; // the date is recorded already: the day is overwritten there
        QString refusal;       // when row is 0: why there is no row for it
    };
    // Where a day of this date goes; a date written before in this placement
    // is found in the row it was given.
    Place find(const QString &date) const;
    // Writes the day at place (as find() gave it).
    void write(const Place &place, const DayValues &day);
    // Sorts the rows; the diary as it is then saved.
    DiaryTable finish();

private:
    DiaryBook &m_book;
    DiaryTable m_onDisk;
    QHash<QString, int> m_newRowOfDate;
    int m_rowCount = 0;
    int m_firstNewRow = 1;
};

// Saves days with the program's own rules: a day whose date is recorded is
// refused unless overwrite is set, a new day goes into the first empty row,
// and the rows are sorted by date. Nothing is written unless every day can be.
struct SaveDaysResult
{
    bool saved = false;
    QString error;
    DiaryTable table;  // the diary as saved
    QStringList notes; // what the save could not keep as it was
};
SaveDaysResult saveDays(const QString &path, const std::vector<DayValues> &days, bool overwrite);
