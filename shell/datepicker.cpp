#include "datepicker.h"

#include <QBoxLayout>
#include <QCalendarWidget>
#include <QSpinBox>
#include <QToolButton>

namespace {

// The calendar's title reads year first, "2026年11月", as Japanese dates do;
// Qt puts the month first.
void yearBeforeMonth(QCalendarWidget *calendar)
{
    auto *month = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_monthbutton"));
    auto *year = calendar->findChild<QToolButton *>(QStringLiteral("qt_calendar_yearbutton"));
    auto *yearEdit = calendar->findChild<QSpinBox *>(QStringLiteral("qt_calendar_yearedit"));
    auto *bar = month && year && yearEdit ? qobject_cast<QBoxLayout *>(month->parentWidget()->layout()) : nullptr;
    if (!bar)
        return;
    bar->removeWidget(year);
    bar->removeWidget(yearEdit);
    bar->insertWidget(bar->indexOf(month), yearEdit);
    bar->insertWidget(bar->indexOf(month), year);
    const auto nameYear = [calendar, year](int shownYear) {
        year->setText(calendar->locale().toString(shownYear) + QStringLiteral("年"));
    };
    nameYear(calendar->yearShown());
    QObject::connect(calendar, &QCalendarWidget::currentPageChanged, year, nameYear);
}

} // namespace

DatePicker::DatePicker(QWidget *parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    yearBeforeMonth(calendarWidget());
}

bool DatePicker::focusNextPrevChild(bool next)
{
    // QDateTimeEdit would move to its next section; the window's order comes first.
    return QWidget::focusNextPrevChild(next);
}
