#include "trendtab.h"

#include "ui_trendtab.h"

#include "datetext.h"

TrendTab::TrendTab(QWidget *parent) : QWidget(parent), m_ui(std::make_unique<Ui::TrendTab>())
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

TrendTab::~TrendTab() = default;

void TrendTab::attach(const TrendSettings &fields)
{
    m_attached = false; // the boxes take the fields' state without asking to save it
    m_ui->ChkBx_Trend->setChecked(fields.Trend == 1);
    m_ui->ChkBx_GoalLines->setChecked(fields.GoalLines == 1);
    m_ui->ChkBx_LatestDays->setChecked(fields.LatestDays == 1);
    m_ui->ChkBx_Backups->setChecked(fields.Backups == 1);
    m_ui->ChkBx_ReadOut->setChecked(fields.ReadOut == 1);
    m_fields = fields;
    m_attached = true;
}

void TrendTab::showFigures(const GraphPicture &graph, const EstablishSettings &establish, QDate today)
{
    m_ui->Lbl_Figures->setText(trendFiguresText(graph, establish, today));
}

void TrendTab::ChkBx_Click(int TrendSettings::*field, bool on)
{
    if (!m_attached)
        return;
    m_fields.*field = on ? 1 : 0;
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
