#pragma once

#include "problem.h"

#include <QByteArray>
#include <QString>

class QSaveFile;

// How a file that is a symbolic link is replaced.
enum class LinkHandling {
    // The link stays and the file it leads to is replaced, in that file's
    // own folder (a diary kept in a synced folder, say).
    ReplaceTarget,
    // The link itself is replaced by a file of its own; what it led to is
    // never touched.
    ReplaceLink,
};

// Replaces a file in one step: the bytes go to a temporary file beside it,
// reach the disk, and only then take its name. The new file keeps the old
// one's permissions and, where the process may, its owner. On failure the
// old file is as it was, no temporary file stays, and the reason is returned
// (a full disk named as such). When the old file had other hard links, which
// keep the old contents, splitLink (if given) is set.
std::optional<FileReason> replaceFile(const QString &path, const QByteArray &bytes,
                                      LinkHandling links = LinkHandling::ReplaceTarget, bool *splitLink = nullptr);

// The file a path finally leads to, following symbolic links; the path
// itself when it is none. The target need not exist.
QString linkTarget(const QString &path);

// Why writing bytes into folder failed: a full disk, with the room left and
// the room needed; otherwise the system's reason.
FileReason writeFailure(const QString &folder, qint64 bytes, const FileReason &systemReason);

// Opens a QSaveFile so that a failed write is never committed. In its
// buffered mode Qt writes the buffer out while committing and renames the
// file even when that write failed (on a full disk an empty file took the
// old one's place), so the writes go straight to the file instead, where
// commit() sees their failure.
bool openForReplacing(QSaveFile &file);
