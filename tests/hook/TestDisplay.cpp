#include "hook/TestDisplay.h"

#include "hook/ErrorTrap.h"

#include <X11/extensions/XTest.h>
#include <poll.h>

#include <chrono>
#include <stdexcept>

CTestDisplay::CTestDisplay(const char* name) : m_pDisplay(XOpenDisplay(name)) {
    if (!m_pDisplay)
        throw std::runtime_error("no X display");
    CErrorTrap::Route(m_pDisplay);
}

CTestDisplay::~CTestDisplay() {
    XCloseDisplay(m_pDisplay);
}

Window CTestDisplay::CreateWindow(Window parent) {
    return XCreateSimpleWindow(m_pDisplay, parent == None ? Root() : parent, 0, 0, 10, 10, 0, 0, 0);
}

Window CTestDisplay::ShowWindow(unsigned width, unsigned height, long mask) {
    const Window window =
        XCreateSimpleWindow(m_pDisplay, Root(), 100, 100, width, height, 0, 0, 0xffffff);
    XSelectInput(m_pDisplay, window, mask);
    XMapWindow(m_pDisplay, window);
    XFlush(m_pDisplay);
    WaitUntil([&] {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_pDisplay, window, &attributes) &&
               attributes.map_state == IsViewable;
    });
    return window;
}

std::pair<int, int> CTestDisplay::PointIn(Window window, int dx, int dy) {
    XWindowAttributes attributes;
    XGetWindowAttributes(m_pDisplay, window, &attributes);
    int x = 0;
    int y = 0;
    Window child = None;
    XTranslateCoordinates(m_pDisplay, window, Root(), attributes.width / 2 + dx,
                          attributes.height / 2 + dy, &x, &y, &child);
    return {x, y};
}

bool CTestDisplay::TryGrabButton(unsigned mods) {
    CErrorTrap trap(m_pDisplay);
    XGrabButton(m_pDisplay, Button3, mods, Root(), False, ButtonPressMask | ButtonReleaseMask,
                GrabModeAsync, GrabModeAsync, None, None);
    return trap.Sync() == 0;
}

void CTestDisplay::UngrabButton(unsigned mods) {
    XUngrabButton(m_pDisplay, Button3, mods, Root());
    XSync(m_pDisplay, False);
}

void CTestDisplay::Key(KeySym keysym, bool down) {
    XTestFakeKeyEvent(m_pDisplay, XKeysymToKeycode(m_pDisplay, keysym), down, CurrentTime);
}

void CTestDisplay::Click(int x, int y, std::initializer_list<KeySym> held) {
    XTestFakeMotionEvent(m_pDisplay, DefaultScreen(m_pDisplay), x, y, CurrentTime);
    for (KeySym key : held)
        Key(key, true);
    XTestFakeButtonEvent(m_pDisplay, 3, True, CurrentTime);
    XTestFakeButtonEvent(m_pDisplay, 3, False, CurrentTime);
    for (KeySym key : held)
        Key(key, false);
    XSync(m_pDisplay, False);
}

void CTestDisplay::TapKey(KeySym keysym) {
    Key(keysym, true);
    Key(keysym, false);
    XSync(m_pDisplay, False);
}

unsigned CTestDisplay::PointerModifiers() {
    Window window = None;
    int at = 0;
    unsigned mask = 0;
    XQueryPointer(m_pDisplay, Root(), &window, &window, &at, &at, &at, &at, &mask);
    return mask;
}

bool CTestDisplay::WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        // Wakes at once when the server sends something; the timeout covers
        // conditions that change elsewhere.
        pollfd fd{ConnectionNumber(m_pDisplay), POLLIN, 0};
        poll(&fd, 1, 20);
        XEventsQueued(m_pDisplay, QueuedAfterReading);
    }
    return true;
}

bool CTestDisplay::WaitEvent(Window window, int type, XEvent* event, int timeoutMs) {
    return WaitUntil([&] { return XCheckTypedWindowEvent(m_pDisplay, window, type, event); },
                     timeoutMs);
}
