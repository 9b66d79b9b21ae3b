#pragma once

#include <QByteArray>
#include <QString>

class QSaveFile;

// Replaces a file in one step: the bytes go to a temporary file beside it,
// reach the disk, and only then take its name. On failure the old file is as
// it was, no temporary file stays, and error says why.
bool replaceFile(const QString &path, const QByteArray &bytes, QString *error);

// Opens a QSaveFile so that a failed write is never committed. In its
// buffered mode Qt writes the buffer out while committing and renames the
// file even when that write failed (on a full disk an empty file took the
// old one's place), so the writes go straight to the file instead, where
// commit() sees their failure.
bool openForReplacing(QSaveFile &file);
