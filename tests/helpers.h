#pragma once

#include "diarybook.h"
#include "launcher.h"
#include "messages.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QWidget>

// A control of a window by its object name; the test stops when it is missing.
template<typename T>
T *control(const QWidget &window, const char *name)
{
    T *found = window.findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("no control %s", name);
    return found;
}

// The control loses the keyboard focus, as when the user moves on.
void leave(QWidget *control);

// Types text into the control: ASCII key by key, anything else as a
// Japanese input method hands it over, committed in one piece.
void typeText(QWidget *control, const QString &text);

// Where the keyboard focus is, by object name; a radio button counts as its group.
QString focusName();

// Picks a day on the entry tab as the user does: "選択日", then the day
// clicked in the drop-down calendar.
void pickDay(const QWidget &entryTab, QDate day);

// Stands in for the message boxes while alive: records every text and answers
// questions from a queue (No when the queue is empty).
class RecordingResponder final : public Messages::Responder
{
public:
    RecordingResponder();
    ~RecordingResponder() override;

    void show(Messages::Kind kind, const QString &text) override;
    bool ask(const QString &question) override;

    QStringList shown;   // information and error texts, in order
    QStringList asked;   // questions, in order
    QList<bool> answers; // the answers still to give
};

// Records what would have been started or opened.
class RecordingShell final : public DesktopShell
{
public:
    bool startDetached(const QString &program, const QString &workingDirectory) override;
    bool openUrl(const QUrl &url) override;

    QStringList started;
    QStringList startedIn;
    QList<QUrl> opened;
    bool refuses = false; // as a desktop with nothing to open a file with
};

// A program folder of its own, removed with the object.
class TempProgramFolder
{
public:
    TempProgramFolder();
    // Below parent instead of the system's temporary folder (when not empty).
    explicit TempProgramFolder(const QString &parent);

    QString path() const; // ends in "/"
    QString filePath(const QString &name) const;
    void write(const QString &name, const QByteArray &content) const;
    // What the program needs to start, with the settings byte for byte
    // (layOutFixtureFolder, which also takes settings fields).
    void layOut(const QByteArray &settings) const;
    QByteArray read(const QString &name) const;
    // Every file and folder below, with its size and time of change.
    QStringList snapshot() const;

private:
    QTemporaryDir m_dir;
};

// A day of 60 kg and 20 %, both levels 1, with the given intake comment.
DayValues dayAt(const QString &date, const QString &weight = QStringLiteral("60"), const QString &comment = QString());

// The bytes of a file; empty when it cannot be read.
QByteArray fileBytes(const QString &path);
