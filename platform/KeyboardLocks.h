#pragma once
// The keyboard's lock states, as its indicator lights show them.

struct CLockStates {
    bool m_bCaps = false;
    bool m_bNum = false;
    bool m_bScroll = false;
};

class CKeyboardLocks {
public:
    // All off when the display is no X11 display.
    static CLockStates Query();
};
