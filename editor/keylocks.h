#pragma once

#include <functional>

namespace pennote {

// The keyboard's lock states the status bar shows.
struct KeyLocks
{
    bool numLock = false;
    bool capsLock = false;

    bool operator==(const KeyLocks &) const = default;
};

using KeyLockReader = std::function<KeyLocks()>;

// The current lock states: from the X server's keyboard indicators where there is one, else from
// the keyboard LEDs the kernel exposes, else both off.
KeyLocks readKeyLocks();

// Installs a reader (tests choose the states) and returns the previous one; an empty reader
// restores the real one.
KeyLockReader setKeyLockReader(KeyLockReader reader);

} // namespace pennote
