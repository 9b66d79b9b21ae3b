// Saves a picture of the main window with each of its tabs open and with
// the graph's read-out shown, of the setup dialog, of the list window in each
// of its display modes and with its weekly and monthly summaries, and of the
// dialogs Qt draws for the program (the entry day's calendar, the overwrite
// question, the picture dialog), as the program shows them when started from
// a given program folder:
//   trimbo-screenshots PROGRAM_FOLDER OUTPUT_FOLDER
#include "datetext.h"
#include "entryrules.h"
#include "photostore.h"
#include "setupdialog.h"
#include "startup.h"
#include "mainwindow.h"
#include "recordlistdialog.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QDateEdit>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>

namespace {

// The main window as the screen shows it with the pointer resting on a
// recorded day a little right of the graph's middle: the read-out is a
// window of its own, so the screen is grabbed rather than the window.
bool saveReadOut(MainWindow &window, const QString &file)
{
    auto *picture = window.findChild<QLabel *>(QStringLiteral("Img_Main"));
    QPoint point(picture->width() * 11 / 20, picture->height() / 2);
    while (point.x() > 0 && window.graphReadOut(point).isEmpty())
        point.rx() -= 1;
    if (point.x() == 0)
        return false;
    QMouseEvent move(QEvent::MouseMove, point, picture->mapToGlobal(point), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(picture, &move);
    QEventLoop wait;
    QTimer::singleShot(500, &wait, &QEventLoop::quit);
    wait.exec();
    const QRect area = window.frameGeometry();
    return window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).save(file);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        qCritical("usage: trimbo-screenshots PROGRAM_FOLDER OUTPUT_FOLDER");
        return 2;
    }
    prepareApplication();
    const QString output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);

    MainWindow window(QString::fromLocal8Bit(argv[1]));
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
    const QString readOut = output + QStringLiteral("/main-readout.png");
    if (window.core().settings().trend.ReadOut == 1) {
        if (!saveReadOut(window, readOut))
            return 1;
        qInfo("%s", qPrintable(readOut));
    }
    const auto save = [&](QWidget &widget, const QString &name) {
        const QString file = QStringLiteral("%1/%2.png").arg(output, name);
        widget.show();
        if (!widget.grab().save(file))
            return false;
        qInfo("%s", qPrintable(file));
        return true;
    };
    const DiaryCore &core = window.core();
    // Shown only, never saved.
    SetupDialog setup(core.settings().establish, [](const EstablishSettings &) { return false; });
    if (!save(setup, QStringLiteral("setup")))
        return 1;
    RecordListDialog list(&core.diary(), dateOrToday(core.settings().graph.StartD),
                          dateOrToday(core.settings().graph.EndD), core.paths().PictureDir);
    for (const auto mode : {RecordListDialog::OneLine, RecordListDialog::WrappedComments, RecordListDialog::Pictures}) {
        list.DataToStrGrd(mode);
        if (!save(list, QStringLiteral("list-%1").arg(int(mode))))
            return 1;
    }
    for (const auto &[view, name] :
         {std::pair{RecordListDialog::Weeks, "weeks"}, std::pair{RecordListDialog::Months, "months"}}) {
        list.showView(view);
        if (!save(list, QStringLiteral("list-%1").arg(QLatin1String(name))))
            return 1;
    }
    QCalendarWidget *calendar = window.findChild<QDateEdit *>(QStringLiteral("Dt_Enter_Day"))->calendarWidget();
    calendar->resize(calendar->sizeHint());
    QMessageBox question(QMessageBox::Question, QApplication::applicationDisplayName(),
                         overwriteQuestion(QDate::currentDate()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                         QMessageBox::Yes | QMessageBox::No);
    QFileDialog pictures(nullptr, QStringLiteral("写真選択"), core.paths().PictureDir, pictureFilter());
    pictures.setOption(QFileDialog::DontUseNativeDialog);
    return save(*calendar, QStringLiteral("calendar")) && save(question, QStringLiteral("question"))
                   && save(pictures, QStringLiteral("picture-dialog"))
               ? 0
               : 1;
}
