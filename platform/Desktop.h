#pragma once
// What the snippet menu's paste needs of the desktop, without a word of X:
// the window clicked, whether it has the keyboard, bringing it forward, the
// clipboard and the paste keys. The program uses the X11 desktop
// (platform/X11Desktop.h); tests put a recording fake in its place, so the
// paste's decisions run without a display.

#include <string>

class CDesktop {
public:
    virtual ~CDesktop() = default;

    virtual bool WindowExists(unsigned long window) = 0;
    // The keyboard focus is on the window or inside it.
    virtual bool HasFocus(unsigned long window) = 0;
    // Brings the window forward with the keyboard focus; time is the X server
    // time of the click that asked for it, 0 when none.
    virtual void Activate(unsigned long window, unsigned long time) = 0;
    // The window is one of this program's own pop-ups.
    virtual bool IsOwnPopup(unsigned long window) = 0;
    // Puts UTF-8 text on the clipboard; false when it could not be taken.
    virtual bool SetClipboardText(const std::string& utf8) = 0;
    // Types Ctrl+V into whatever has the focus; false when it cannot be typed.
    virtual bool SendPasteKeys() = 0;
};
