#include "systemreason.h"

#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

// The system's reasons that have words of their own.
constexpr std::pair<int, FileProblem> ProblemOfError[] = {
    {ENOENT, FileProblem::Missing},     {EISDIR, FileProblem::Folder},         {EACCES, FileProblem::NoPermission},
    {EPERM, FileProblem::NoPermission}, {EROFS, FileProblem::ReadOnlyDisk},    {ENOSPC, FileProblem::DiskFull},
    {EDQUOT, FileProblem::OverQuota},   {EFBIG, FileProblem::BeyondSizeLimit},
};

QString unknownReason(const QString &systemText)
{
    return QStringLiteral("システムのエラーです (%1)").arg(systemText);
}

} // namespace

QString fileProblemText(FileProblem problem)
{
    switch (problem) {
    case FileProblem::Missing: return QStringLiteral("ファイルがありません");
    case FileProblem::Folder: return QStringLiteral("ファイルではなくフォルダーです");
    case FileProblem::NoPermission: return QStringLiteral("アクセスが許されていません");
    case FileProblem::ReadOnlyDisk: return QStringLiteral("読み取り専用のディスクです");
    case FileProblem::DiskFull: return QStringLiteral("ディスクに空きがありません");
    case FileProblem::OverQuota: return QStringLiteral("ディスクの使用量の上限を超えます");
    case FileProblem::BeyondSizeLimit: return QStringLiteral("ファイルの大きさの上限を超えます");
    case FileProblem::CutShort: return QStringLiteral("ファイルが途中で切れています");
    case FileProblem::TooLarge: return QStringLiteral("ファイルが大きすぎます");
    case FileProblem::NotAPicture: return QStringLiteral("画像ファイルとして読めません");
    }
    return {};
}

QString systemReason(int error)
{
    for (const auto &[known, problem] : ProblemOfError) {
        if (known == error)
            return fileProblemText(problem);
    }
    return unknownReason(QString::fromLocal8Bit(std::strerror(error)));
}

QString fileReason(const QFileDevice &file)
{
    const QString said = file.errorString();
    for (const auto &[known, problem] : ProblemOfError) {
        if (said == qt_error_string(known))
            return fileProblemText(problem);
    }
    // Qt's own reasons ("file to open is a directory", "Existing file … is
    // not writable") come from what the file is.
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return fileProblemText(FileProblem::Folder);
    if (!info.exists())
        return fileProblemText(FileProblem::Missing);
    const bool refused = file.error() == QFileDevice::OpenError
                             ? !info.isReadable()
                             : file.error() == QFileDevice::WriteError && !info.isWritable();
    if (refused)
        return fileProblemText(FileProblem::NoPermission);
    return unknownReason(said);
}
