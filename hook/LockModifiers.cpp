#include "hook/LockModifiers.h"

#include <X11/keysym.h>

unsigned CLockModifiers::MaskOf(const XModifierKeymap& map, KeyCode keycode) {
    // Unused slots of the map hold 0.
    if (keycode == 0 || !map.modifiermap)
        return 0;
    for (int modifier = 0; modifier < 8; ++modifier)
        for (int slot = 0; slot < map.max_keypermod; ++slot)
            if (map.modifiermap[modifier * map.max_keypermod + slot] == keycode)
                return 1u << modifier;
    return 0;
}

unsigned CLockModifiers::Read(Display* display) {
    unsigned locks = LockMask;
    if (XModifierKeymap* map = XGetModifierMapping(display)) {
        locks |= MaskOf(*map, XKeysymToKeycode(display, XK_Num_Lock));
        locks |= MaskOf(*map, XKeysymToKeycode(display, XK_Scroll_Lock));
        XFreeModifiermap(map);
    }
    return locks & ~(ShiftMask | ControlMask | Mod1Mask);
}

std::vector<unsigned> CLockModifiers::Combinations(unsigned locks) {
    std::vector<unsigned> out;
    unsigned subset = 0;
    do {
        out.push_back(subset);
        subset = (subset - locks) & locks;
    } while (subset != 0);
    return out;
}
