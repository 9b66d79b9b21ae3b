#include "tfrm_main.h"

#include "datetext.h"
#include "entryrules.h"
#include "keylegend.h"
#include "messages.h"
#include "photostore.h"
#include "tfrm_establishment.h"
#include "tfrm_strgrid.h"
#include "trimboclass.h"
#include "trendtab.h"
#include "graphreadout.h"
#include "readout.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QScreen>

TFrm_Main::TFrm_Main(const QString &exeDir, DesktopShell *shell, QWidget *parent)
    : QWidget(parent), m_exeDir(exeDir), m_launcher(shell)
{
    m_ui.setupUi(this);
    setFixedSize(size());
    setKeyLegendPictures();

    connect(m_ui.BtBtn_Close, &QPushButton::clicked, this, &TFrm_Main::BtBtn_CloseClick);
    connect(m_ui.Btn_Help, &QPushButton::clicked, this, &TFrm_Main::Btn_HelpClick);
    connect(m_ui.BtBtn_Default, &QPushButton::clicked, this, &TFrm_Main::BtBtn_DefaultClick);
    connect(m_ui.Btn_GridView, &QPushButton::clicked, this, &TFrm_Main::Btn_GridViewClick);
    connect(m_ui.BtBtn_Boxing, &QPushButton::clicked, this, &TFrm_Main::BtBtn_BoxingClick);
    connect(m_ui.Tab_Grph_Estb, &TTab_Grph_Estb::graphSaved, this, &TFrm_Main::GraphAllView);
    connect(m_ui.Tab_Enter, &TTab_Enter::saveRequested, this, &TFrm_Main::BtBtn_Save_TodayClick);
    connect(m_ui.Tab_Trend, &TTab_Trend::switchesChanged, this, &TFrm_Main::GraphAllView);
    m_readOut = new GraphReadOut(m_ui.Img_Main, [this](QPoint point) { return graphReadOut(point); });
}

void TFrm_Main::setVisible(bool visible)
{
    // The start-up sequence runs before the window first appears, so a fatal
    // stop ends the program without the window ever flashing up.
    if (visible && !m_shownOnce) {
        m_shownOnce = true;
        FormShow();
        if (m_stopped)
            return;
        centreOnScreen();
    }
    QWidget::setVisible(visible);
}

void TFrm_Main::FormShow()
{
    m_paths = ProgramPaths::fromExeDir(m_exeDir);
    if (!QFileInfo::exists(m_paths.IniPath)) {
        AplStop(QStringLiteral("Not Found \"%1\"").arg(FixedNames::IniFile));
        return;
    }
    const GetIniResult ini = GetIni(m_paths.IniPath);
    if (!ini.error.isEmpty()) {
        AplStop(ini.error);
        return;
    }
    if (!ini.problems.isEmpty())
        Messages::error(settingsProblemMessage(m_paths.IniPath, ini.problems));
    m_settings = ini.fields;
    applyLatestDays(m_settings.trend, m_settings.graph, QDate::currentDate());
    m_ui.Tab_Trend->attach(&m_settings.trend, m_paths.IniPath);
    m_ui.Tab_Grph_Estb->attach(&m_settings.graph, m_paths.IniPath, m_paths.BkGrndDir);
    m_ui.Tab_Grph_Estb->SetGraph();
    m_ui.Tab_Enter->attach(&m_diary, m_paths.PictureDir);
    if (!lockDiary())
        return;
    loadDiary();
    GraphAllView();
    m_ui.Tab_Enter->fillFromNewest();
    if (m_diary.FirstEmptyRow() >= 2)
        BeforedataWrite();
}

Judgement TFrm_Main::judge(Measure measure) const
{
    const EstablishSettings &e = m_settings.establish;
    const bool weight = measure == Measure::Weight;
    const LevelInputs inputs{weight ? e.DStartW : e.DStartF,
                             weight ? e.GoalW : e.GoalF,
                             weight ? m_ui.Tab_Enter->weightText() : m_ui.Tab_Enter->fatText(),
                             weight ? QStringLiteral("ダイエット開始日の体重") : QStringLiteral("ダイエット開始日の体脂肪率"),
                             weight ? QStringLiteral("到達目標の体重") : QStringLiteral("到達目標の体脂肪率")};
    return judgeLevel(inputs, m_diary, measure, m_ui.Tab_Enter->day());
}

// A start or goal that is no number is said once, when a day is saved, not
// at every start.
void TFrm_Main::BeforedataWrite()
{
    const Judgement judged = judge(Measure::Weight);
    if (!judged.level)
        return;
    WriteText(QString::number(*judged.level), m_paths.BoxingDir + FixedNames::BeforeDataFile);
    m_beforeLevel = *judged.level;
}

void TFrm_Main::AfterSaveExchange()
{
    const Judgement judged = judge(m_settings.graph.GraphVis == 1 ? Measure::Fat : Measure::Weight);
    if (!judged.problem.isEmpty())
        Messages::error(judged.problem);
    if (!judged.level)
        return;
    if (!WriteText(QString::number(*judged.level), m_paths.BoxingDir + FixedNames::DataFile))
        Messages::error(QStringLiteral("%1 を書き換えられません。").arg(m_paths.BoxingDir + FixedNames::DataFile));
    if (m_settings.graph.TrimboVis == 0 && *judged.level != m_beforeLevel)
        openCompanion(m_paths.BoxingDir + FixedNames::FigureViewer);
}

void TFrm_Main::BtBtn_Save_TodayClick()
{
    TTab_Enter &tab = *m_ui.Tab_Enter;
    for (const auto &[text, name] : {std::pair{tab.weightText(), QStringLiteral("体重")},
                                     std::pair{tab.fatText(), QStringLiteral("体脂肪")}}) {
        if (const QString problem = measurementProblem(text, name); !problem.isEmpty()) {
            Messages::error(problem);
            return;
        }
    }
    if (!diaryWritable()) {
        Messages::error(m_whyNotWritable);
        return;
    }
    DiaryBook book(m_paths.BookPath);
    if (!book.OpenExcelDate()) {
        Messages::error(book.errorText() + QStringLiteral("\r\n保存できませんでした。"));
        return;
    }
    const bool saved = saveDay(book);
    book.CloseExcelDate();
    if (!saved)
        return;
    GraphAllView();
    AfterSaveExchange();
}

// The day's row, its photo and the workbook, all or nothing: the workbook
// and the photo are worked out in memory first, and the diary on screen
// changes only once both are on disk.
bool TFrm_Main::saveDay(DiaryBook &book)
{
    TTab_Enter &tab = *m_ui.Tab_Enter;
    book.GetExcelLastRow();
    if (book.isFull()) {
        CustomMessage(0);
        return false;
    }
    // What is on disk now is what the day is written into.
    const DiaryTable current = book.SetExcelArray();
    int row = current.findDate(dateText(tab.day()));
    if (row > 0 && !Messages::askYesNo(QStringLiteral("選択された日のデータが存在します\r\n上書きしますか？")))
        return false;
    if (row == 0)
        row = std::max(current.FirstEmptyRow(), 1);
    const PhotoChange photo = tab.photoChange();
    PhotoWriter photoWriter(photo);
    QString photoError = photo.error;
    if (!photoError.isEmpty() || !photoWriter.stage(&photoError)) {
        Messages::error(photoError + QStringLiteral("\r\n日記は保存前のままです。"));
        return false;
    }
    book.WriteExcelDate(row, tab.dayValues(photo.reference));
    book.SetExcelSort();
    DiaryTable saved = book.SetExcelArray();
    book.setKeepBackups(m_settings.trend.Backups == 1);
    if (!book.Save()) {
        Messages::error(book.errorText() + QStringLiteral("\r\n日記は保存前のままです。"));
        return false;
    }
    // Said once for the save, every cell in one message.
    if (const QStringList notes = book.saveNotes(); !notes.isEmpty())
        Messages::information(notes.join(QStringLiteral("\r\n")));
    if (!book.backupError().isEmpty() && !std::exchange(m_backupFailureTold, true))
        Messages::error(book.backupError());
    if (!photoWriter.commit(&photoError))
        Messages::error(photoError + QStringLiteral("\r\n日記には保存しました。"));
    tab.setPhotoReference(photo.reference);
    m_diary = std::move(saved);
    return true;
}

void TFrm_Main::GraphAllView()
{
    const GraphInputs inputs{&m_diary,
                             m_ui.Tab_Grph_Estb->graphWindow(),
                             m_ui.Tab_Grph_Estb->background(),
                             m_bckGrnd.Img_CrossAxle2,
                             colourFromSetting(m_settings.graph.LineClW),
                             colourFromSetting(m_settings.graph.LineClF)};
    m_graph = renderGraph(inputs, trendOverlay(m_settings.trend, m_settings.establish));
    m_ui.Tab_Trend->showFigures(m_graph, m_settings.establish, QDate::currentDate());
    m_readOut->setEnabled(m_settings.trend.ReadOut == 1);
    CrossAxleClear();
    // Widgets made here belong to their panel, which deletes them with the next clear.
    new TImg_Cross(m_ui.Pnl_CrossAxle, m_graph.crossStrip);
    for (const Caption &caption : m_graph.dateCaptions)
        new TLbl_Cross(m_ui.Pnl_CrossAxle, caption.pixel, caption.text);
    VertAxleClear();
    new TImg_Vert(m_ui.Pnl_VerticalAxle, m_bckGrnd.Img_VerticalAxle2, m_bckGrnd.Img_VerticalAxle3);
    for (const Caption &caption : m_graph.weightCaptions)
        new TLbl_VertW(m_ui.Pnl_VerticalAxle, caption.pixel, caption.text, inputs.weightColour);
    for (const Caption &caption : m_graph.fatCaptions)
        new TLbl_VertF(m_ui.Pnl_VerticalAxle, caption.pixel, caption.text, inputs.fatColour);
    m_ui.Img_Main->setPixmap(QPixmap::fromImage(m_graph.picture));
}

QString TFrm_Main::graphReadOut(QPoint point) const
{
    const std::optional<QDate> day = dayAtX(m_ui.Tab_Grph_Estb->graphWindow(), point.x());
    return day ? readOutText(m_diary, *day) : QString();
}

// Every strip and caption of the last redraw goes; the next redraw makes new ones.
void TFrm_Main::CrossAxleClear()
{
    qDeleteAll(m_ui.Pnl_CrossAxle->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void TFrm_Main::VertAxleClear()
{
    qDeleteAll(m_ui.Pnl_VerticalAxle->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

bool TFrm_Main::lockDiary()
{
    m_lock = std::make_unique<DiaryLock>(m_paths.BookPath);
    switch (m_lock->acquire()) {
    case DiaryLock::Result::Locked:
        m_whyNotWritable.clear();
        return true;
    case DiaryLock::Result::HeldByAnotherCopy:
        AplStop(QStringLiteral("日記 \"%1\" は別のトリンボで開かれています。\r\n"
                               "同じ日記を二つのトリンボで同時に開くことはできません。").arg(m_paths.BookPath));
        return false;
    case DiaryLock::Result::CannotLock:
        break;
    }
    // Most often a folder the user may read but not write: a read-only disk, say.
    const QString folder = QFileInfo(m_paths.BookPath).absolutePath();
    const QString why = QFileInfo(folder).isWritable()
                            ? QStringLiteral("\"%1.lock\" を作れません").arg(m_paths.BookPath)
                            : QStringLiteral("フォルダ \"%1\" に書き込めません").arg(folder);
    m_whyNotWritable = QStringLiteral("日記 \"%1\" を使用中にできません (%2)。\r\n"
                                      "日記は表示しますが、保存はできません。").arg(m_paths.BookPath, why);
    Messages::error(m_whyNotWritable);
    return true;
}

void TFrm_Main::loadDiary()
{
    DiaryBook book(m_paths.BookPath);
    if (!book.OpenExcelDate()) {
        m_whyNotWritable = QStringLiteral("日記 \"%1\" は開いたときに読めなかったため、保存しません。").arg(m_paths.BookPath);
        Messages::error(book.errorText() + QStringLiteral("\r\n記録のない状態で開きます。このファイルには保存しません。"));
        return;
    }
    book.GetExcelLastRow();
    if (book.isFull())
        CustomMessage(0);
    m_diary = book.SetExcelArray();
    book.CloseExcelDate();
}

bool TFrm_Main::CheckSameDate(const QString &dateText, int *row) const
{
    *row = m_diary.findDate(dateText);
    return *row > 0;
}

void TFrm_Main::CustomMessage(int code)
{
    if (code == 0)
        Messages::information(diaryFullMessage());
}

void TFrm_Main::AplStop(const QString &message)
{
    Messages::information(QStringLiteral("forced termination\r\n") + message);
    m_stopped = true;
    // Queued, so that it also ends a program whose event loop has not started yet.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

void TFrm_Main::BtBtn_CloseClick()
{
    close();
}

// Both windows are made afresh for each press and gone when they close.
void TFrm_Main::BtBtn_DefaultClick()
{
    TFrm_Establishment dialog(&m_settings.establish, m_paths.IniPath, this);
    dialog.exec();
    // The goals may have moved.
    if (m_settings.trend.Trend == 1 || m_settings.trend.GoalLines == 1)
        GraphAllView();
}

void TFrm_Main::Btn_GridViewClick()
{
    const GraphWindow window = m_ui.Tab_Grph_Estb->graphWindow();
    TFrm_StrGrid list(&m_diary, dateFromOleDayNumber(window.start), dateFromOleDayNumber(window.end),
                      m_paths.PictureDir, this);
    list.exec();
}

void TFrm_Main::Btn_HelpClick()
{
    openCompanion(m_paths.HelpDir + FixedNames::HelpPage);
}

void TFrm_Main::BtBtn_BoxingClick()
{
    openCompanion(m_paths.BoxingDir + FixedNames::BoxingGame);
}

// A companion that is not there is left alone without a word; one that is
// there but will not start (no program for the help page, say) is said.
void TFrm_Main::openCompanion(const QString &path)
{
    if (m_launcher.open(path) == Launcher::Result::Failed)
        Messages::error(QStringLiteral("\"%1\" を開けませんでした。").arg(path));
}

void TFrm_Main::setKeyLegendPictures()
{
    const auto show = [](QLabel *label, const QImage &picture) { label->setPixmap(QPixmap::fromImage(picture)); };
    show(m_ui.Img_V, letterKeysPicture(u'V'));
    show(m_ui.Img_B, letterKeysPicture(u'B'));
    show(m_ui.Img_C, letterKeysPicture(u'C'));
    show(m_ui.Img_N, letterKeysPicture(u'N'));
    show(m_ui.Img_M, letterKeysPicture(u'M'));
    show(m_ui.Img_C2, letterKeysPicture(u'C'));
    show(m_ui.Img_N2, letterKeysPicture(u'N'));
    show(m_ui.Img_Space, spaceKeyPicture());
    show(m_ui.Img_YajiLeft, arrowKeysPicture(ArrowKey::Left));
    show(m_ui.Img_YajiUp, arrowKeysPicture(ArrowKey::Up));
    show(m_ui.Img_YajiDown, arrowKeysPicture(ArrowKey::Down));
    show(m_ui.Img_YajiRight, arrowKeysPicture(ArrowKey::Right));
    show(m_ui.Img_YajiDown2, arrowKeysPicture(ArrowKey::Down));
    show(m_ui.Img_YajiDown3, arrowKeysPicture(ArrowKey::Down));
}

void TFrm_Main::centreOnScreen()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
