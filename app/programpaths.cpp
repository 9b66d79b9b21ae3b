#include "programpaths.h"

ProgramPaths ProgramPaths::fromExeDir(const QString &exeDir)
{
    ProgramPaths paths;
    paths.ExeDir = exeDir.endsWith(u'/') ? exeDir : exeDir + u'/';
    paths.IniPath = paths.ExeDir + FixedNames::IniFile;
    paths.BookPath = paths.ExeDir + FixedNames::Workbook;
    paths.PictureDir = paths.ExeDir + FixedNames::PictureFolder;
    paths.BkGrndDir = paths.ExeDir + FixedNames::BackgroundFolder;
    paths.BoxingDir = paths.ExeDir + FixedNames::BoxingFolder;
    paths.HelpDir = paths.ExeDir + FixedNames::HelpFolder;
    return paths;
}
