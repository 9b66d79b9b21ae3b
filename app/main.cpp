#include "tfrm_main.h"

#include <QApplication>
#include <QFont>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Trimbo"));
    // The windows are laid out for Tahoma; a CJK face stands in for it so the
    // Japanese captions render.
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK JP"));

    TFrm_Main Frm_Main(QCoreApplication::applicationDirPath());
    Frm_Main.show();
    return QApplication::exec();
}
