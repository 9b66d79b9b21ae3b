#include "captions.h"
#include "datetext.h"
#include "graphsettingstab.h"
#include "helpers.h"
#include "radiogroup.h"
#include "mainwindow.h"
#include "axislabels.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
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

// What a widget draws by itself, as a box in its parent's pixels.
QRect inkBox(QWidget *widget)
{
    QImage image(widget->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box.translated(widget->pos());
}

} // namespace

class TestGraphTab : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void graphDrawsFromTheLimitEdits();
    void refusalsSayWhy_data();
    void refusalsSayWhy();
    void stepButtonsWorkOnTheAcceptedLimits();
    void storedPairMendedFromEitherSide_data();
    void storedPairMendedFromEitherSide();
    void missingBackgroundIsReported();
    void saveWritesTheSectionAndRedraws();
    void storedColoursAreNamed_data();
    void storedColoursAreNamed();
    void dateStripReadsClearly_data();
    void dateStripReadsClearly();

private:
    // The tab starts again from settings holding these dates, as if read from the file.
    void startFromStoredDates(const QString &start, const QString &end);

    std::unique_ptr<RecordingResponder> m_messages;
    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<MainWindow> m_window;
    GraphSettingsTab *m_tab = nullptr;
};

void TestGraphTab::init()
{
    m_window.reset();
    m_messages.reset(); // before the next one takes over the boxes
    m_messages = std::make_unique<RecordingResponder>();
    m_folder = std::make_unique<TempProgramFolder>();
    m_folder->layOut("[Graph]\r\nWUpper=70\r\nWDown=60\r\nFUpper=30\r\nFDown=0.5\r\nGraphVis=0\r\n"
                     "StartD=2010/01/01\r\nEndD=2010/01/31\r\nLineClW=255\r\nLineClF=16711680\r\n"
                     "BckGrnd=1\r\nTrimboVis=0\r\n[Establish]\r\nGoalW=60\r\n");
    m_window = std::make_unique<MainWindow>(m_folder->path());
    m_window->show();
    m_tab = control<GraphSettingsTab>(*m_window, "Tab_Grph_Estb");
    QVERIFY(m_messages->shown.isEmpty());
}

void TestGraphTab::startFromStoredDates(const QString &start, const QString &end)
{
    GraphSettings stored = m_tab->fields();
    stored.StartD = start;
    stored.EndD = end;
    m_tab->attach(stored, m_window->core().paths().BkGrndDir);
    m_tab->SetGraph();
}

void TestGraphTab::graphDrawsFromTheLimitEdits()
{
    typeAndLeave(control<QLineEdit>(*m_tab, "Edt_UpWlimit"), "61.5");
    QCOMPARE(m_tab->fields().WUpper, QString("61.5"));
    QCOMPARE(m_tab->graphWindow().weight->upper, 61.5);

    auto *lower = control<QLineEdit>(*m_tab, "Edt_DwnWlimit");
    typeAndLeave(lower, "0"); // kept as typed, not accepted
    // The graph draws from the edits: 0 is the lower limit until it is put right.
    QCOMPARE(m_tab->graphWindow().weight->lower, 0.0);
    typeAndLeave(lower, "heavy");
    QCOMPARE(m_tab->graphWindow().weight->lower, 60.0); // no number: the accepted limit
    QVERIFY(m_messages->shown.isEmpty());
}

// A limit or date not taken says the rule it breaks under the edits, never
// in a box; the next one taken clears it.
void TestGraphTab::refusalsSayWhy_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown"); // after leaving it
    QTest::addColumn<QString>("rule");
    const QString tooClose = "終了日は開始日の7日以上あとの日です。";
    QTest::newRow("weight 1e20") << "Edt_UpWlimit"
                                 << "1e20"
                                 << "70"
                                 << "「1e20」は使えません。体重は 0 から 1000 kg までの数値です。";
    QTest::newRow("weight as a date") << "Edt_UpWlimit"
                                      << "20261207"
                                      << "70"
                                      << "「20261207」は使えません。体重は 0 から 1000 kg までの数値です。";
    QTest::newRow("weight below 0") << "Edt_DwnWlimit"
                                    << "-3"
                                    << "60"
                                    << "「-3」は使えません。体重は 0 から 1000 kg までの数値です。";
    QTest::newRow("body fat 150") << "Edt_UpFlimit"
                                  << "150"
                                  << "30"
                                  << "「150」は使えません。体脂肪率は 0 から 100 % までの数値です。";
    QTest::newRow("upper within 1 of the lower")
        << "Edt_UpWlimit"
        << "61"
        << "70"
        << "「61」は使えません。体重の上限は下限 60 より 1 を超えて大きい数値です。";
    QTest::newRow("lower within 1 of the upper")
        << "Edt_DwnFlimit"
        << "29.5"
        << "0.5"
        << "「29.5」は使えません。体脂肪率の下限は上限 30 より 1 以上小さい数値です。";
    QTest::newRow("upper in words, kept as typed") << "Edt_UpWlimit"
                                                   << "heavy"
                                                   << "heavy"
                                                   << "「heavy」は使えません。体重の上限は 0 以外の数値です。";
    QTest::newRow("lower 0, kept as typed") << "Edt_DwnWlimit"
                                            << "0"
                                            << "0"
                                            << "「0」は使えません。体重の下限は 0 以外の数値です。";
    QTest::newRow("upper emptied") << "Edt_UpFlimit"
                                   << ""
                                   << ""
                                   << "空欄は使えません。体脂肪率の上限は 0 以外の数値です。";
    QTest::newRow("end 6 days after the start") << "Dt_Grph_EndD"
                                                << "2010/01/07"
                                                << "2010/01/31" << tooClose;
    QTest::newRow("start after the end") << "Dt_Grph_StartD"
                                         << "2010/02/02"
                                         << "2010/01/01" << tooClose;
}

void TestGraphTab::refusalsSayWhy()
{
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, rule);
    auto *said = ::control<QLabel>(*m_tab, "Lbl_Rule");
    if (auto *picker = qobject_cast<QDateEdit *>(::control<QWidget>(*m_tab, qPrintable(control)))) {
        picker->setDate(*parseDateText(typed));
        leave(picker);
        QCOMPARE(dateText(picker->date()), shown);
    } else {
        auto *limit = ::control<QLineEdit>(*m_tab, qPrintable(control));
        typeAndLeave(limit, typed);
        QCOMPARE(limit->text(), shown);
    }
    QCOMPARE(said->text(), rule);
    QVERIFY(m_messages->shown.isEmpty());
    const GraphWindow window = m_tab->graphWindow();
    QVERIFY(window.weight && window.weight->range() <= 1000 && window.fat && window.fat->range() <= 100);
    const GraphSettings &fields = m_tab->fields();
    QCOMPARE((QStringList{fields.WUpper, fields.WDown, fields.FUpper, fields.FDown, fields.StartD, fields.EndD}),
             (QStringList{"70", "60", "30", "0.5", "2010/01/01", "2010/01/31"})); // nothing refused was taken
    typeAndLeave(::control<QLineEdit>(*m_tab, "Edt_UpWlimit"), "61.5");
    QCOMPARE(said->text(), QString());
}

void TestGraphTab::stepButtonsWorkOnTheAcceptedLimits()
{
    // A step stops at the bounds: 0.5 goes down to 0, not -0.5.
    auto *fatLower = control<QLineEdit>(*m_tab, "Edt_DwnFlimit");
    QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_FDwndwn"), Qt::LeftButton);
    QCOMPARE(fatLower->text(), QString("0"));
    QCOMPARE(m_tab->fields().FDown, QString("0"));

    auto *weightLower = control<QLineEdit>(*m_tab, "Edt_DwnWlimit");
    typeAndLeave(weightLower, "1.5");
    QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_WDwndwn"), Qt::LeftButton);
    QCOMPARE(weightLower->text(), QString("0.5"));
    QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_WDwndwn"), Qt::LeftButton);
    QCOMPARE(weightLower->text(), QString("0"));
    auto *fatUpper = control<QLineEdit>(*m_tab, "Edt_UpFlimit");
    typeAndLeave(fatUpper, "99.5");
    QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_Fupup"), Qt::LeftButton);
    QCOMPARE(fatUpper->text(), QString("100"));
    QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_Fupup"), Qt::LeftButton);
    QCOMPARE(m_tab->fields().FUpper, QString("100"));

    // A typed, unaccepted text is replaced by the stepped limit.
    auto *upper = control<QLineEdit>(*m_tab, "Edt_UpWlimit");
    upper->setText("95");
    QTest::mouseClick(control<QToolButton>(*m_tab, "SpdBtn_Wupup"), Qt::LeftButton);
    QCOMPARE(upper->text(), QString("71"));
    QCOMPARE(m_tab->fields().WUpper, QString("71"));
}

void TestGraphTab::storedPairMendedFromEitherSide_data()
{
    QTest::addColumn<QString>("storedStart");
    QTest::addColumn<QString>("storedEnd");
    QTest::addColumn<QString>("first"); // the picker typed first
    QTest::addColumn<QString>("next");
    QTest::newRow("reversed, start typed first") << "2010/03/01"
                                                 << "2010/01/01"
                                                 << "Dt_Grph_StartD"
                                                 << "Dt_Grph_EndD";
    QTest::newRow("reversed, end typed first") << "2010/03/01"
                                               << "2010/01/01"
                                               << "Dt_Grph_EndD"
                                               << "Dt_Grph_StartD";
    QTest::newRow("no start yet, end typed first") << ""
                                                   << "2010/01/31"
                                                   << "Dt_Grph_EndD"
                                                   << "Dt_Grph_StartD";
}

// A stored pair that is no window (nothing is drawn) is mended by typing the
// window wanted, either date first: the first one typed is not put back to
// the stale pair but judged again with the second.
void TestGraphTab::storedPairMendedFromEitherSide()
{
    QFETCH(QString, storedStart);
    QFETCH(QString, storedEnd);
    QFETCH(QString, first);
    QFETCH(QString, next);
    startFromStoredDates(storedStart, storedEnd);
    const GraphSettings &fields = m_tab->fields();
    const QMap<QString, QDate> wanted{{"Dt_Grph_StartD", QDate(2010, 1, 1)}, {"Dt_Grph_EndD", QDate(2010, 3, 1)}};
    auto *typedFirst = control<QDateEdit>(*m_tab, qPrintable(first));
    typedFirst->setDate(wanted[first]);
    leave(typedFirst);
    QCOMPARE(typedFirst->date(), wanted[first]);
    QCOMPARE(fields.StartD + fields.EndD, storedStart + storedEnd);
    QVERIFY(control<QLabel>(*m_tab, "Lbl_Rule")->text().startsWith("終了日は開始日の7日以上あとの日です。続けて"));

    auto *typedNext = control<QDateEdit>(*m_tab, qPrintable(next));
    typedNext->setDate(wanted[next]);
    leave(typedNext);
    QCOMPARE(fields.StartD, QString("2010/01/01"));
    QCOMPARE(fields.EndD, QString("2010/03/01"));
    QCOMPARE(control<QLabel>(*m_tab, "Lbl_Rule")->text(), QString());
    QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Graph"), Qt::LeftButton);
    QCOMPARE(m_window->graph().dateCaptions.front().text, QString("1/1"));
    QVERIFY(m_messages->shown.isEmpty());
}

void TestGraphTab::missingBackgroundIsReported()
{
    auto *backgrounds = control<QComboBox>(*m_tab, "CmbBx_BkGrnd");
    QCOMPARE(backgrounds->currentIndex(), 0);
    backgrounds->setCurrentIndex(14);
    Q_EMIT backgrounds->activated(14);
    QCOMPARE(m_tab->fields().BckGrnd, 15);
    QCOMPARE(m_messages->shown, QStringList{"画像ファイルが存在しません。"});
}

void TestGraphTab::saveWritesTheSectionAndRedraws()
{
    auto *colours = control<QComboBox>(*m_tab, "ClrBx_W");
    const int green = colours->findText("緑");
    colours->setCurrentIndex(green);
    Q_EMIT colours->activated(green);
    control<RadioGroup>(*m_tab, "RdoGrp_WorF")->setItemIndex(2);
    Q_EMIT control<RadioGroup>(*m_tab, "RdoGrp_WorF")->clicked(2);
    typeAndLeave(control<QLineEdit>(*m_tab, "Edt_UpWlimit"), "８０"); // full width, as a Japanese keyboard gives it
    const GraphPicture before = m_window->graph();

    QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Graph"), Qt::LeftButton);
    const QByteArray ini = m_folder->read("Trimbo.ini");
    QVERIFY(ini.contains("WUpper=80\r\n"));
    QVERIFY(ini.contains("LineClW=32768\r\n"));
    QVERIFY(ini.contains("GraphVis=2\r\n"));
    QVERIFY(ini.contains("[Establish]\r\nGoalW=60\r\n"));
    // Redrawn with the new upper limit: the weight captions reach 80 now.
    QVERIFY(before.weightCaptions.back().text != m_window->graph().weightCaptions.back().text);
    QCOMPARE(m_window->graph().weightCaptions.back().text, QString("78")); // every 2 kg over a 20 kg range
}

void TestGraphTab::storedColoursAreNamed_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QColor>("drawn");
    QTest::addColumn<int>("items"); // the sixteen standard colours, and the stored one when it is not among them
    QTest::newRow("red, in the list") << QByteArray("255") << "赤" << QColor(255, 0, 0) << 16;
    QTest::newRow("blue, in the list") << QByteArray("16711680") << "青" << QColor(0, 0, 255) << 16;
    QTest::newRow("salmon, red in the low byte") << QByteArray("7504122") << "#fa8072" << QColor(250, 128, 114) << 17;
    QTest::newRow("dark blue-green") << QByteArray("4227072") << "#008040" << QColor(0, 128, 64) << 17;
    QTest::newRow("a system colour") << QByteArray("-16777201") << "システムカラー 15" << QColor(0, 0, 0) << 17;
}

// A colour box names the stored colour as the line is drawn in it.
void TestGraphTab::storedColoursAreNamed()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, shown);
    QFETCH(QColor, drawn);
    QFETCH(int, items);
    m_window.reset();
    m_folder->write("Trimbo.ini", "[Graph]\r\nWUpper=70\r\nWDown=60\r\nStartD=2010/01/01\r\nEndD=2010/01/31\r\n"
                                  "LineClW="
                                      + stored + "\r\nBckGrnd=1\r\n[Establish]\r\n");
    m_window = std::make_unique<MainWindow>(m_folder->path());
    m_window->show();
    auto *box = control<QComboBox>(*m_window, "ClrBx_W");
    QCOMPARE(box->currentText(), shown);
    QCOMPARE(box->itemIcon(box->currentIndex()).pixmap(14, 10).toImage().pixelColor(6, 5), drawn);
    QCOMPARE(box->count(), items);
}

void TestGraphTab::dateStripReadsClearly_data()
{
    QTest::addColumn<QDate>("start");
    QTest::addColumn<QDate>("end");
    QTest::addColumn<QStringList>("firstShown");
    QTest::addColumn<QStringList>("leftOut"); // for want of room, in their order
    QTest::newRow("7 days from a 31st, at the left edge")
        << QDate(2025, 12, 31) << QDate(2026, 1, 6) << QStringList{"31", "1/1", "2"} << QStringList{};
    QTest::newRow("31 days, m/d on the 1st")
        << QDate(2026, 11, 20) << QDate(2026, 12, 20) << QStringList{"20", "22"} << QStringList{"21", "2"};
    QTest::newRow("90 days, every 7th day")
        << QDate(2010, 1, 1) << QDate(2010, 3, 31) << QStringList{"1/1", "1/8"} << QStringList{};
    QTest::newRow("365 days, a month at the right edge")
        << QDate(2025, 12, 8) << QDate(2026, 12, 7) << QStringList{"26年1月", "2月", "3月"} << QStringList{};
    QTest::newRow("540 days, a year beside its next month")
        << QDate(2025, 6, 15) << QDate(2026, 12, 6) << QStringList{"7月", "8月"} << QStringList{"2月", "12月"};
    QTest::newRow("10 years") << QDate(2010, 1, 1) << QDate(2019, 12, 31) << QStringList{"10年", "11年"}
                              << QStringList{};
}

// Measured from the strip as drawn: no caption touches the next or leaves
// the strip, and every captioned date keeps its tick, shown or not.
void TestGraphTab::dateStripReadsClearly()
{
    QFETCH(QDate, start);
    QFETCH(QDate, end);
    QFETCH(QStringList, firstShown);
    QFETCH(QStringList, leftOut);
    startFromStoredDates(dateText(start), dateText(end));
    QTest::mouseClick(control<QPushButton>(*m_tab, "BtBtn_Save_Graph"), Qt::LeftButton);

    auto *strip = control<QWidget>(*m_window, "Pnl_CrossAxle");
    const QImage drawn = strip->grab().toImage();
    const std::vector<Caption> dates = dateAxisCaptions(GraphWindow::fromDates(start, end));
    QList<int> ticks, tickPixels;
    QStringList shown, expected;
    for (int x = 0; x < drawn.width(); ++x) {
        if (drawn.pixelColor(x, DateTickTop) == DateTickColour && drawn.pixelColor(x, DateTickBottom) == DateTickColour)
            ticks << x;
    }
    for (const Caption &date : dates) {
        tickPixels << date.pixel;
        if (!leftOut.isEmpty() && leftOut.first() == date.text)
            leftOut.removeFirst();
        else
            expected << date.text;
    }
    QCOMPARE(ticks, tickPixels);

    QRect before;
    for (DateCaptionLabel *caption : strip->findChildren<DateCaptionLabel *>()) {
        const QRect box = inkBox(caption);
        QVERIFY2(strip->rect().contains(box), qPrintable(caption->text()));
        if (!before.isNull())
            QVERIFY2(box.left() - before.right() > 2, qPrintable(caption->text())); // two clear columns at least
        before = box;
        shown << caption->text();
    }
    QCOMPARE(shown, expected);
    QCOMPARE(shown.mid(0, firstShown.size()), firstShown);
}

QTEST_MAIN(TestGraphTab)
#include "tst_graphtab.moc"
