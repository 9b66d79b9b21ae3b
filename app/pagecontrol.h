#pragma once

#include <QTabWidget>

// The main window's page control: tabs of 80 x 25 whose captions the
// program writes itself, 4 pixels in from the left and 6 down from the top.
class PageControl : public QTabWidget
{
    Q_OBJECT

public:
    explicit PageControl(QWidget *parent = nullptr);
};
