#include "focusexit.h"

#include <QEvent>
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
        if (event->type() == QEvent::FocusOut)
            m_handler();
        return false;
    }

private:
    std::function<void()> m_handler;
};

} // namespace

void onExit(QWidget *control, std::function<void()> handler)
{
    new ExitFilter(control, std::move(handler));
}
