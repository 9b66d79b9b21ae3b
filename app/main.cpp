#include "messages.h"
#include "startup.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    QString problem;
    const ProgramPaths paths = startingPaths(QCoreApplication::applicationDirPath(), &problem);
    if (!problem.isEmpty()) {
        Messages::error(QStringLiteral("プログラムフォルダ \"%1\" を用意できません: %2").arg(paths.ExeDir, problem));
        return 1;
    }
    MainWindow Frm_Main(paths);
    Frm_Main.show();
    return QApplication::exec();
}
