// Saves one new day after another into a diary until it is killed, and
// reports each save that has completed on stdout: the crash test's victim.
#include "datetext.h"
#include "diarybook.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    for (;;) {
        DiaryBook book(path);
        if (book.open())
            return 1;
        const int rows = std::max(book.firstEmptyRow() - 1, 0);
        book.close();
        const QString date = dateText(QDate(2000, 1, 1).addDays(rows));
        if (!saveDays(path, {{date, QString::number(rows), "", 1, 1, QStringLiteral("日 %1").arg(rows), "", ""}}, false)
                 .saved)
            return 1;
        std::printf("%d\n", rows + 1);
        std::fflush(stdout);
    }
}
