#pragma once
// A second client of the X display, as another program would be: its own
// connection, windows, XTest input, passive grabs to probe whether a key or a
// button is taken, client messages, and selection reads. Its X errors go to
// its own traps (the hook library's, per connection), never to a process-wide
// handler: GDK's would end the test.

// Before X11's headers, whose macros (None, Bool) clash with its names.
#include <gtest/gtest.h>

#include "support/GuiTest.h"

#include <X11/Xlib.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class wxWindow;

// The X window of a wx window's top-level parent, made on demand.
unsigned long XidOf(wxWindow* window);

class CXClient {
public:
    explicit CXClient(const char* display = nullptr);
    ~CXClient() { XCloseDisplay(m_pDisplay); }
    CXClient(const CXClient&) = delete;
    CXClient& operator=(const CXClient&) = delete;

    Display* Get() const { return m_pDisplay; }
    Window Root() const { return DefaultRootWindow(m_pDisplay); }
    unsigned Code(KeySym sym) const { return XKeysymToKeycode(m_pDisplay, sym); }

    // 200 x 150 at (100, 100) inside parent or the root; unmapped, so no window
    // manager takes it.
    Window CreateWindow(Window parent = None);
    bool Viewable(Window window);
    // Whether this client could take the passive grab of a key (keycode 0:
    // the right button) now; given back at once unless held (until
    // ReleaseGrabs).
    bool CanGrab(unsigned keycode, unsigned mods, bool hold = false);
    bool CanGrabButton(unsigned mods, bool hold = false) { return CanGrab(0, mods, hold); }
    bool CanGrabKey(KeySym sym, unsigned mods, bool hold = false) {
        return CanGrab(Code(sym), mods, hold);
    }
    void ReleaseGrabs();

    // Input through XTest, sent at once: a key; keys (then the keycode last)
    // pressed in order and released in reverse; a right-click.
    void Key(unsigned code, bool down);
    void Chord(std::initializer_list<KeySym> keys, unsigned last = 0);
    void Click(std::pair<int, int> at);

    void Send(Window to, const char* type, std::vector<long> items);

    // The selection converted to target, read as another program reads it,
    // the caller's event loop running meanwhile (the owner may be the caller).
    // Nothing when the owner refuses; a test failure too when it does not
    // answer in 5 s.
    std::optional<std::string> ReadSelection(const char* selection, const char* target);

    // Polling reads the connection, so no event stays unread in its socket.
    bool WaitEvent(Window window, int type, XEvent* event) {
        return WaitFor("an X event",
                       [&] { return XCheckTypedWindowEvent(m_pDisplay, window, type, event); });
    }

private:
    void Ungrab(unsigned keycode, unsigned mods);

    Display* m_pDisplay;
    std::vector<std::pair<unsigned, unsigned>> m_vecHeld; // keycode, mods
    Window m_nReader = None;
};
