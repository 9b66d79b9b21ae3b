#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// The usual ways a file lets the user down.
enum class FileProblem {
    Missing,
    Folder,
    NoPermission,
    ReadOnlyDisk,
    DiskFull,
    OverQuota,
    BeyondSizeLimit,
    CutShort,
    TooLarge,
    NotAPicture,
    Other, // named by the system's own text
};

// Why the system refused: one of the usual ways, or the system's own text.
struct FileReason
{
    FileReason(FileProblem problem = FileProblem::Other, QString systemText = {}, QString disk = {},
               qint64 freeBytes = 0, qint64 neededBytes = 0)
        : problem(problem),
          systemText(std::move(systemText)),
          disk(std::move(disk)),
          freeBytes(freeBytes),
          neededBytes(neededBytes)
    {}

    FileProblem problem = FileProblem::Other;
    QString systemText; // what the system (for Other) or a picture decoder said, beside our words
    // For a disk found full: its root, and the room there was and was needed.
    QString disk;
    qint64 freeBytes = 0;
    qint64 neededBytes = 0;

    bool operator==(const FileReason &) const = default;
};

// What went wrong, as a code of its area and what a message about it names.
// The words are made from it in one place, away from the code that found it.
template<typename Code>
struct Problem
{
    Problem() = default;
    Problem(Code code, QString path = {}, QStringList names = {}, qint64 number = 0, qint64 limit = 0,
            std::optional<FileReason> reason = {}, std::vector<Problem> parts = {})
        : code(code),
          path(std::move(path)),
          names(std::move(names)),
          number(number),
          limit(limit),
          reason(std::move(reason)),
          parts(std::move(parts))
    {}

    Code code{};
    QString path;                     // the file or folder it is about
    QStringList names;                // what else it names, in the message's order
    qint64 number = 0;                // a row, a count, a size
    qint64 limit = 0;                 // the most number may be
    std::optional<FileReason> reason; // what the system said
    std::vector<Problem> parts;       // the problems a message lists under it
};

// Nothing, or what went wrong.
template<typename Code>
using Failure = std::optional<Problem<Code>>;

// What became of what a problem stopped or spoiled, said after it.
enum class Aftermath {
    None,
    NotSaved,         // the save did not happen
    DiaryUnchanged,   // nothing of the day reached the diary
    DiarySaved,       // the day is in the diary all the same
    OpensEmpty,       // the program goes on without the diary's days
    ShortenFirst,     // the user is to shorten a text and save again
    GraphNotKept,     // the graph settings hold for this run only
    SettingsNotSaved, // the settings stay as they were
    SwitchNotKept,    // a switch holds for this run only
    PhotoFileKept,    // the photo file stays as it is
    End               // not an aftermath: counts the ones above
};
