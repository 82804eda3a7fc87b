#pragma once

#include <Qt>

namespace xpbutton {

// The numbers the button's events carry, as hosts written for the original platform expect
// them: key codes (A = 65, Enter = 13, left arrow = 37, ...), the Shift mask (1 Shift, 2 Ctrl,
// 4 Alt) and mouse buttons (1 left, 2 right, 4 middle).
short keyCode(int qtKey, Qt::KeyboardModifiers modifiers = {});
short shiftMask(Qt::KeyboardModifiers modifiers);
short mouseButton(Qt::MouseButton button);
short mouseButtons(Qt::MouseButtons buttons);

// Key codes the button itself reacts to.
enum KeyCode : short {
    kKeyEnter = 13,
    kKeyShift = 16,
    kKeyEscape = 27,
    kKeySpace = 32,
    kKeyLeft = 37,
    kKeyUp = 38,
    kKeyRight = 39,
    kKeyDown = 40,
};

} // namespace xpbutton
