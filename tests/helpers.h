#pragma once

#include "launcher.h"
#include "messages.h"

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

// Stands in for the message boxes while alive: records every text and answers
// questions from a queue (No when the queue is empty).
class RecordingResponder final : public Messages::Responder
{
public:
    RecordingResponder();
    ~RecordingResponder() override;

    void show(Messages::Kind kind, const QString &text) override;
    bool ask(const QString &question) override;

    QStringList shown;      // information and error texts, in order
    QStringList asked;      // questions, in order
    QList<bool> answers;    // the answers still to give
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
};

// A program folder of its own, removed with the object.
class TempProgramFolder
{
public:
    TempProgramFolder();

    QString path() const;                        // ends in "/"
    QString filePath(const QString &name) const;
    void write(const QString &name, const QByteArray &content) const;
    QByteArray read(const QString &name) const;
    // Every file and folder below, with its size and time of change.
    QStringList snapshot() const;

private:
    QTemporaryDir m_dir;
};
