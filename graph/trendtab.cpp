#include "trendtab.h"

#include "ui_Tab_Trend.h"

#include "datetext.h"
#include "messages.h"

TTab_Trend::TTab_Trend(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::TTab_Trend>())
{
    m_ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground); // the page control's sky blue
    for (const auto &[box, field] : {std::pair{m_ui->ChkBx_Trend, &TrendSettings::Trend},
                                     std::pair{m_ui->ChkBx_GoalLines, &TrendSettings::GoalLines},
                                     std::pair{m_ui->ChkBx_LatestDays, &TrendSettings::LatestDays},
                                     std::pair{m_ui->ChkBx_Backups, &TrendSettings::Backups},
                                     std::pair{m_ui->ChkBx_ReadOut, &TrendSettings::ReadOut}}) {
        connect(box, &QCheckBox::toggled, this, [this, field](bool on) { ChkBx_Click(field, on); });
    }
}

TTab_Trend::~TTab_Trend() = default;

void TTab_Trend::attach(TrendSettings *fields, const QString &iniPath)
{
    m_fields = nullptr; // the boxes take the fields' state without saving it
    m_ui->ChkBx_Trend->setChecked(fields->Trend == 1);
    m_ui->ChkBx_GoalLines->setChecked(fields->GoalLines == 1);
    m_ui->ChkBx_LatestDays->setChecked(fields->LatestDays == 1);
    m_ui->ChkBx_Backups->setChecked(fields->Backups == 1);
    m_ui->ChkBx_ReadOut->setChecked(fields->ReadOut == 1);
    m_fields = fields;
    m_iniPath = iniPath;
}

void TTab_Trend::showFigures(const GraphPicture &graph, const EstablishSettings &establish, QDate today)
{
    m_ui->Lbl_Figures->setText(trendFiguresText(graph, establish, today));
}

void TTab_Trend::ChkBx_Click(int TrendSettings::*field, bool on)
{
    if (!m_fields)
        return;
    m_fields->*field = on ? 1 : 0;
    if (QString error; !WriteIni_Trend(m_iniPath, *m_fields, &error))
        Messages::error(error + QStringLiteral("\r\nこの切り替えは次の起動には残りません。"));
    Q_EMIT switchesChanged();
}

TrendOverlay trendOverlay(const TrendSettings &trend, const EstablishSettings &establish)
{
    return {trend.Trend == 1, trend.GoalLines == 1, goalValue(establish.GoalW), goalValue(establish.GoalF)};
}

QString trendFiguresText(const GraphPicture &graph, const EstablishSettings &establish, QDate today)
{
    if (graph.weightTrend.empty() && graph.fatTrend.empty())
        return QStringLiteral("「トレンド線を表示する」を選ぶと、トレンドの値、ここ28日の変化の速さと"
                              "目標に届く日の予想をここに表示します。");
    const double day = oleDayNumber(today);
    const auto orZero = [](const QString &typed) { return goalValue(typed).value_or(0); };
    return trendFigures(graph.weightTrend, day, orZero(establish.GoalW), orZero(establish.DStartW),
                        QStringLiteral("体重"), QStringLiteral("kg"))
        + QStringLiteral("\n\n")
        + trendFigures(graph.fatTrend, day, orZero(establish.GoalF), orZero(establish.DStartF),
                       QStringLiteral("体脂肪率"), QStringLiteral("%"));
}

void applyLatestDays(const TrendSettings &trend, GraphSettings &graph, QDate today)
{
    const std::optional<QDate> start = parseDateText(graph.StartD);
    const std::optional<QDate> end = parseDateText(graph.EndD);
    if (trend.LatestDays != 1 || !start || !end)
        return;
    const DateSpan moved = endingToday({*start, *end}, today);
    graph.StartD = dateText(moved.start);
    graph.EndD = dateText(moved.end);
}
