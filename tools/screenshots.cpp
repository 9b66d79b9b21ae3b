// Saves a picture of the main window with each of its tabs open, as the
// program shows it when started from a given program folder:
//   trimbo-screenshots PROGRAM_FOLDER OUTPUT_FOLDER
#include "tfrm_main.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        qCritical("usage: trimbo-screenshots PROGRAM_FOLDER OUTPUT_FOLDER");
        return 2;
    }
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("Noto Sans CJK JP"));
    const QString output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);

    TFrm_Main window(QString::fromLocal8Bit(argv[1]));
    window.show();
    if (window.stopped())
        return 1;
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("Pg_Cntrl"));
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        const QString file = QStringLiteral("%1/main-%2.png").arg(output, pages->widget(i)->objectName());
        if (!window.grab().save(file))
            return 1;
        qInfo("%s", qPrintable(file));
    }
    return 0;
}
