#pragma once

#include <QButtonGroup>
#include <QGroupBox>

// A captioned group of radio buttons chosen by index, its items given as
// the dynamic property "items" (a string list) in the window's layout file.
class RadioGroup : public QGroupBox
{
    Q_OBJECT

public:
    explicit RadioGroup(QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    int itemIndex() const;        // -1 when nothing is selected
    void setItemIndex(int index); // outside the items: nothing selected

Q_SIGNALS:
    void clicked(int index); // by the user

protected:
    bool event(QEvent *event) override;

private:
    QButtonGroup m_buttons;
};

// Sets the keyboard (Tab) order of a window's controls; a radio group takes
// its place through its buttons, of which Tab visits the one selected.
void setKeyboardOrder(std::initializer_list<QWidget *> controls);
