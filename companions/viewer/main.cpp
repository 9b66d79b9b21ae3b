#include "japanese.h"
#include "levelfile.h"
#include "programfolder.h"
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

    // The diary writes both into its program folder's BoxingGame/, which it
    // names in TRIMBO_HOME; started by hand, the viewer reads them beside
    // itself, whatever folder it was started from.
    const QString home = qEnvironmentVariable(ProgramFolderVariable);
    const QString folder =
        home.isEmpty() ? QCoreApplication::applicationDirPath() + u'/' : home + u'/' + FixedNames::BoxingFolder;
    const ViewerPlan plan =
        planViewer(readLevelFile(folder + FixedNames::BeforeDataFile), readLevelFile(folder + FixedNames::DataFile));

    ViewerWindow window(plan);
    window.resize(380, 560);
    window.show();
    window.start();
    return QApplication::exec();
}
