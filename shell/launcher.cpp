#include "launcher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>

namespace {

class SystemShell final : public DesktopShell
{
public:
    bool startDetached(const QString &program, const QString &workingDirectory) override
    {
        return QProcess::startDetached(program, {}, workingDirectory);
    }

    bool openUrl(const QUrl &url) override { return QDesktopServices::openUrl(url); }
};

SystemShell systemShell;

} // namespace

Launcher::Launcher(DesktopShell *shell) : m_shell(shell ? shell : &systemShell) {}

Launcher::Result Launcher::open(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile())
        return Result::Missing;
    // A companion finds its files beside itself, so it starts in its own folder.
    if (file.isExecutable())
        return m_shell->startDetached(file.absoluteFilePath(), file.absolutePath()) ? Result::Started : Result::Failed;
    return m_shell->openUrl(QUrl::fromLocalFile(file.absoluteFilePath())) ? Result::HandedToDesktop : Result::Failed;
}
