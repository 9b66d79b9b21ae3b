#pragma once

#include <QString>
#include <QUrl>

// What the desktop offers for opening a file; a seam so tests can see what
// would have been started without starting it.
class DesktopShell
{
public:
    virtual ~DesktopShell() = default;
    virtual bool startDetached(const QString &program, const QString &workingDirectory) = 0;
    virtual bool openUrl(const QUrl &url) = 0;
};

// Opens a companion file as a double click would: an executable is started
// as a process of its own, any other file goes to the desktop's default
// handler, and a file that is not there is left alone without a word.
class Launcher
{
public:
    enum class Result { Missing, Started, HandedToDesktop, Failed };

    explicit Launcher(DesktopShell *shell = nullptr); // nullptr: the real desktop
    Result open(const QString &path);

private:
    DesktopShell *m_shell;
};
