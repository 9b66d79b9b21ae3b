#include "datetext.h"
#include "diarybook.h"
#include "helpers.h"
#include "mainwindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QTest>

// The trend tab in the main window: off on a settings file of the Windows
// version, each switch at once on the graph and in the file, whose Windows
// sections stay byte for byte.

namespace {

const QByteArray windowsSettings = "[Graph]\r\nWUpper=70\r\nWDown=60\r\nFUpper=25\r\nFDown=15\r\nGraphVis=0\r\n"
                                   "StartD=2010/01/01\r\nEndD=2010/01/31\r\nLineClW=255\r\nBckGrnd=1\r\n"
                                   "TrimboVis=1\r\n\r\n[Establish]\r\nDStartW=64\r\nGoalW=61.5\r\nGoalF=20\r\n";

} // namespace

class TestTrendTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Off at first; then each switch at once on the graph and in the file.
    void switchesTakeEffectAtOnceAndAreSaved()
    {
        RecordingResponder messages;
        TempProgramFolder folder;
        folder.layOut(windowsSettings);
        std::vector<DayValues> days; // January 2010 weighed every day, falling from 64 to 62.5
        for (int d = 1; d <= 31; ++d)
            days.push_back({dateText(QDate(2010, 1, d)), QString::number(64 - 0.05 * (d - 1)), "22", 1, 1, "", "", ""});
        QVERIFY(saveDays(folder.filePath("Bk_Trimbo.xls"), days, false).saved);
        MainWindow window(folder.path());
        window.show();
        const auto graphImage = [&] { return control<QLabel>(window, "Img_Main")->pixmap().toImage(); };
        const auto switches = [](const MainWindow &shown) {
            QList<bool> on;
            for (const char *name : {"ChkBx_Trend", "ChkBx_GoalLines", "ChkBx_LatestDays", "ChkBx_Backups"})
                on << control<QCheckBox>(shown, name)->isChecked();
            return on;
        };
        // Off on a settings file of the Windows version, which is left as it was.
        QCOMPARE(switches(window), QList<bool>(4, false));
        QCOMPARE(folder.read("Trimbo.ini"), windowsSettings);
        const QImage plain = graphImage();

        control<QCheckBox>(window, "ChkBx_Trend")->click();
        const QImage withTrend = graphImage();
        QVERIFY(withTrend != plain);
        // January 2010 is long past: the trend stands, but the last 28 days hold no record.
        const QString none = "　記録が足りないため予想できません（直近28日で14日以上必要です）";
        QCOMPARE(control<QLabel>(window, "Lbl_Figures")->text(),
                 "体重　トレンド 62.9 kg（－）\n" + none + "\n\n体脂肪率　トレンド 22.0 %（－）\n" + none);

        control<QCheckBox>(window, "ChkBx_GoalLines")->click();
        QVERIFY(graphImage() != withTrend);
        QCOMPARE(folder.read("Trimbo.ini"),
                 windowsSettings + "[Trend]\r\nTrend=1\r\nGoalLines=1\r\nLatestDays=0\r\nBackups=0\r\nReadOut=0\r\n");

        // Both off again: the graph as it was, to the pixel.
        control<QCheckBox>(window, "ChkBx_Trend")->click();
        control<QCheckBox>(window, "ChkBx_GoalLines")->click();
        QCOMPARE(graphImage(), plain);
        QVERIFY(messages.shown.isEmpty());

        // The next start reads the switches back; the latest days end the
        // graph today, but the stored window is kept until the graph settings are saved.
        control<QCheckBox>(window, "ChkBx_Trend")->click();
        control<QCheckBox>(window, "ChkBx_LatestDays")->click();
        MainWindow again(folder.path());
        again.show();
        QCOMPARE(switches(again), (QList<bool>{true, false, true, false}));
        QCOMPARE(control<QDateEdit>(again, "Dt_Grph_StartD")->date(), QDate::currentDate().addDays(-30));
        QCOMPARE(control<QDateEdit>(again, "Dt_Grph_EndD")->date(), QDate::currentDate());
        QVERIFY(folder.read("Trimbo.ini")
                    .startsWith(windowsSettings + "[Trend]\r\nTrend=1\r\nGoalLines=0\r\nLatestDays=1\r\n"));
    }
};

QTEST_MAIN(TestTrendTab)
#include "tst_trendtab.moc"
