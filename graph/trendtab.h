#pragma once

#include "plot.h"
#include "settings.h"

#include <QWidget>
#include <memory>

namespace Ui {
class TrendTab;
}

// The trend tab: the switches of what the program adds to the Windows
// version (trend lines, goal lines, the latest days, backups, the read-out) and the trend's
// figures in words. Each switch turned asks at once for the switches to be saved.
class TrendTab : public QWidget
{
    Q_OBJECT

public:
    explicit TrendTab(QWidget *parent = nullptr);
    ~TrendTab() override;

    // The fields the switches start from.
    void attach(const TrendSettings &fields);
    // The fields as the switches stand.
    const TrendSettings &fields() const { return m_fields; }
    // The trend's figures of the last redraw, in words.
    void showFigures(const GraphPicture &graph, const EstablishSettings &establish, QDate today);

Q_SIGNALS:
    // A switch was turned: the fields are to be saved and drawn.
    void switchesChanged();

private:
    void ChkBx_Click(int TrendSettings::*field, bool on);

    std::unique_ptr<Ui::TrendTab> m_ui;
    TrendSettings m_fields;
    bool m_attached = false; // the boxes follow the fields without a word until attached
};

// What a redraw adds to the graph for these switches and goals.
TrendOverlay trendOverlay(const TrendSettings &trend, const EstablishSettings &establish);

// The figures for weight and body fat, or a hint while the trend is off.
QString trendFiguresText(const GraphPicture &graph, const EstablishSettings &establish, QDate today);
