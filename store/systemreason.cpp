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

} // namespace

FileReason reasonOfError(int error)
{
    for (const auto &[known, problem] : ProblemOfError) {
        if (known == error)
            return {problem, {}};
    }
    return {FileProblem::Other, QString::fromLocal8Bit(std::strerror(error))};
}

FileReason reasonOfFile(const QFileDevice &file)
{
    const QString said = file.errorString();
    for (const auto &[known, problem] : ProblemOfError) {
        if (said == qt_error_string(known))
            return {problem, {}};
    }
    // Qt's own reasons ("file to open is a directory", "Existing file … is
    // not writable") come from what the file is.
    const QFileInfo info(file.fileName());
    if (info.isDir())
        return {FileProblem::Folder, {}};
    if (!info.exists())
        return {FileProblem::Missing, {}};
    const bool refused = file.error() == QFileDevice::OpenError
                             ? !info.isReadable()
                             : file.error() == QFileDevice::WriteError && !info.isWritable();
    if (refused)
        return {FileProblem::NoPermission, {}};
    return {FileProblem::Other, said};
}
