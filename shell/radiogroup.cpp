#include "radiogroup.h"

#include <QDynamicPropertyChangeEvent>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(QWidget *parent) : QGroupBox(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 2, 4, 2);
    layout->setSpacing(0);
    connect(&m_buttons, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::setItems(const QStringList &items)
{
    for (QAbstractButton *button : m_buttons.buttons())
        delete button;
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items.at(i), this);
        m_buttons.addButton(button, i);
        layout()->addWidget(button);
    }
}

int RadioGroup::itemIndex() const
{
    return m_buttons.checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *button = m_buttons.button(index)) {
        button->setChecked(true);
        return;
    }
    // Unchecking needs the group's exclusivity lifted for a moment.
    m_buttons.setExclusive(false);
    if (QAbstractButton *checked = m_buttons.checkedButton())
        checked->setChecked(false);
    m_buttons.setExclusive(true);
}

bool RadioGroup::event(QEvent *event)
{
    if (event->type() == QEvent::DynamicPropertyChange
        && static_cast<QDynamicPropertyChangeEvent *>(event)->propertyName() == "items")
        setItems(property("items").toStringList());
    return QGroupBox::event(event);
}

void setKeyboardOrder(std::initializer_list<QWidget *> controls)
{
    QWidget *previous = nullptr;
    for (QWidget *control : controls) {
        QList<QWidget *> stops{control};
        if (const auto *group = qobject_cast<const RadioGroup *>(control)) {
            stops.clear();
            for (QRadioButton *button : group->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly))
                stops << button;
        }
        for (QWidget *stop : stops) {
            if (previous)
                QWidget::setTabOrder(previous, stop);
            previous = stop;
        }
    }
}
