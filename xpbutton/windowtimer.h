#pragma once

#include <QtGlobal>

class QWidget;

namespace xpbutton {

// Timers that belong to a window and are told apart by a number the caller picks, the way the
// platform the button was designed on kept them: starting a timer under a number the window
// already runs restarts that timer, and every tick calls one routine with the window and the
// number. The timers live as children of their window and end with it.
using TimerRoutine = void (*)(QWidget *window, int timerId);

// Starts (or restarts) timer timerId of window with the given period.
void SetTimer(QWidget *window, int timerId, int milliseconds, TimerRoutine routine);
// Stops timer timerId of window; false when it was not running.
bool KillTimer(QWidget *window, int timerId);
// Whether timer timerId of window is running.
bool isTimerRunning(const QWidget *window, int timerId);
// How many timers of window are running.
int runningTimerCount(const QWidget *window);

} // namespace xpbutton
