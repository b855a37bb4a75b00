#include "hook/HookConnection.h"

#include "hook/ErrorTrap.h"
#include "hook/zqMouseHook.h"
#include "platform/LockModifiers.h"

#include <poll.h>

CHookConnection::~CHookConnection() {
    Close();
}

bool CHookConnection::Open() {
    m_pDisplay = XOpenDisplay(nullptr);
    if (!m_pDisplay)
        return false;
    CErrorTrap::Guard(m_pDisplay);
    m_nMessage = XInternAtom(m_pDisplay, ZQ_MOUSEHOOK_MESSAGE, False);
    m_search.emplace(m_pDisplay);
    return !CloseIfLost();
}

void CHookConnection::Close() {
    if (!m_pDisplay)
        return;
    // The server drops the grabs with the connection; after a loss Xlib does
    // no more I/O here.
    XCloseDisplay(m_pDisplay);
    m_pDisplay = nullptr;
    m_search.reset();
    m_vecMods.clear();
    m_bStarted = false;
    m_bPressed = false;
}

bool CHookConnection::CloseIfLost() {
    if (!m_pDisplay || !CErrorTrap::IsLost(m_pDisplay))
        return false;
    Close();
    return true;
}

int CHookConnection::Fd() const {
    return m_pDisplay ? ConnectionNumber(m_pDisplay) : -1;
}

int CHookConnection::Start() {
    if (m_bStarted)
        return ZQ_HOOK_OK;
    if (!m_pDisplay && !Open())
        return ZQ_HOOK_NO_DISPLAY;
    const int result = Grab();
    m_bStarted = result == ZQ_HOOK_OK;
    return result;
}

void CHookConnection::Stop() {
    if (!m_bStarted)
        return;
    m_bStarted = false;
    m_bPressed = false;
    Ungrab();
}

int CHookConnection::Grab() {
    // Shift, Control and Alt are never among them: those clicks stay the
    // clicked program's own.
    m_vecMods = CLockModifiers::Combinations(CLockModifiers::Read(m_pDisplay) &
                                             ~(ShiftMask | ControlMask | Mod1Mask));
    CErrorTrap trap(m_pDisplay);
    for (int screen = 0; screen < ScreenCount(m_pDisplay); ++screen)
        for (unsigned mods : m_vecMods)
            XGrabButton(m_pDisplay, Button3, mods, RootWindow(m_pDisplay, screen), False,
                        ButtonPressMask | ButtonReleaseMask, GrabModeAsync, GrabModeAsync, None,
                        None);
    const int error = trap.Sync();
    if (CloseIfLost())
        return ZQ_HOOK_NO_DISPLAY;
    if (error == 0)
        return ZQ_HOOK_OK;
    // Those that succeeded; releasing one never held is no error.
    Ungrab();
    return m_pDisplay ? ZQ_HOOK_GRAB_REFUSED : ZQ_HOOK_NO_DISPLAY;
}

void CHookConnection::Ungrab() {
    CErrorTrap trap(m_pDisplay);
    for (int screen = 0; screen < ScreenCount(m_pDisplay); ++screen)
        for (unsigned mods : m_vecMods)
            XUngrabButton(m_pDisplay, Button3, mods, RootWindow(m_pDisplay, screen));
    // Released at the server before StopHook returns.
    trap.Sync();
    CloseIfLost();
}

int CHookConnection::Pump(short revents, unsigned long client) {
    if (!m_pDisplay)
        return ZQ_HOOK_OK;
    const bool wasStarted = m_bStarted;
    if (revents & (POLLERR | POLLNVAL)) {
        Close();
        return wasStarted ? ZQ_HOOK_NO_DISPLAY : ZQ_HOOK_OK;
    }
    int result = ZQ_HOOK_OK;
    // Reads what is there without blocking; end of file marks it lost.
    while (!CErrorTrap::IsLost(m_pDisplay) && XPending(m_pDisplay) > 0) {
        XEvent event;
        XNextEvent(m_pDisplay, &event);
        if (const int error = OnEvent(event, client); error != ZQ_HOOK_OK)
            result = error;
        if (!m_pDisplay)
            break;
    }
    // A hang-up with nothing left to read is a loss even if Xlib has not
    // seen it yet.
    if (CloseIfLost() || (m_pDisplay && (revents & POLLHUP))) {
        Close();
        return wasStarted ? ZQ_HOOK_NO_DISPLAY : result;
    }
    return result;
}

int CHookConnection::OnEvent(XEvent& event, unsigned long client) {
    switch (event.type) {
    case ButtonPress:
        if (event.xbutton.button == Button3)
            m_bPressed = m_bStarted;
        break;
    case ButtonRelease:
        // The grab is over now, so the program's menu can take its own.
        if (event.xbutton.button == Button3 && m_bPressed) {
            m_bPressed = false;
            Report(event.xbutton, client);
        }
        break;
    case MappingNotify:
        XRefreshKeyboardMapping(&event.xmapping);
        // Num Lock may have moved to another modifier bit.
        if (event.xmapping.request == MappingModifier && m_bStarted) {
            Ungrab();
            if (!m_pDisplay)
                return ZQ_HOOK_NO_DISPLAY;
            const int result = Grab();
            m_bStarted = result == ZQ_HOOK_OK;
            return result;
        }
        break;
    default:
        break;
    }
    return ZQ_HOOK_OK;
}

void CHookConnection::Report(const XButtonEvent& release, unsigned long client) {
    if (client == 0)
        return;
    XEvent message{};
    message.xclient.type = ClientMessage;
    message.xclient.display = m_pDisplay;
    message.xclient.window = client;
    message.xclient.message_type = m_nMessage;
    message.xclient.format = 32;
    message.xclient.data.l[0] = static_cast<long>(m_search->Find(release.subwindow));
    message.xclient.data.l[1] = release.x_root;
    message.xclient.data.l[2] = release.y_root;
    message.xclient.data.l[3] = static_cast<long>(release.time);
    // A client window that has gone gives BadWindow, which the trap drops.
    CErrorTrap trap(m_pDisplay);
    XSendEvent(m_pDisplay, client, False, NoEventMask, &message);
    XFlush(m_pDisplay);
}
