#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "newworkbook.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

// A diary saved by a process that is killed at any moment holds either the
// old or the new content of its last save, never a broken workbook.
class TestCrash : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void killedSavesLeaveOldOrNew();
};

void TestCrash::killedSavesLeaveOldOrNew()
{
    TempProgramFolder folder;
    folder.write("Bk_Trimbo.xls", newDiaryWorkbook("St_Trimbo"));
    const QString path = folder.filePath("Bk_Trimbo.xls");
    QRandomGenerator random(20261206);
    int confirmed = 0; // rows that a completed save reported
    int span = 0;
    for (int kill = 0; kill <= 200; ++kill) {
        QElapsedTimer started;
        QProcess child;
        started.start();
        child.start(QCoreApplication::applicationDirPath() + "/crashsaver", {path});
        // The first run measures how long the saver takes to start and finish
        // its first save here (a sanitizer build is much slower): the kills
        // after it fall anywhere within three times that.
        if (kill == 0) {
            QVERIFY(child.waitForReadyRead(30000));
            span = int(3 * started.elapsed()) + 1;
        } else {
            QVERIFY(child.waitForStarted());
            QThread::msleep(random.bounded(span));
        }
        child.kill();
        QVERIFY(child.waitForFinished());
        for (const QByteArray &line : child.readAllStandardOutput().split('\n'))
            confirmed = line.isEmpty() ? confirmed : line.toInt();

        DiaryBook book(path);
        QVERIFY(!book.open());
        const int rows = std::max(book.firstEmptyRow() - 1, 0);
        QVERIFY2(rows == confirmed || rows == confirmed + 1,
                 qPrintable(QStringLiteral("kill %1: %2 rows, %3 confirmed").arg(kill).arg(rows).arg(confirmed)));
        const DiaryTable table = book.table();
        for (int r = 1; r <= rows; ++r) {
            QCOMPARE(table.cell(r, DiaryColumn::Date).toText(), dateText(QDate(2000, 1, 1).addDays(r - 1)));
            QCOMPARE(table.cell(r, DiaryColumn::IntakeComment).toText(), QStringLiteral("日 %1").arg(r - 1));
        }
        confirmed = rows;
    }
    QVERIFY2(confirmed > 10, "the saver hardly ever completed a save");
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
