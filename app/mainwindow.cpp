#include "mainwindow.h"

#include "ui_mainwindow.h"

#include "datetext.h"
#include "graphreadout.h"
#include "keylegend.h"
#include "messages.h"
#include "readout.h"
#include "setupdialog.h"
#include "recordlistdialog.h"
#include "trendtab.h"
#include "axislabels.h"

#include <QCoreApplication>
#include <QScreen>

MainWindow::MainWindow(const QString &exeDir, DesktopShell *shell, QWidget *parent)
    : MainWindow(ProgramPaths::fromExeDir(exeDir), shell, parent)
{}

MainWindow::MainWindow(const ProgramPaths &paths, DesktopShell *shell, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::MainWindow>()), m_launcher(shell), m_core(paths)
{
    m_ui->setupUi(this);
    setFixedSize(size());
    setKeyLegendPictures();

    connect(m_ui->BtBtn_Close, &QPushButton::clicked, this, &MainWindow::BtBtn_CloseClick);
    connect(m_ui->Btn_Help, &QPushButton::clicked, this, &MainWindow::Btn_HelpClick);
    connect(m_ui->BtBtn_Default, &QPushButton::clicked, this, &MainWindow::BtBtn_DefaultClick);
    connect(m_ui->Btn_GridView, &QPushButton::clicked, this, &MainWindow::Btn_GridViewClick);
    connect(m_ui->BtBtn_Boxing, &QPushButton::clicked, this, &MainWindow::BtBtn_BoxingClick);
    connect(m_ui->Tab_Grph_Estb, &GraphSettingsTab::saveRequested, this, &MainWindow::saveGraphSettings);
    connect(m_ui->Tab_Enter, &EntryTab::saveRequested, this, &MainWindow::BtBtn_Save_TodayClick);
    connect(m_ui->Tab_Trend, &TrendTab::switchesChanged, this,
            [this] { tell(m_core.saveTrendSettings(m_ui->Tab_Trend->fields())); });
    connect(&m_core, &DiaryCore::diaryChanged, this, &MainWindow::GraphAllView);
    connect(&m_core, &DiaryCore::settingsChanged, this, &MainWindow::GraphAllView);
    connect(&m_core, &DiaryCore::viewerRequested, this, &MainWindow::openCompanion);
    m_readOut = new GraphReadOut(m_ui->Img_Main, [this](QPoint point) { return graphReadOut(point); });
}

MainWindow::~MainWindow() = default;

void MainWindow::setVisible(bool visible)
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

void MainWindow::FormShow()
{
    if (!tell(m_core.openSettings()))
        return;
    const SettingsFields &settings = m_core.settings();
    const ProgramPaths &paths = m_core.paths();
    m_ui->Tab_Trend->attach(settings.trend);
    m_ui->Tab_Grph_Estb->attach(settings.graph, paths.BkGrndDir);
    m_ui->Tab_Grph_Estb->SetGraph();
    m_ui->Tab_Enter->attach(&m_core.diary(), paths.PictureDir);
    if (!tell(m_core.openDiary(&Messages::askYesNo)))
        return;
    m_ui->Tab_Enter->fillFromNewest();
    if (m_core.diary().rowCount() >= 1)
        m_core.handOverStartLevel(m_ui->Tab_Enter->weightText(), m_ui->Tab_Enter->day());
}

bool MainWindow::tell(const CoreResult &result)
{
    for (const CoreResult::Notice &notice : result.notices) {
        if (notice.error)
            Messages::error(notice.problem, notice.after);
        else
            Messages::information(notice.problem, notice.after);
    }
    if (result.status != CoreResult::Status::Stopped)
        return true;
    AplStop(problemText(*result.stopReason, Aftermath::None));
    return false;
}

void MainWindow::BtBtn_Save_TodayClick()
{
    EntryTab &tab = *m_ui->Tab_Enter;
    const PhotoChange photo = tab.photoChange();
    const CoreResult result = m_core.saveDay(tab.dayValues(photo.reference), photo, &Messages::askYesNo);
    if (result.status == CoreResult::Status::Done)
        tab.setPhotoReference(photo.reference);
    tell(result);
}

void MainWindow::saveGraphSettings()
{
    tell(m_core.saveGraphSettings(m_ui->Tab_Grph_Estb->fields()));
}

void MainWindow::GraphAllView()
{
    const SettingsFields &settings = m_core.settings();
    const GraphInputs inputs{
        &m_core.diary(),          m_ui->Tab_Grph_Estb->graphWindow(),        m_ui->Tab_Grph_Estb->background(),
        m_bckGrnd.Img_CrossAxle2, colourFromSetting(settings.graph.LineClW), colourFromSetting(settings.graph.LineClF)};
    m_graph = renderGraph(inputs, trendOverlay(settings.trend, settings.establish), &m_graph);
    m_ui->Tab_Trend->showFigures(m_graph, settings.establish, QDate::currentDate());
    m_readOut->setEnabled(settings.trend.ReadOut == 1);
    CrossAxleClear();
    // Widgets made here belong to their panel, which deletes them with the next clear.
    new DateStrip(m_ui->Pnl_CrossAxle, m_graph.crossStrip);
    for (const Caption &caption : m_graph.dateCaptions)
        new DateCaptionLabel(m_ui->Pnl_CrossAxle, caption.pixel, caption.text);
    VertAxleClear();
    new ValueStrip(m_ui->Pnl_VerticalAxle, m_bckGrnd.Img_VerticalAxle2, m_bckGrnd.Img_VerticalAxle3);
    for (const Caption &caption : m_graph.weightCaptions)
        new WeightCaptionLabel(m_ui->Pnl_VerticalAxle, caption.pixel, caption.text, inputs.weightColour);
    for (const Caption &caption : m_graph.fatCaptions)
        new FatCaptionLabel(m_ui->Pnl_VerticalAxle, caption.pixel, caption.text, inputs.fatColour);
    m_ui->Img_Main->setPixmap(QPixmap::fromImage(m_graph.picture));
}

QString MainWindow::graphReadOut(QPoint point) const
{
    const std::optional<QDate> day = dayAtX(m_ui->Tab_Grph_Estb->graphWindow(), point.x());
    return day ? readOutText(m_core.diary(), *day, m_graph) : QString();
}

// Every strip and caption of the last redraw goes; the next redraw makes new ones.
void MainWindow::CrossAxleClear()
{
    qDeleteAll(m_ui->Pnl_CrossAxle->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void MainWindow::VertAxleClear()
{
    qDeleteAll(m_ui->Pnl_VerticalAxle->findChildren<QWidget *>(Qt::FindDirectChildrenOnly));
}

void MainWindow::AplStop(const QString &message)
{
    Messages::information(QStringLiteral("forced termination\r\n") + message);
    m_stopped = true;
    // Queued, so that it also ends a program whose event loop has not started yet.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [] { QCoreApplication::exit(1); }, Qt::QueuedConnection);
}

void MainWindow::BtBtn_CloseClick()
{
    close();
}

// Both windows are made afresh for each press and gone when they close.
void MainWindow::BtBtn_DefaultClick()
{
    SetupDialog dialog(
        m_core.settings().establish,
        [this](const EstablishSettings &chosen) {
            const CoreResult result = m_core.saveEstablishSettings(chosen);
            tell(result);
            return result.status == CoreResult::Status::Done;
        },
        this);
    dialog.exec();
}

void MainWindow::Btn_GridViewClick()
{
    const GraphWindow window = m_ui->Tab_Grph_Estb->graphWindow();
    RecordListDialog list(&m_core.diary(), dateFromOleDayNumber(window.start), dateFromOleDayNumber(window.end),
                          m_core.paths().PictureDir, this);
    list.exec();
}

void MainWindow::Btn_HelpClick()
{
    openCompanion(m_core.paths().HelpDir + FixedNames::HelpPage);
}

void MainWindow::BtBtn_BoxingClick()
{
    openCompanion(m_core.paths().CompanionDir + FixedNames::BoxingGame);
}

// A companion that is not there is left alone without a word; one that is
// there but will not start (no program for the help page, say) is said.
void MainWindow::openCompanion(const QString &path)
{
    if (m_launcher.open(path) == Launcher::Result::Failed)
        Messages::error(QStringLiteral("\"%1\" を開けませんでした。").arg(path));
}

void MainWindow::setKeyLegendPictures()
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

void MainWindow::centreOnScreen()
{
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}
