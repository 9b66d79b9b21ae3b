#include "focusexit.h"

#include <QFocusEvent>
#include <QWidget>

namespace {

class ExitFilter final : public QObject
{
public:
    ExitFilter(QWidget *control, std::function<void()> handler) : QObject(control), m_handler(std::move(handler))
    {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut
            && leftByTheUser(*static_cast<QWidget *>(watched), static_cast<QFocusEvent *>(event)->reason()))
            m_handler();
        return false;
    }

private:
    // A message box, a menu, a drop-down calendar or another window taking
    // the focus for a while is no leaving: the user comes back to the
    // control, and its check runs when they move on from it. Nor is a
    // control losing the focus because its window is closed and destroyed
    // (hidden by then): the window's handlers are already gone.
    static bool leftByTheUser(const QWidget &control, Qt::FocusReason reason)
    {
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        return reason != Qt::OtherFocusReason || control.isVisible();
    }

    std::function<void()> m_handler;
};

} // namespace

void onExit(QWidget *control, std::function<void()> handler)
{
    new ExitFilter(control, std::move(handler));
}
