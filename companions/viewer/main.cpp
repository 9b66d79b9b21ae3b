#include "levelfile.h"
#include "viewerplan.h"
#include "viewerwindow.h"

#include <QApplication>
#include <QFont>

namespace {

// Written by the diary into the viewer's own folder.
constexpr QLatin1String beforeLevelFile("Beforedata.txt");
constexpr QLatin1String newLevelFile("data.txt");

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Figurat"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP")));

    // Beside the executable, whatever folder it was started from.
    const QString folder = QCoreApplication::applicationDirPath() + u'/';
    const ViewerPlan plan = planViewer(readLevelFile(folder + beforeLevelFile), readLevelFile(folder + newLevelFile));

    ViewerWindow window(plan);
    window.resize(380, 560);
    window.show();
    window.start();
    return QApplication::exec();
}
