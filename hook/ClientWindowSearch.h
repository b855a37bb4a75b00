#pragma once
// The clicked program's top-level window, below the window manager's frame.

#include <X11/Xlib.h>

class CClientWindowSearch {
public:
    explicit CClientWindowSearch(Display* display);

    // The window carrying WM_STATE at or below top, the shallowest first;
    // top itself when none does (no window manager); 0 when top is None or
    // has gone. Windows that vanish during the search are skipped.
    Window Find(Window top) const;

private:
    enum class EProbe { Client, Other, Gone };
    EProbe Probe(Window window) const;

    Display* m_pDisplay;
    Atom m_nWmState;
};
