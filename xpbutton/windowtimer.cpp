#include "windowtimer.h"

#include <QTimer>
#include <QWidget>

namespace xpbutton {

namespace {

// The number a timer runs under, kept on its QTimer.
constexpr char kTimerNumber[] = "xb_WindowTimerId";

QTimer *findTimer(const QWidget *window, int timerId)
{
    if (!window)
        return nullptr;
    const QList<QTimer *> timers = window->findChildren<QTimer *>(Qt::FindDirectChildrenOnly);
    for (QTimer *timer : timers) {
        const QVariant number = timer->property(kTimerNumber);
        if (number.isValid() && number.toInt() == timerId)
            return timer;
    }
    return nullptr;
}

} // namespace

void SetTimer(QWidget *window, int timerId, int milliseconds, TimerRoutine routine)
{
    if (!window || !routine)
        return;
    KillTimer(window, timerId);
    auto *timer = new QTimer(window);
    timer->setProperty(kTimerNumber, timerId);
    QObject::connect(timer, &QTimer::timeout, window,
                     [window, timerId, routine] { routine(window, timerId); });
    timer->start(milliseconds);
}

bool KillTimer(QWidget *window, int timerId)
{
    QTimer *timer = findTimer(window, timerId);
    if (!timer)
        return false;
    // The routine may be running on behalf of this very timer: stop it at once, free it later.
    timer->stop();
    timer->setProperty(kTimerNumber, QVariant());
    timer->disconnect();
    timer->deleteLater();
    return true;
}

bool isTimerRunning(const QWidget *window, int timerId)
{
    const QTimer *timer = findTimer(window, timerId);
    return timer && timer->isActive();
}

int runningTimerCount(const QWidget *window)
{
    if (!window)
        return 0;
    int count = 0;
    const QList<QTimer *> timers = window->findChildren<QTimer *>(Qt::FindDirectChildrenOnly);
    for (const QTimer *timer : timers)
        count += timer->property(kTimerNumber).isValid() && timer->isActive();
    return count;
}

} // namespace xpbutton
