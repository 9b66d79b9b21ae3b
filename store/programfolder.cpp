#include "programfolder.h"

#include "datetext.h"
#include "diarybook.h"
#include "newworkbook.h"
#include "replacefile.h"
#include "systemreason.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QString withSlash(const QString &folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// The XDG base directory rules: a relative XDG_DATA_HOME is ignored.
QString userDataFolder()
{
    const QString configured = qEnvironmentVariable("XDG_DATA_HOME");
    const QString base =
        QDir::isAbsolutePath(configured) ? configured : QDir::homePath() + QStringLiteral("/.local/share");
    return withSlash(QDir::cleanPath(base + QStringLiteral("/trimbo")));
}

bool isThere(const QString &path)
{
    const QFileInfo file(path);
    return file.exists() || file.isSymLink();
}

// A new user's settings: the 30 days up to today on the graph, limits that
// suit an adult, and the diet starting today with its values still to fill in.
QByteArray startingSettings(bool whiteBackground)
{
    const QDate today = QDate::currentDate();
    const QByteArray first = dateText(today.addDays(-29)).toLatin1();
    const QByteArray last = dateText(today).toLatin1();
    const QByteArrayList lines{"[Graph]",
                               "WUpper=100",
                               "WDown=40",
                               "FUpper=40",
                               "FDown=10",
                               "GraphVis=0",
                               "StartD=" + first,
                               "EndD=" + last,
                               "LineClW=255",
                               "LineClF=16711680",
                               whiteBackground ? "BckGrnd=1" : "BckGrnd=0",
                               "TrimboVis=0",
                               "[Establish]",
                               "DStartD=" + last,
                               "DStartW=",
                               "DStartF=",
                               "GoalW=",
                               "GoalF=",
                               "FloatW=0",
                               "FloatF=0"};
    return lines.join("\r\n") + "\r\n";
}

DiaryFailure writeNew(const QString &path, const QByteArray &bytes)
{
    if (isThere(path))
        return std::nullopt;
    if (const std::optional<FileReason> why = replaceFile(path, bytes))
        return DiaryProblem{DiaryError::StartingFileNotWritten, path, {}, 0, 0, why};
    return std::nullopt;
}

DiaryFailure copyMissing(const QString &fromDir, const QString &toDir)
{
    const QDir from(fromDir);
    for (const QString &name : from.entryList(QDir::Files, QDir::Name)) {
        const QString target = toDir + name;
        if (isThere(target))
            continue;
        QFile source(from.filePath(name));
        if (!source.open(QIODevice::ReadOnly))
            return DiaryProblem{DiaryError::StartingFileNotRead, source.fileName(), {}, 0, 0, reasonOfFile(source)};
        if (DiaryFailure failed = writeNew(target, source.readAll()))
            return failed;
    }
    return std::nullopt;
}

} // namespace

ProgramFolder findProgramFolder(const QString &exeDir)
{
    if (const QString home = qEnvironmentVariable(ProgramFolderVariable); !home.isEmpty())
        return {withSlash(QDir::cleanPath(QDir(home).absolutePath())), ProgramFolder::Reason::Variable};
    if (QFileInfo::exists(withSlash(exeDir) + FixedNames::IniFile))
        return {withSlash(exeDir), ProgramFolder::Reason::BesideExecutable};
    return {userDataFolder(), ProgramFolder::Reason::UserDataFolder};
}

QString programFolderReason(const ProgramFolder &folder, const QString &exeDir)
{
    switch (folder.reason) {
    case ProgramFolder::Reason::Variable: return QStringLiteral("TRIMBO_HOME is set");
    case ProgramFolder::Reason::BesideExecutable:
        return QStringLiteral("%1 is beside the executable").arg(FixedNames::IniFile);
    case ProgramFolder::Reason::UserDataFolder: break;
    }
    return QStringLiteral("the user's data folder: TRIMBO_HOME is not set and %1 holds no %2")
        .arg(QDir::cleanPath(exeDir), FixedNames::IniFile);
}

Installation installationOf(const QString &exeDir)
{
    const QString shareDir = withSlash(QDir::cleanPath(withSlash(exeDir) + QStringLiteral(TRIMBO_SHARE_FROM_BIN)));
    const QString companionDir =
        withSlash(QDir::cleanPath(withSlash(exeDir) + QStringLiteral(TRIMBO_COMPANIONS_FROM_BIN)));
    if (!QFileInfo(shareDir + FixedNames::BackgroundFolder).isDir() || !QFileInfo(companionDir).isDir())
        return {};
    return {shareDir, companionDir};
}

DiaryFailure layOutProgramFolder(const QString &startingDir, const QString &folder)
{
    const QString dir = withSlash(folder);
    for (const QLatin1String sub : {FixedNames::PictureFolder, FixedNames::BackgroundFolder, FixedNames::BoxingFolder})
        if (!QDir().mkpath(dir + sub))
            return DiaryProblem{DiaryError::FolderNotMade, dir + sub};
    if (DiaryFailure failed =
            copyMissing(withSlash(startingDir) + FixedNames::BackgroundFolder, dir + FixedNames::BackgroundFolder))
        return failed;
    const bool white = QFileInfo::exists(dir + FixedNames::BackgroundFolder + QStringLiteral("White.bmp"));
    // The diary hands the viewer its levels only through files that exist.
    for (const auto &[path, bytes] :
         {std::pair{dir + FixedNames::IniFile, startingSettings(white)},
          std::pair{dir + FixedNames::Workbook, newDiaryWorkbook(DiarySheetName.toString())},
          std::pair{dir + FixedNames::BoxingFolder + FixedNames::BeforeDataFile, QByteArray("1\r\n")},
          std::pair{dir + FixedNames::BoxingFolder + FixedNames::DataFile, QByteArray("1\r\n")}})
        if (DiaryFailure failed = writeNew(path, bytes))
            return failed;
    return std::nullopt;
}
