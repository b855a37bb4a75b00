#pragma once
// X errors on the connections of this library never reach the process-wide
// handlers: GTK's and Xlib's default ones end the process, and the program's
// GUI thread pushes and pops GTK's at any time. Protocol errors are taken per
// Display (Xlib's wire-to-error hook), so nothing process-wide changes for
// them; only the fatal I/O error has no per-Display hook, and its handler
// chains to the previous one for every other Display.

#include <X11/Xlib.h>

class CErrorTrap {
public:
    // From now until XCloseDisplay, every protocol error of display goes to the
    // innermost trap of the calling thread on that display, or is dropped.
    static void Route(Display* display);
    // Route, and a lost connection marks display lost instead of ending the
    // process; Xlib then does no more I/O on it, so XCloseDisplay is safe.
    static void Guard(Display* display);
    static bool IsLost(Display* display);
    // Puts back the I/O error handler found by Guard, if ours is still set.
    static void RestoreIoHandler();
    // The routing's entry point: records code in the innermost trap of this
    // thread on display.
    static void Deliver(Display* display, int code);

    // Catches the errors of the requests made on this thread while it lives.
    explicit CErrorTrap(Display* display);
    ~CErrorTrap();
    CErrorTrap(const CErrorTrap&) = delete;
    CErrorTrap& operator=(const CErrorTrap&) = delete;

    // Waits for the server to answer everything sent so far; the first error
    // code caught, 0 when none.
    int Sync();
    int Error() const { return m_nError; }

private:
    Display* m_pDisplay;
    CErrorTrap* m_pOuter;
    int m_nError = 0;
};
