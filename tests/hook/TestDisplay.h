#pragma once
// A test's own X connection: windows, XTest input, waits with timeouts.

#include <X11/Xlib.h>

#include <functional>
#include <initializer_list>
#include <utility>

class CTestDisplay {
public:
    explicit CTestDisplay(const char* name = nullptr);
    ~CTestDisplay();
    CTestDisplay(const CTestDisplay&) = delete;
    CTestDisplay& operator=(const CTestDisplay&) = delete;

    Display* Get() const { return m_pDisplay; }
    Window Root() const { return DefaultRootWindow(m_pDisplay); }

    // Unmapped, so no window manager takes it.
    Window CreateWindow(Window parent = None);
    // Mapped at top level selecting mask, once viewable (framed if a window
    // manager runs).
    Window ShowWindow(unsigned width, unsigned height, long mask);
    // Root coordinates of window's centre moved by (dx, dy).
    std::pair<int, int> PointIn(Window window, int dx = 0, int dy = 0);

    // Whether a passive grab of the right button with mods on the root
    // succeeds; kept until UngrabButton.
    bool TryGrabButton(unsigned mods);
    void UngrabButton(unsigned mods);

    // Through XTest.
    void Click(int x, int y, std::initializer_list<KeySym> held = {});
    void TapKey(KeySym keysym);
    unsigned PointerModifiers();

    bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
    bool WaitEvent(Window window, int type, XEvent* event, int timeoutMs = 5000);

private:
    void Key(KeySym keysym, bool down);

    Display* m_pDisplay;
};
