#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs a handler whenever the user leaves a control (Tab, a click elsewhere):
// the moment a value typed into it is checked and accepted or put back. The
// focus going to a message box, a popup or another window is not leaving.
void onExit(QWidget *control, std::function<void()> handler);
