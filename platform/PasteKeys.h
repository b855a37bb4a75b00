#pragma once
// The keyboard's part of a paste: the paste chord (Ctrl+V, Ctrl+Shift+V,
// Shift+Insert ...) through XTest, with the key of the current keyboard
// layout. A layout without the key gets it on an unused keycode for a while,
// as xdotool does; the mapping goes back once the target has had time to read
// the keys with it, and a paste meanwhile reuses it and puts the restoring off.

#include "platform/KeyChord.h"

#include <string>

class CPasteKeys {
public:
    CPasteKeys() = default;
    // A borrowed keycode is given back at once.
    ~CPasteKeys();
    CPasteKeys(const CPasteKeys&) = delete;
    CPasteKeys& operator=(const CPasteKeys&) = delete;

    // False when the server has no XTest, the key name is unknown or no key
    // can produce it.
    bool Send(const SKeyChord& chord);

    // Shift, Ctrl, Alt or Super is down now (a person still holding it).
    static bool ModifiersHeld();
    // Lets go of each of them, so that the chord typed next is the chord.
    static void ReleaseModifiers();

    // The keysym of a key name ("V", "Insert"); 0 when there is none.
    static unsigned long KeySymOf(const std::string& name);

private:
    // A GLib timeout's callback.
    static int OnRestoreTime(void* self);
    unsigned MapScratchKey(unsigned long sym);
    void RestoreScratchKey();

    // The borrowed keycode, 0 when none, and its number of keysyms.
    unsigned m_nScratchKey = 0;
    int m_nScratchWidth = 0;
    unsigned long m_nScratchSym = 0;
    unsigned m_nRestoreTimer = 0;
};
