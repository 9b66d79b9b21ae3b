#include "startup.h"
#include "tfrm_main.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    prepareApplication();
    TFrm_Main Frm_Main(QCoreApplication::applicationDirPath());
    Frm_Main.show();
    return QApplication::exec();
}
