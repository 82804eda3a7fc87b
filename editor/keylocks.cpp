#include "keylocks.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>

#ifdef PENNOTE_HAVE_X11
#include <X11/XKBlib.h>
#include <qguiapplication_platform.h>
#endif

#include <utility>

namespace pennote {

namespace {

KeyLockReader &installedReader()
{
    static KeyLockReader reader;
    return reader;
}

#ifdef PENNOTE_HAVE_X11
bool readX11(KeyLocks &locks)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return false;
    auto indicator = [display](const char *name) {
        Bool on = False;
        const Atom atom = XInternAtom(display, name, True);
        if (atom == None || !XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
            return false;
        return on == True;
    };
    locks.numLock = indicator("Num Lock");
    locks.capsLock = indicator("Caps Lock");
    return true;
}
#endif

// /sys/class/leds/input*::numlock/brightness: on when any keyboard shows the light.
bool anyLedOn(const QString &suffix)
{
    const QDir leds(QStringLiteral("/sys/class/leds"));
    const QStringList names = leds.entryList({QStringLiteral("*::") + suffix}, QDir::Dirs);
    for (const QString &name : names) {
        QFile brightness(leds.filePath(name + QStringLiteral("/brightness")));
        if (brightness.open(QIODevice::ReadOnly) && brightness.readAll().trimmed().toInt() > 0)
            return true;
    }
    return false;
}

KeyLocks readSystem()
{
    KeyLocks locks;
#ifdef PENNOTE_HAVE_X11
    if (readX11(locks))
        return locks;
#endif
    locks.numLock = anyLedOn(QStringLiteral("numlock"));
    locks.capsLock = anyLedOn(QStringLiteral("capslock"));
    return locks;
}

} // namespace

KeyLocks readKeyLocks()
{
    if (const KeyLockReader &reader = installedReader())
        return reader();
    return readSystem();
}

KeyLockReader setKeyLockReader(KeyLockReader reader)
{
    return std::exchange(installedReader(), std::move(reader));
}

} // namespace pennote
