#pragma once
// A passive grab matches the modifier state exactly, so a key or button meant
// to work whatever the lock keys are is grabbed once for each combination of
// the locks a user may have on. Plain Xlib, shared by the hot key and by the
// hook library, which knows no toolkit.

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <vector>

class CLockModifiers {
public:
    // The modifier bits whose keys include keycode; 0 when none does.
    static unsigned MaskOf(const XModifierKeymap& map, KeyCode keycode) {
        unsigned mask = 0;
        // Unused slots of the map hold 0.
        for (int modifier = 0; keycode != 0 && map.modifiermap && modifier < 8; ++modifier)
            for (int slot = 0; slot < map.max_keypermod; ++slot)
                if (map.modifiermap[modifier * map.max_keypermod + slot] == keycode)
                    mask |= 1u << modifier;
        return mask;
    }

    // Caps Lock's bit and the bits Num Lock and Scroll Lock are bound to in
    // display's current modifier map.
    static unsigned Read(Display* display) {
        unsigned locks = LockMask;
        if (XModifierKeymap* map = XGetModifierMapping(display)) {
            locks |= MaskOf(*map, XKeysymToKeycode(display, XK_Num_Lock));
            locks |= MaskOf(*map, XKeysymToKeycode(display, XK_Scroll_Lock));
            XFreeModifiermap(map);
        }
        return locks;
    }

    // Every combination of the bits of locks, none first.
    static std::vector<unsigned> Combinations(unsigned locks) {
        std::vector<unsigned> out;
        unsigned subset = 0;
        do {
            out.push_back(subset);
            subset = (subset - locks) & locks;
        } while (subset != 0);
        return out;
    }
};
