// Starts the diary as the program does, from the program folder given, and
// ends as soon as the main window has been shown, filled and painted: what
// a start costs a user, measured by bench_startup from outside the process.
#include "startup.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    prepareApplication();
    MainWindow window(QString::fromLocal8Bit(argv[1]));
    window.show();
    window.repaint();
    return window.stopped() ? 1 : 0;
}
