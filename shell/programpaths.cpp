#include "programpaths.h"

ProgramPaths ProgramPaths::fromExeDir(const QString &exeDir)
{
    return forFolder(exeDir, {});
}

ProgramPaths ProgramPaths::forFolder(const QString &folder, const Installation &installation)
{
    ProgramPaths paths;
    paths.ExeDir = folder.endsWith(u'/') ? folder : folder + u'/';
    paths.IniPath = paths.ExeDir + FixedNames::IniFile;
    paths.BookPath = paths.ExeDir + FixedNames::Workbook;
    paths.PictureDir = paths.ExeDir + FixedNames::PictureFolder;
    paths.BkGrndDir = paths.ExeDir + FixedNames::BackgroundFolder;
    paths.BoxingDir = paths.ExeDir + FixedNames::BoxingFolder;
    paths.CompanionDir = installation.isInstalled() ? installation.companionDir : paths.BoxingDir;
    paths.HelpDir = installation.isInstalled() ? installation.shareDir + FixedNames::HelpFolder
                                               : paths.ExeDir + FixedNames::HelpFolder;
    return paths;
}
