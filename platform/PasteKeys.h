#pragma once
// The keyboard's part of a paste: Ctrl+V through XTest, with the V key of the
// current keyboard layout. A layout without any V key gets one on an unused
// keycode for a while, as xdotool does; the mapping goes back once the target
// has had time to read the keys with it, and a paste meanwhile reuses it and
// puts the restoring off.

class CPasteKeys {
public:
    CPasteKeys() = default;
    // A borrowed keycode is given back at once.
    ~CPasteKeys();
    CPasteKeys(const CPasteKeys&) = delete;
    CPasteKeys& operator=(const CPasteKeys&) = delete;

    // False when the server has no XTest or no key can produce V.
    bool Send();

private:
    // A GLib timeout's callback.
    static int OnRestoreTime(void* self);
    unsigned MapScratchKey();
    void RestoreScratchKey();

    // The borrowed keycode, 0 when none, and its number of keysyms.
    unsigned m_nScratchKey = 0;
    int m_nScratchWidth = 0;
    unsigned m_nRestoreTimer = 0;
};
