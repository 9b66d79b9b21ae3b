#pragma once

#include <QString>

// The fixed names, all relative to the program's own folder.
namespace FixedNames {
inline constexpr QLatin1String IniFile("Trimbo.ini");
inline constexpr QLatin1String Workbook("Bk_Trimbo.xls");
inline constexpr QLatin1String BoxingGame("Trimbo_flash.exe");
inline constexpr QLatin1String FigureViewer("Figurat.exe");
inline constexpr QLatin1String DataFile("data.txt");
inline constexpr QLatin1String BeforeDataFile("Beforedata.txt");
inline constexpr QLatin1String HelpPage("TrimboMovie.html");
inline constexpr QLatin1String PictureFolder("Picture/");
inline constexpr QLatin1String BackgroundFolder("BkGrnd/");
inline constexpr QLatin1String BoxingFolder("BoxingGame/");
inline constexpr QLatin1String HelpFolder("Help/");
} // namespace FixedNames

// Everything the program uses is found beside its executable, never through
// the working directory. Folder paths end in "/" and file names are appended
// to them directly.
struct ProgramPaths
{
    QString ExeDir;
    QString IniPath;
    QString BookPath;
    QString PictureDir;
    QString BkGrndDir;
    QString BoxingDir;
    QString HelpDir;

    static ProgramPaths fromExeDir(const QString &exeDir);
};
