#pragma once
// A passive grab matches the modifier state exactly, so the right button is
// grabbed once for each combination of the lock keys a user may have on.

#include <X11/Xlib.h>

#include <vector>

class CLockModifiers {
public:
    // The modifier bit whose keys include keycode; 0 when none does.
    static unsigned MaskOf(const XModifierKeymap& map, KeyCode keycode);
    // Caps Lock's, Num Lock's and Scroll Lock's bits in display's current
    // modifier map; never Shift, Control or Alt, whose clicks stay the
    // clicked program's own.
    static unsigned Read(Display* display);
    // Every combination of the bits of locks, none first.
    static std::vector<unsigned> Combinations(unsigned locks);
};
