#pragma once

#include "programfolder.h"

#include <QString>

// Everything the program uses is found in its program folder, never through
// the working directory; an installed program takes its help page and its
// companions from the installation instead. Folder paths end in "/" and file
// names are appended to them directly.
struct ProgramPaths
{
    QString ExeDir; // the program folder
    QString IniPath;
    QString BookPath;
    QString PictureDir;
    QString BkGrndDir;
    QString BoxingDir;    // the exchange files
    QString CompanionDir; // the boxing game and the body-shape viewer
    QString HelpDir;

    static ProgramPaths fromExeDir(const QString &exeDir);
    static ProgramPaths forFolder(const QString &folder, const Installation &installation);
};
