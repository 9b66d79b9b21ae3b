#include "japanese.h"
#include "levelfile.h"
#include "programpaths.h"
#include "viewerplan.h"
#include "viewerwindow.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Figurat"));
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK JP")));
    useJapanese();

    // Beside the executable, whatever folder it was started from.
    const QString folder = QCoreApplication::applicationDirPath() + u'/';
    // The diary writes both into the viewer's own folder.
    const ViewerPlan plan = planViewer(readLevelFile(folder + FixedNames::BeforeDataFile),
                                       readLevelFile(folder + FixedNames::DataFile));

    ViewerWindow window(plan);
    window.resize(380, 560);
    window.show();
    window.start();
    return QApplication::exec();
}
