#include "pagecontrol.h"

#include <QPainter>
#include <QStyleOptionTab>
#include <QStylePainter>
#include <QTabBar>

namespace {

class CaptionTabBar final : public QTabBar
{
public:
    using QTabBar::QTabBar;

protected:
    QSize tabSizeHint(int) const override { return {80, 25}; }

    void paintEvent(QPaintEvent *) override
    {
        QStylePainter painter(this);
        for (int i = 0; i < count(); ++i) {
            QStyleOptionTab option;
            initStyleOption(&option, i);
            painter.drawControl(QStyle::CE_TabBarTabShape, option);
            Pg_CntrlDrawTab(painter, i, tabRect(i));
        }
    }

private:
    void Pg_CntrlDrawTab(QPainter &painter, int index, const QRect &rect)
    {
        painter.setPen(palette().color(QPalette::WindowText));
        const QFontMetrics metrics(painter.font());
        painter.drawText(rect.left() + 4, rect.top() + 6 + metrics.ascent(), tabText(index));
    }
};

} // namespace

PageControl::PageControl(QWidget *parent) : QTabWidget(parent)
{
    setTabBar(new CaptionTabBar(this));
}
