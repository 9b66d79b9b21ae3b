#pragma once

#include "diarytable.h"
#include "photoproblem.h"

#include <QString>
#include <QStringList>

// A day's photo reference (column H) names a file in the photo folder and
// nothing else: a plain file name, no folder separators, no "." or "..".
// Only a regular file there is ever opened (not a link, a FIFO, a device or
// a folder), and its size is known before a byte of it is read, so that
// nothing a sheet holds can make the program read outside the folder, wait
// on a pipe or read without end.

bool isPhotoFileName(QStringView reference);

struct PhotoFileCheck
{
    enum Status {
        Usable,   // a regular file of at most the size allowed
        Missing,  // no such file: a photo that is gone, shown as none without a word
        BadName,  // not a file name inside the folder
        NotAFile, // a link, FIFO, device, socket or folder
        TooLarge,
        Unreachable, // the folder or the file cannot be looked at
    } status;
    QString path;         // where the file is, for Usable
    PhotoFailure problem; // for every status but Usable and Missing
};

// Looks at the file a reference names in pictureDir (which ends in "/")
// without opening it, so it never blocks.
PhotoFileCheck checkPhotoFile(const QString &pictureDir, const QString &reference, qint64 maxBytes);

// Every reference of the diary that can never be shown as a photo, each
// naming its date and the reference; empty when all are usable or merely gone.
std::vector<PhotoProblem> unusablePhotoReferences(const DiaryTable &diary, const QString &pictureDir, qint64 maxBytes);

// Read only through checks like these: no stored photo is larger.
inline constexpr qint64 MaxPhotoBytes = qint64(256) * 1024 * 1024;

struct PhotoFileRead
{
    PhotoFileCheck check;
    QByteArray bytes;
};
// Opens the file without following a link and without waiting on a pipe,
// checks what was opened, then reads it.
PhotoFileRead readPhotoFile(const QString &pictureDir, const QString &reference, qint64 maxBytes);
