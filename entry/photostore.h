#pragma once

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

struct LoadedPicture
{
    QImage image;
    QString error; // why the file gave no picture
};
LoadedPicture loadPicture(const QString &path);

// What a save does to the day's photo file, worked out before anything is
// written, so that a save that fails half-way leaves the photo as it was.
struct PhotoChange
{
    enum Action { Nothing, Write, Delete } action = Nothing;
    QString target;     // the day's file
    QByteArray bitmap;  // for Write
    QString reference;  // what the day's photo column then holds
    QString error;
};

// Mode 0 when the thumbnail shows a picture, 1 when it is empty. reference
// is the photo reference (the chosen file, or the stored name); shown is
// the picture as loaded.
PhotoChange SavePicture(int mode, const QString &reference, const QImage &shown, QDate day,
                        const QString &pictureDir);

// Leaves the day's photo file as it is and the day referring to it.
PhotoChange keepPhoto(const QString &reference);

// Carries a change out in two steps: staged, a new picture is written beside
// its final place (so a missing folder or a full disk shows up before the
// diary is touched); committed, it takes its place, or the old one goes.
// Each returns false, with the reason, when it could not be done; a staged
// picture that is never committed leaves nothing behind.
class PhotoWriter
{
public:
    explicit PhotoWriter(PhotoChange change);
    ~PhotoWriter();
    bool stage(QString *error);
    bool commit(QString *error);

private:
    PhotoChange m_change;
    std::unique_ptr<class QSaveFile> m_file;
};
