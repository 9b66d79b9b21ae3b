#include "startup.h"

#include "japanese.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QIcon>
#include <QImageReader>

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
    // How large a day photo may be is set by the room its bitmap takes in the
    // photo folder; the memory a picture may take to decode only stops
    // pictures no camera makes (Qt's own limit refused 48-megapixel photos).
    QImageReader::setAllocationLimit(1024);
    useJapanese();
}

ProgramPaths startingPaths(const QString &exeDir, DiaryFailure *problem)
{
    const ProgramFolder folder = findProgramFolder(exeDir);
    const Installation installation = installationOf(exeDir);
    if (installation.isInstalled() && folder.reason != ProgramFolder::Reason::BesideExecutable)
        *problem = layOutProgramFolder(installation.shareDir, folder.path);
    qputenv(ProgramFolderVariable, QFile::encodeName(folder.path));
    return ProgramPaths::forFolder(folder.path, installation);
}
