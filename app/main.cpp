#include "messages.h"
#include "startup.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    DiaryFailure problem;
    const ProgramPaths paths = startingPaths(QCoreApplication::applicationDirPath(), &problem);
    if (problem) {
        Messages::error(
            problemText(DiaryProblem{DiaryError::ProgramFolderNotReady, paths.ExeDir, {}, 0, 0, {}, {*problem}}));
        return 1;
    }
    MainWindow Frm_Main(paths);
    Frm_Main.show();
    return QApplication::exec();
}
