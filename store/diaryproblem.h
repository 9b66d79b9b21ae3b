#pragma once

#include "problem.h"

// What can go wrong with the diary: its workbook, its lock, its backups and
// the program folder it lives in.
enum class DiaryError {
    // The workbook file as a whole (path is the diary's).
    NotAFile,     // reason: missing, or a folder
    Unreadable,   // reason
    OpenDocument, // an .ods, or another OpenDocument file, named .xls
    NewerExcel,   // an .xlsx named .xls
    CutShort,     // number: its size in bytes
    NotCompoundFile,
    NotAWorkbook,
    OldExcel,
    // Inside the workbook.
    BrokenStart,
    Truncated,
    Password,
    BrokenCellFormats,
    BrokenSheetList,
    BrokenStrings,
    BrokenCells,  // names: the sheet
    NoDiarySheet, // names: the sheet
    SheetOutside, // names: the sheet whose contents are not in the book
    NoCellFormats,
    TooManyRows,
    SharedFormula, // names: the cell
    TextTooLong,   // limit: characters a cell holds
    CannotAssemble,
    CannotSave, // reason
    // A day that cannot go in.
    Full,
    IntakeCommentTooLong, // number: its length, limit: the most
    BurnCommentTooLong,   // number: its length, limit: the most
    GapAboveDays,         // number: the row without a date
    AlreadyRecorded,      // names: the date
    // What a save could not keep as it was.
    SaveNotes,          // parts: each of the below, said together
    LinkSplit,          // path: the file that had other hard links
    SharedFormulaKept,  // names: the cell
    FormulaLeavingKept, // names: the cell
    OddFormulaKept,     // names: the cell
    // Why the lock could not be made (path: the lock file, or its folder).
    LockFolderReadOnly,
    LockNotMade, // reason
    LockUnreadable,
    // The diary in use (path: the diary). A holder is named by names
    // {program, computer, since} and number, its process.
    OpenedElsewhere,    // by another copy on this computer: the program cannot go on
    InUse,              // shown, but not saved into
    NotLockable,        // parts: why; shown, but not saved into
    UnreadableAtOpen,   // could not be read at the start: not saved into
    SaveWaitedInUse,    // a save by the command line, limit: the seconds it waited
    SaveInUseElsewhere, // a save by the command line, on another computer
    SaveNotLockable,    // a save by the command line; parts: why
    // Backups (path is the backup folder, or the file).
    BackupSkipped, // parts: why; the save went on without one
    BackupFolderNotMade,
    BackupNotRead,    // reason
    BackupNotWritten, // reason
    // The program folder and its starting files.
    ProgramFolderNotReady, // path: the program's folder; parts: why
    FolderNotMade,
    StartingFileNotRead,    // reason
    StartingFileNotWritten, // reason
    End                     // not a problem: counts the ones above
};

using DiaryProblem = Problem<DiaryError>;
using DiaryFailure = Failure<DiaryError>;
