#pragma once
// What the snippet menu's paste needs of the desktop, without a word of X:
// the window clicked and its class, whether it has the keyboard, bringing it
// forward, the field under the click, the clipboard and the paste keys. The
// program uses the X11 desktop (platform/X11Desktop.h); tests put a recording
// fake in its place, so the paste's decisions run without a display.

#include "platform/KeyChord.h"

#include <string>

// The two names a window gives of its program (X11's WM_CLASS).
struct SWindowClass {
    std::string instance;
    std::string className;
};

// Which selections a paste fills and whether the clipboard's earlier contents
// come back once the target has read the snippet.
struct SClipboardFill {
    bool primary = false;
    bool restorePrevious = false;
};

// What became of moving the keyboard focus to the editable field at a point.
enum class EFieldFocus {
    Moved,          // the field at the point has the focus (and the caret) now
    AlreadyFocused, // it had it already; nothing was changed
    NoField,        // no editable text is known there: the window's own focus stays
    NoAnswer,       // the program did not answer in time: the window's own focus stays
};

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
    // Empty names for a window that is gone or gives none.
    virtual SWindowClass WindowClass(unsigned long window) = 0;
    // Within the window, which has the keyboard, gives the focus to the
    // editable text at the screen point and puts the caret there; a selection
    // under the point is kept. Never presses anything, and gives up after a
    // few tens of milliseconds without an answer.
    virtual EFieldFocus FocusFieldAt(unsigned long window, int x, int y) = 0;
    // The field focused by the last FocusFieldAt holds the focus now; some
    // programs move it a moment later.
    virtual bool FieldFocusArrived() = 0;
    // Puts UTF-8 text on the clipboard (and PRIMARY, if asked); false when it
    // could not be taken.
    virtual bool SetClipboardText(const std::string& utf8, const SClipboardFill& fill) = 0;
    // A modifier key (Ctrl, Shift, Alt, Super) is held down now.
    virtual bool ModifiersHeld() = 0;
    // Lets go of the modifier keys held down, so that they do not join the
    // paste keys.
    virtual void ReleaseModifiers() = 0;
    // Types the chord into whatever has the focus; false when it cannot be typed.
    virtual bool SendPasteKeys(const SKeyChord& chord) = 0;
};
