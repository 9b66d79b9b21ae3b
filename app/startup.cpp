#include "startup.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>

void prepareApplication()
{
    QApplication::setApplicationName(QStringLiteral("Trimbo"));
    // The installed menu entry and icon, so that the desktop shows the
    // program's windows under its own icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.trimbo.Trimbo"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.trimbo.Trimbo")));
    // The windows are laid out for Tahoma; a CJK face stands in for it so the
    // Japanese captions render.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK JP"));
}

ProgramPaths startingPaths(const QString &exeDir, QString *problem)
{
    const ProgramFolder folder = findProgramFolder(exeDir);
    const Installation installation = installationOf(exeDir);
    if (installation.isInstalled() && folder.reason != ProgramFolder::Reason::BesideExecutable)
        *problem = layOutProgramFolder(installation.shareDir, folder.path);
    qputenv(ProgramFolderVariable, QFile::encodeName(folder.path));
    return ProgramPaths::forFolder(folder.path, installation);
}
