#pragma once

#include "photoproblem.h"
#include "pictureproblem.h"

#include <QByteArray>
#include <QDate>
#include <QImage>
#include <QString>
#include <memory>

// The day photos: one Windows bitmap per day in the photo folder, named
// after the day, e.g. 20100125.bmp.

QString photoName(QDate day);

// The picture formats that can be chosen, for the file dialog.
QString pictureFilter();
// Whether a file is of a kind a day photo can be made from (by its extension).
bool isStorablePicture(const QString &path);

// The size of the 24-bit bitmap a day photo of the given size is saved as.
qint64 photoFileSize(QSize size);

// Why the picture at path cannot become a day photo in pictureDir: the
// bitmap it is saved as must fit in the room left on that folder's disk.
// Read from the picture's header, before anything is decoded.
PictureFailure photoRoomProblem(const QString &path, const QString &pictureDir);

struct LoadedPicture
{
    QImage image;
    PictureFailure error; // why the file gave no picture
};
LoadedPicture loadPicture(const QString &path);
// The picture in bytes read from path (named in the messages).
LoadedPicture pictureFromBytes(const QString &path, const QByteArray &bytes);
// A day's stored photo, by its reference, read as photofile.h allows: an
// error without a picture for anything that is no usable file (no error
// for one that is simply gone).
LoadedPicture loadStoredPhoto(const QString &pictureDir, const QString &reference);

// What a save does to the day's photo file, worked out before anything is
// written, so that a save that fails half-way leaves the photo as it was.
struct PhotoChange
{
    enum Action { Nothing, Write, Delete } action = Nothing;
    QString target;    // the day's file
    QByteArray bitmap; // for Write
    QString reference; // what the day's photo column then holds
    PictureFailure error;
};

// Mode 0 when the thumbnail shows a picture, 1 when it is empty. reference
// is the photo reference (the chosen file, or the stored name); shown is
// the picture as loaded.
PhotoChange planPhotoChange(int mode, const QString &reference, const QImage &shown, QDate day,
                            const QString &pictureDir);

// Leaves the day's photo file as it is and the day referring to it.
PhotoChange keepPhoto(const QString &reference);

// Carries a change out in two steps: staged, a new picture is written beside
// its final place (so a missing folder or a full disk shows up before the
// diary is touched); committed, it takes its place, or the old one goes.
// Each returns the problem when it could not be done; a staged picture that
// is never committed leaves nothing behind.
class PhotoWriter
{
public:
    explicit PhotoWriter(PhotoChange change);
    ~PhotoWriter();
    PictureFailure stage();
    PictureFailure commit();

private:
    PhotoChange m_change;
    std::unique_ptr<class QSaveFile> m_file;
};
