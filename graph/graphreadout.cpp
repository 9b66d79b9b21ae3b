#include "graphreadout.h"

#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

GraphReadOut::GraphReadOut(QWidget *picture, std::function<QString(QPoint)> textAt)
    : QObject(picture), m_picture(picture), m_textAt(std::move(textAt))
{
    picture->installEventFilter(this);
}

void GraphReadOut::setEnabled(bool on)
{
    m_enabled = on;
    m_picture->setMouseTracking(on);
    if (!on)
        QToolTip::hideText();
}

bool GraphReadOut::eventFilter(QObject *watched, QEvent *event)
{
    const bool pointer = event->type() == QEvent::MouseMove || event->type() == QEvent::MouseButtonPress;
    if (!m_enabled || watched != m_picture || !pointer)
        return QObject::eventFilter(watched, event);
    const auto *mouse = static_cast<QMouseEvent *>(event);
    const QString text = m_textAt(mouse->position().toPoint());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(mouse->globalPosition().toPoint(), text, m_picture);
    return false;
}
