#pragma once

#include <QString>

class QFileDevice;

// The usual ways a file lets the user down, each in one wording of its own.
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
};

// The words a message gives for a problem.
QString fileProblemText(FileProblem problem);

// Why a system call failed (an errno value), in the user's words; a reason
// without words of its own is named by the system in parentheses.
QString systemReason(int error);

// Why a QFile or QSaveFile failed, in the user's words. Qt keeps only its
// own text of the reason, so that text is matched to the system's reasons,
// and what is there on disk names the rest.
QString fileReason(const QFileDevice &file);
