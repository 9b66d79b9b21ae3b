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

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusOut && leftByTheUser(static_cast<QFocusEvent *>(event)->reason()))
            m_handler();
        return false;
    }

private:
    // A message box, a menu, a drop-down calendar or another window taking
    // the focus for a while is no leaving: the user comes back to the
    // control, and its check runs when they move on from it.
    static bool leftByTheUser(Qt::FocusReason reason)
    {
        return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
    }

    std::function<void()> m_handler;
};

} // namespace

void onExit(QWidget *control, std::function<void()> handler)
{
    new ExitFilter(control, std::move(handler));
}
