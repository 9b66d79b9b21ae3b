#pragma once

#include "plot.h"
#include "settings.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TTab_Trend;
}

// The trend tab: the switches of what the program adds to the Windows
// version (trend lines, goal lines, the latest days, backups, the read-out) and the trend's
// figures in words. Each switch is saved at once in the section of our own.
class TTab_Trend : public QWidget
{
    Q_OBJECT

public:
    explicit TTab_Trend(QWidget *parent = nullptr);
    ~TTab_Trend() override;

    // The fields the switches edit and the settings file they are saved in.
    void attach(TrendSettings *fields, const QString &iniPath);
    // The trend's figures of the last redraw, in words.
    void showFigures(const GraphPicture &graph, const EstablishSettings &establish, QDate today);

Q_SIGNALS:
    // A switch was turned: time to redraw.
    void switchesChanged();

private:
    void ChkBx_Click(int TrendSettings::*field, bool on);

    std::unique_ptr<Ui::TTab_Trend> m_ui;
    TrendSettings *m_fields = nullptr;
    QString m_iniPath;
};

// What a redraw adds to the graph for these switches and goals.
TrendOverlay trendOverlay(const TrendSettings &trend, const EstablishSettings &establish);

// The figures for weight and body fat, or a hint while the trend is off.
QString trendFiguresText(const GraphPicture &graph, const EstablishSettings &establish, QDate today);

// The graph's window at start-up: moved to end on today when the latest days
// are switched on and both dates are dates.
void applyLatestDays(const TrendSettings &trend, GraphSettings &graph, QDate today);
