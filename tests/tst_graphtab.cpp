#include "datetext.h"
#include "graphsettingstab.h"
#include "helpers.h"
#include "radiogroup.h"
#include "mainwindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

void typeAndLeave(QLineEdit *edit, const QString &text)
{
    edit->setText(text);
    leave(edit);
}

struct Refusal
{
    const char *control;
    QString typed;
    QString shown; // after leaving it
    QString rule;
};

struct Mending
{
    QString storedStart;
    QString storedEnd;
    const char *first; // the picker typed first
    const char *next;
};

} // namespace

Q_DECLARE_METATYPE(Refusal)
Q_DECLARE_METATYPE(Mending)

class TestGraphTab : public QObject
{
    Q_OBJECT

private:
    // The tab starts again from settings holding these dates, as if read from the file.
    void startFromStoredDates(const QString &start, const QString &end)
    {
        GraphSettings stored = m_tab->fields();
        stored.StartD = start;
        stored.EndD = end;
        m_tab->attach(stored, m_window->core().paths().BkGrndDir);
        m_tab->SetGraph();
    }

    QDateEdit *pick(const char *name, QDate date)
    {
        auto *picker = control<QDateEdit>(*m_tab, name);
        picker->setDate(date);
        leave(picker);
        return picker;
    }

    void restart(const QByteArray &settings)
    {
        m_window.reset();
        m_folder->layOut(settings);
        m_window = std::make_unique<MainWindow>(m_folder->path());
        m_window->show();
        m_tab = control<GraphSettingsTab>(*m_window, "Tab_Grph_Estb");
    }

    std::unique_ptr<RecordingResponder> m_messages;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
    GraphSettingsTab *m_tab = nullptr;

private Q_SLOTS:
    void init()
    {
        m_window.reset();
        m_messages.reset(); // before the next one takes over the boxes
        m_messages = std::make_unique<RecordingResponder>();
        m_folder = std::make_unique<TempProgramFolder>();
        restart("[Graph]\r\nWUpper=70\r\nWDown=60\r\nFUpper=30\r\nFDown=0.5\r\nGraphVis=0\r\nStartD=2010/01/01\r\n"
                "EndD=2010/01/31\r\nLineClW=255\r\nLineClF=16711680\r\nBckGrnd=1\r\nTrimboVis=0\r\n"
                "[Establish]\r\nGoalW=60\r\n");
        QVERIFY(m_messages->shown.isEmpty());
    }

    void graphDrawsFromTheLimitEdits()
    {
        typeAndLeave(control<QLineEdit>(*m_tab, "Edt_UpWlimit"), "61.5");
        QCOMPARE(m_tab->fields().WUpper, QString("61.5"));
        QVERIFY(m_tab->graphWindow().weight);
        QCOMPARE(m_tab->graphWindow().weight->upper, 61.5);

        auto *lower = control<QLineEdit>(*m_tab, "Edt_DwnWlimit");
        typeAndLeave(lower, "0"); // kept as typed, not accepted
        // The graph draws from the edits: 0 is the lower limit until it is put right.
        QVERIFY(m_tab->graphWindow().weight);
        QCOMPARE(m_tab->graphWindow().weight->lower, 0.0);
        typeAndLeave(lower, "heavy");
        QVERIFY(m_tab->graphWindow().weight);
        QCOMPARE(m_tab->graphWindow().weight->lower, 60.0); // no number: the accepted limit
    }

    // Each edit asks its own rule; a limit or date not taken says why under
    // the edits, never in a box, and the next one taken clears it.
    void refusalsSayWhy_data()
    {
        QTest::addColumn<Refusal>("refusal");
        const QString weight = "は使えません。体重は 0 から 1000 kg までの数値です。";
        const QString tooClose = "終了日は開始日の7日以上あとの日です。";
        QTest::newRow("weight upper") << Refusal{"Edt_UpWlimit", "1e20", "70", "「1e20」" + weight};
        QTest::newRow("weight lower") << Refusal{"Edt_DwnWlimit", "-3", "60", "「-3」" + weight};
        QTest::newRow("fat upper") << Refusal{"Edt_UpFlimit", "150", "30",
                                              "「150」は使えません。体脂肪率は 0 から 100 % までの数値です。"};
        QTest::newRow("fat lower") << Refusal{
            "Edt_DwnFlimit", "29.5", "0.5",
            "「29.5」は使えません。体脂肪率の下限は上限 30 より 1 以上小さい数値です。"};
        QTest::newRow("kept as typed") << Refusal{"Edt_UpWlimit", "heavy", "heavy",
                                                  "「heavy」は使えません。体重の上限は 0 以外の数値です。"};
        QTest::newRow("end date") << Refusal{"Dt_Grph_EndD", "2010/01/07", "2010/01/31", tooClose};
        QTest::newRow("start date") << Refusal{"Dt_Grph_StartD", "2010/02/02", "2010/01/01", tooClose};
    }
    void refusalsSayWhy()
    {
        QFETCH(Refusal, refusal);
        auto *said = control<QLabel>(*m_tab, "Lbl_Rule");
        if (qobject_cast<QDateEdit *>(control<QWidget>(*m_tab, refusal.control))) {
            QCOMPARE(dateText(pick(refusal.control, *parseDateText(refusal.typed))->date()), refusal.shown);
        } else {
            auto *limit = control<QLineEdit>(*m_tab, refusal.control);
            typeAndLeave(limit, refusal.typed);
            QCOMPARE(limit->text(), refusal.shown);
        }
        QCOMPARE(said->text(), refusal.rule);
        QVERIFY(m_messages->shown.isEmpty());
        const GraphSettings &fields = m_tab->fields();
        QCOMPARE((QStringList{fields.WUpper, fields.WDown, fields.FUpper, fields.FDown, fields.StartD, fields.EndD}),
                 (QStringList{"70", "60", "30", "0.5", "2010/01/01", "2010/01/31"})); // nothing refused was taken
        typeAndLeave(control<QLineEdit>(*m_tab, "Edt_UpWlimit"), "61.5");
        QCOMPARE(said->text(), QString());
    }

    // Each button steps its own limit from the accepted one, even when the
    // edit holds a text not taken.
    void stepButtons()
    {
        const std::tuple<const char *, const char *, QString, QString GraphSettings::*> steps[] = {
            {"SpdBtn_Wupup", "Edt_UpWlimit", "71", &GraphSettings::WUpper},
            {"SpdBtn_WupDwn", "Edt_UpWlimit", "70", &GraphSettings::WUpper},
            {"SpdBtn_WDwnup", "Edt_DwnWlimit", "61", &GraphSettings::WDown},
            {"SpdBtn_WDwndwn", "Edt_DwnWlimit", "60", &GraphSettings::WDown},
            {"SpdBtn_Fupup", "Edt_UpFlimit", "31", &GraphSettings::FUpper},
            {"SpdBtn_FupDwn", "Edt_UpFlimit", "30", &GraphSettings::FUpper},
            {"SpdBtn_FDwnup", "Edt_DwnFlimit", "1.5", &GraphSettings::FDown},
            {"SpdBtn_FDwndwn", "Edt_DwnFlimit", "0.5", &GraphSettings::FDown}};
        for (const auto &[button, edit, after, field] : steps) {
            control<QLineEdit>(*m_tab, edit)->setText("95");
            QTest::mouseClick(control<QToolButton>(*m_tab, button), Qt::LeftButton);
            QVERIFY2(control<QLineEdit>(*m_tab, edit)->text() == after && m_tab->fields().*field == after, button);
        }
        // A step stops at the bounds: 0.5 goes down to 0, not -0.5.
        QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_FDwndwn"), Qt::LeftButton);
        QCOMPARE(m_tab->fields().FDown, QString("0"));
    }

    // A stored pair that is no window (nothing is drawn) is mended by typing the
    // window wanted, either date first: the first one typed is not put back to
    // the stale pair but judged again with the second.
    void storedPairMendedFromEitherSide_data()
    {
        QTest::addColumn<Mending>("mending");
        QTest::newRow("reversed, start first") << Mending{"2010/03/01", "2010/01/01", "Dt_Grph_StartD", "Dt_Grph_EndD"};
        QTest::newRow("reversed, end first") << Mending{"2010/03/01", "2010/01/01", "Dt_Grph_EndD", "Dt_Grph_StartD"};
        QTest::newRow("no start, end first") << Mending{"", "2010/01/31", "Dt_Grph_EndD", "Dt_Grph_StartD"};
    }
    void storedPairMendedFromEitherSide()
    {
        QFETCH(Mending, mending);
        startFromStoredDates(mending.storedStart, mending.storedEnd);
        const GraphSettings &fields = m_tab->fields();
        const QMap<QString, QDate> wanted{{"Dt_Grph_StartD", QDate(2010, 1, 1)}, {"Dt_Grph_EndD", QDate(2010, 3, 1)}};
        QCOMPARE(pick(mending.first, wanted[mending.first])->date(), wanted[mending.first]);
        QCOMPARE(fields.StartD + fields.EndD, mending.storedStart + mending.storedEnd);
        QVERIFY(control<QLabel>(*m_tab, "Lbl_Rule")->text().startsWith("終了日は開始日の7日以上あとの日です。続けて"));

        pick(mending.next, wanted[mending.next]);
        QCOMPARE(fields.StartD + fields.EndD, QString("2010/01/012010/03/01"));
        QCOMPARE(control<QLabel>(*m_tab, "Lbl_Rule")->text(), QString());
        QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Graph"), Qt::LeftButton);
        QVERIFY(!m_window->graph().dateCaptions.empty());
        QCOMPARE(m_window->graph().dateCaptions.front().text, QString("1/1"));
        QVERIFY(m_messages->shown.isEmpty());
    }

    // A background whose picture is missing is chosen all the same, and said so.
    void saveWritesTheSectionAndRedraws()
    {
        auto *backgrounds = control<QComboBox>(*m_tab, "CmbBx_BkGrnd");
        backgrounds->setCurrentIndex(14);
        Q_EMIT backgrounds->activated(14);
        QCOMPARE(m_messages->shown, QStringList{"画像ファイルが存在しません。"});
        control<RadioGroup>(*m_tab, "RdoGrp_WorF")->setItemIndex(2);
        Q_EMIT control<RadioGroup>(*m_tab, "RdoGrp_WorF")->clicked(2);
        typeAndLeave(control<QLineEdit>(*m_tab, "Edt_UpWlimit"), "80");
        QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Graph"), Qt::LeftButton);
        const QByteArray ini = m_folder->read("Trimbo.ini");
        for (const char *line : {"WUpper=80\r\n", "GraphVis=2\r\n", "BckGrnd=15\r\n", "[Establish]\r\nGoalW=60\r\n"})
            QVERIFY2(ini.contains(line), line);
        // Redrawn with the new upper limit: every 2 kg over a 20 kg range.
        QVERIFY(!m_window->graph().weightCaptions.empty());
        QCOMPARE(m_window->graph().weightCaptions.back().text, QString("78"));
    }

    // A colour box names the stored colour as the line is drawn in it: one of
    // the sixteen standard colours, or a seventeenth item for any other.
    void storedColoursAreNamed()
    {
        const std::tuple<QByteArray, QString, QColor> colours[] = {
            {"16711680", "青", QColor(0, 0, 255)},
            {"7504122", "#fa8072", QColor(250, 128, 114)}, // red in the low byte
            {"-16777201", "システムカラー 15", QColor(0, 0, 0)}};
        for (const auto &[stored, shown, drawn] : colours) {
            restart("[Graph]\r\nWUpper=70\r\nWDown=60\r\nStartD=2010/01/01\r\nEndD=2010/01/31\r\nLineClW=" + stored
                    + "\r\nBckGrnd=1\r\n[Establish]\r\n");
            auto *box = control<QComboBox>(*m_window, "ClrBx_W");
            const QColor icon = box->itemIcon(box->currentIndex()).pixmap(14, 10).toImage().pixelColor(6, 5);
            QCOMPARE(std::tuple(box->currentText(), icon, box->count()),
                     std::tuple(shown, drawn, shown == "青" ? 16 : 17));
        }
    }
};

QTEST_MAIN(TestGraphTab)
#include "tst_graphtab.moc"
