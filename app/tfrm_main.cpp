#include "tfrm_main.h"

#include "ui_TFrm_Main.h"

#include "datetext.h"
#include "entryrules.h"
#include "keylegend.h"
#include "messages.h"
#include "photofile.h"
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
    : TFrm_Main(ProgramPaths::fromExeDir(exeDir), shell, parent)
{
}

TFrm_Main::TFrm_Main(const ProgramPaths &paths, DesktopShell *shell, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::TFrm_Main>()), m_launcher(shell), m_paths(paths)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    setKeyLegendPictures();

    connect(m_ui->BtBtn_Close, &QPushButton::clicked, this, &TFrm_Main::BtBtn_CloseClick);
    connect(m_ui->Btn_Help, &QPushButton::clicked, this, &TFrm_Main::Btn_HelpClick);
    connect(m_ui->BtBtn_Default, &QPushButton::clicked, this, &TFrm_Main::BtBtn_DefaultClick);
    connect(m_ui->Btn_GridView, &QPushButton::clicked, this, &TFrm_Main::Btn_GridViewClick);
    connect(m_ui->BtBtn_Boxing, &QPushButton::clicked, this, &TFrm_Main::BtBtn_BoxingClick);
    connect(m_ui->Tab_Grph_Estb, &TTab_Grph_Estb::graphSaved, this, &TFrm_Main::GraphAllView);
    connect(m_ui->Tab_Enter, &TTab_Enter::saveRequested, this, &TFrm_Main::BtBtn_Save_TodayClick);
    connect(m_ui->Tab_Trend, &TTab_Trend::switchesChanged, this, &TFrm_Main::GraphAllView);
    m_readOut = new GraphReadOut(m_ui->Img_Main, [this](QPoint point) { return graphReadOut(point); });
}

TFrm_Main::~TFrm_Main() = default;

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
    m_ui->Tab_Trend->attach(&m_settings.trend, m_paths.IniPath);
    m_ui->Tab_Grph_Estb->attach(&m_settings.graph, m_paths.IniPath, m_paths.BkGrndDir);
    m_ui->Tab_Grph_Estb->SetGraph();
    m_ui->Tab_Enter->attach(&m_diary, m_paths.PictureDir);
    if (!lockDiary())
        return;
    loadDiary();
    GraphAllView();
    m_ui->Tab_Enter->fillFromNewest();
    if (m_diary.FirstEmptyRow() >= 2)
        BeforedataWrite();
}

Judgement TFrm_Main::judge(Measure measure) const
{
    const EstablishSettings &e = m_settings.establish;
    const bool weight = measure == Measure::Weight;
    const LevelInputs inputs{weight ? e.DStartW : e.DStartF,
                             weight ? e.GoalW : e.GoalF,
                             weight ? m_ui->Tab_Enter->weightText() : m_ui->Tab_Enter->fatText(),
                             weight ? QStringLiteral("ダイエット開始日の体重") : QStringLiteral("ダイエット開始日の体脂肪率"),
                             weight ? QStringLiteral("到達目標の体重") : QStringLiteral("到達目標の体脂肪率")};
    return judgeLevel(inputs, m_diary, measure, m_ui->Tab_Enter->day());
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
        openCompanion(m_paths.CompanionDir + FixedNames::FigureViewer);
}

void TFrm_Main::BtBtn_Save_TodayClick()
{
    TTab_Enter &tab = *m_ui->Tab_Enter;
    for (const auto &[text, bounds] : {std::pair{tab.weightText(), WeightBounds}, std::pair{tab.fatText(), FatBounds}}) {
        if (const QString problem = measurementProblem(text, bounds); !problem.isEmpty()) {
            Messages::error(problem);
            return;
        }
    }
    if (const QString problem = commentProblem(tab.dayValues({})); !problem.isEmpty()) {
        Messages::error(problem + QStringLiteral("\r\n短くしてから保存してください。"));
        return;
    }
    if (!m_loadProblem.isEmpty()) {
        Messages::error(m_loadProblem);
        return;
    }
    // A lock that could not be made at start-up (a full disk, say) is tried again.
    if (!m_lockProblem.isEmpty() && takeLock() != DiaryLock::Result::Locked) {
        Messages::error(m_lockProblem);
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
    TTab_Enter &tab = *m_ui->Tab_Enter;
    book.GetExcelLastRow();
    // What is on disk now is what the day is written into.
    const DiaryTable current = book.SetExcelArray();
    int row = current.findDate(dateText(tab.day()));
    if (row > 0 && !Messages::askYesNo(overwriteQuestion(tab.day())))
        return false;
    // A full sheet still takes corrections; only a new day has no row left.
    if (row == 0 && book.isFull()) {
        CustomMessage(0);
        return false;
    }
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
                             m_ui->Tab_Grph_Estb->graphWindow(),
                             m_ui->Tab_Grph_Estb->background(),
                             m_bckGrnd.Img_CrossAxle2,
                             colourFromSetting(m_settings.graph.LineClW),
                             colourFromSetting(m_settings.graph.LineClF)};
    m_graph = renderGraph(inputs, trendOverlay(m_settings.trend, m_settings.establish), &m_graph);
    m_ui->Tab_Trend->showFigures(m_graph, m_settings.establish, QDate::currentDate());
    m_readOut->setEnabled(m_settings.trend.ReadOut == 1);
    CrossAxleClear();
    // Widgets made here belong to their panel, which deletes them with the next clear.
    new TImg_Cross(m_ui->Pnl_CrossAxle, m_graph.crossStrip);
    for (const Caption &caption : m_graph.dateCaptions)
        new TLbl_Cross(m_ui->Pnl_CrossAxle, caption.pixel, caption.text);
    VertAxleClear();
    new TImg_Vert(m_ui->Pnl_VerticalAxle, m_bckGrnd.Img_VerticalAxle2, m_bckGrnd.Img_VerticalAxle3);
    for (const Caption &caption : m_graph.weightCaptions)
        new TLbl_VertW(m_ui->Pnl_VerticalAxle, caption.pixel, caption.text, inputs.weightColour);
    for (const Caption &caption : m_graph.fatCaptions)
        new TLbl_VertF(m_ui->Pnl_VerticalAxle, caption.pixel, caption.text, inputs.fatColour);
    m_ui->Img_Main->setPixmap(QPixmap::fromImage(m_graph.picture));
}

QString TFrm_Main::graphReadOut(QPoint point) const
{
    const std::optional<QDate> day = dayAtX(m_ui->Tab_Grph_Estb->graphWindow(), point.x());
    return day ? readOutText(m_diary, *day) : QString();
}

// Every strip and caption of the last redraw goes; the next redraw makes new ones.
void TFrm_Main::CrossAxleClear()
{
    qDeleteAll(m_ui->Pnl_CrossAxle->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void TFrm_Main::VertAxleClear()
{
    qDeleteAll(m_ui->Pnl_VerticalAxle->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

bool TFrm_Main::lockDiary()
{
    m_lock = std::make_unique<DiaryLock>(m_paths.BookPath);
    if (takeLock() == DiaryLock::Result::HeldByAnotherCopy) {
        AplStop(QStringLiteral("日記 \"%1\" は別のトリンボで開かれています (%2)。\r\n"
                               "同じ日記を二つのトリンボで同時に開くことはできません。").arg(m_paths.BookPath, m_lock->holder()));
        return false;
    }
    if (!m_lockProblem.isEmpty())
        Messages::error(m_lockProblem);
    return true;
}

// Locks the diary for this run, asking before a lock made on another
// computer is taken over; m_lockProblem says why when it is not locked.
// A moment's wait lets a trimbo-diary save that holds it finish.
DiaryLock::Result TFrm_Main::takeLock()
{
    DiaryLock::Result result = m_lock->acquireWaiting(std::chrono::seconds(1));
    if (result == DiaryLock::Result::HeldOnAnotherHost
        && Messages::askYesNo(QStringLiteral("日記 \"%1\" は別のコンピューターの %2 が使用中にしています。\r\n"
                                             "そのトリンボが終わっている (使用中のままフォルダーを写してきた) なら、"
                                             "このトリンボで引き継いで使えます。\r\n引き継ぎますか？")
                                  .arg(m_paths.BookPath, m_lock->holder())))
        result = m_lock->takeOver();
    const QString notSaved = QStringLiteral("\r\n日記は表示しますが、保存はできません。");
    switch (result) {
    case DiaryLock::Result::Locked:
        m_lockProblem.clear();
        break;
    case DiaryLock::Result::HeldByAnotherCopy:
    case DiaryLock::Result::HeldOnAnotherHost:
        m_lockProblem = QStringLiteral("日記 \"%1\" は %2 が使用中です。").arg(m_paths.BookPath, m_lock->holder()) + notSaved;
        break;
    case DiaryLock::Result::CannotLock:
        m_lockProblem = QStringLiteral("日記 \"%1\" を使用中にできません (%2)。").arg(m_paths.BookPath, m_lock->whyNotLocked())
                        + notSaved;
        break;
    }
    return result;
}

void TFrm_Main::loadDiary()
{
    DiaryBook book(m_paths.BookPath);
    if (!book.OpenExcelDate()) {
        m_loadProblem = QStringLiteral("日記 \"%1\" は開いたときに読めなかったため、保存しません。").arg(m_paths.BookPath);
        Messages::error(book.errorText() + QStringLiteral("\r\n記録のない状態で開きます。このファイルには保存しません。"));
        return;
    }
    m_loadProblem.clear();
    book.GetExcelLastRow();
    if (book.isFull())
        CustomMessage(0);
    m_diary = book.SetExcelArray();
    book.CloseExcelDate();
    nameUnusablePhotos();
}

// Photo references that can never be shown (a path out of the photo folder,
// a link, a pipe, a device) are named once, here; the entry tab and the list
// then show those days without a photo and leave the references as they are.
void TFrm_Main::nameUnusablePhotos()
{
    constexpr int shownAtMost = 10;
    const QStringList unusable = unusablePhotoReferences(m_diary, m_paths.PictureDir, MaxPhotoBytes);
    if (unusable.isEmpty())
        return;
    QStringList lines{QStringLiteral("日記の写真の欄に、写真フォルダ \"%1\" の写真として開けないものがあります。")
                          .arg(m_paths.PictureDir)};
    lines += unusable.mid(0, shownAtMost);
    if (unusable.size() > shownAtMost)
        lines.append(QStringLiteral("ほか %1 件").arg(unusable.size() - shownAtMost));
    lines.append(QStringLiteral("これらの日は写真なしとして表示します。日記の写真の欄はそのまま残します。"));
    Messages::error(lines.join(QStringLiteral("\r\n")));
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
    const GraphWindow window = m_ui->Tab_Grph_Estb->graphWindow();
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
    openCompanion(m_paths.CompanionDir + FixedNames::BoxingGame);
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
    show(m_ui->Img_V, letterKeysPicture(u'V'));
    show(m_ui->Img_B, letterKeysPicture(u'B'));
    show(m_ui->Img_C, letterKeysPicture(u'C'));
    show(m_ui->Img_N, letterKeysPicture(u'N'));
    show(m_ui->Img_M, letterKeysPicture(u'M'));
    show(m_ui->Img_C2, letterKeysPicture(u'C'));
    show(m_ui->Img_N2, letterKeysPicture(u'N'));
    show(m_ui->Img_Space, spaceKeyPicture());
    show(m_ui->Img_YajiLeft, arrowKeysPicture(ArrowKey::Left));
    show(m_ui->Img_YajiUp, arrowKeysPicture(ArrowKey::Up));
    show(m_ui->Img_YajiDown, arrowKeysPicture(ArrowKey::Down));
    show(m_ui->Img_YajiRight, arrowKeysPicture(ArrowKey::Right));
    show(m_ui->Img_YajiDown2, arrowKeysPicture(ArrowKey::Down));
    show(m_ui->Img_YajiDown3, arrowKeysPicture(ArrowKey::Down));
}

void TFrm_Main::centreOnScreen()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
