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

// What keeps a day's comments out of a cell: a comment longer than a cell
// holds.
DiaryFailure commentProblem(const DayValues &day);

// The diary workbook, read whole into memory while it is open: the load and
// the save work on that copy, and only save() writes the file, in one step
// that leaves either the old or the new workbook on disk. Whatever fails
// returns what went wrong, about the diary's file.
class DiaryBook
{
public:
    explicit DiaryBook(const QString &path);
    ~DiaryBook();

    // Reads the workbook; what makes it unusable, if anything.
    DiaryFailure open();
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
    // Writes the workbook to its file; on failure the file on disk is
    // untouched.
    DiaryFailure save();
    void close();

    // What the last save could not keep as it was (formulas left as their
    // values, a second hard link of the file).
    const std::vector<DiaryProblem> &saveNotes() const { return m_saveNotes; }

    // Each save() first keeps the workbook on disk as it was in Backup/
    // beside it. A backup that cannot be written does not stop the save:
    // backupProblem() then says why.
    void setKeepBackups(bool keep) { m_keepBackups = keep; }
    const DiaryFailure &backupProblem() const { return m_backupProblem; }

private:
    DiaryProblem fail(DiaryError code);
    DiaryProblem fail(DiaryProblem problem);
    // The diary rows as cells a save can change, made on the first change.
    void ensureCells();
    CellValue value(const SheetCell &cell) const;

    QString m_path;
    std::vector<DiaryProblem> m_saveNotes;
    std::unique_ptr<struct CompoundEntry> m_container;
    std::unique_ptr<Workbook> m_workbook;
    int m_sheet = -1;
    int m_rowCount = 0;
    bool m_full = false;
    bool m_haveCells = false;
    bool m_keepBackups = false;
    DiaryFailure m_backupProblem;
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
        DiaryFailure refusal;  // when row is 0: why there is no row for it
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
    DiaryFailure problem;
    DiaryTable table;                // the diary as saved
    std::vector<DiaryProblem> notes; // what the save could not keep as it was
};
SaveDaysResult saveDays(const QString &path, const std::vector<DayValues> &days, bool overwrite);
