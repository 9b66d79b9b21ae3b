#pragma once

#include "diaryproblem.h"

#include <QString>

// The fixed names, all relative to the program folder.
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

// The environment variable that names the program folder; the program sets
// it for the companions it starts, so they find the exchange files.
inline constexpr char ProgramFolderVariable[] = "TRIMBO_HOME";

// The folder that holds the user's settings, diary and photos, and why it
// was chosen.
struct ProgramFolder
{
    enum class Reason { Variable, BesideExecutable, UserDataFolder };
    QString path; // ends in "/"
    Reason reason;
};

// TRIMBO_HOME when it is set; else the executable's own folder when it holds
// Trimbo.ini (a checkout's Trimbo/ or a folder copied from Windows); else the
// user's data folder, $XDG_DATA_HOME/trimbo (~/.local/share/trimbo).
ProgramFolder findProgramFolder(const QString &exeDir);

// One line saying which folder and why, for people.
QString programFolderReason(const ProgramFolder &folder, const QString &exeDir);

// The installed program's own read-only files: the starting files a new
// program folder is laid out from, the help page, and the companions. Both
// are found relative to the executable, so an unpacked package works from
// wherever it was unpacked. Empty when the executable is not installed (it
// runs from a build or from a program folder).
struct Installation
{
    QString shareDir;     // ends in "/"
    QString companionDir; // ends in "/"

    bool isInstalled() const { return !shareDir.isEmpty(); }
};

Installation installationOf(const QString &exeDir);

// Lays out a program folder as the set-up does for a new user: the folders
// Picture/, BkGrnd/ and BoxingGame/, the background pictures from
// startingDir's BkGrnd/, a starting Trimbo.ini, an empty diary and the two
// exchange files. A file that is already there is never written. Returns
// what could not be made, if anything.
DiaryFailure layOutProgramFolder(const QString &startingDir, const QString &folder);
