#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs a handler whenever a control loses the keyboard focus: the moment a
// value typed into it is checked and accepted or put back.
void onExit(QWidget *control, std::function<void()> handler);
