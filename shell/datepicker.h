#pragma once

#include <QDateEdit>

// A date picker with a drop-down calendar that is one stop of the keyboard
// order: Tab leaves it, as it leaves an edit, instead of walking through its
// year, month and day. The calendar follows the program's locale.
class DatePicker : public QDateEdit
{
    Q_OBJECT

public:
    explicit DatePicker(QWidget *parent = nullptr);

protected:
    bool focusNextPrevChild(bool next) override;
};
