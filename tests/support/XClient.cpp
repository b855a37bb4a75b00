#include "support/XClient.h"

#include "hook/ErrorTrap.h"
#include "platform/X11Property.h"

#include <wx/toplevel.h>

#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <stdexcept>

unsigned long XidOf(wxWindow* window) {
    GtkWidget* widget = wxGetTopLevelParent(window)->GetHandle();
    gtk_widget_realize(widget);
    return GDK_WINDOW_XID(gtk_widget_get_window(widget));
}

CXClient::CXClient(const char* display) : m_pDisplay(XOpenDisplay(display)) {
    if (!m_pDisplay)
        throw std::runtime_error("no X display");
    CErrorTrap::Route(m_pDisplay);
}

Window CXClient::CreateWindow(Window parent) {
    const Window window =
        XCreateSimpleWindow(m_pDisplay, parent ? parent : Root(), 100, 100, 200, 150, 0, 0, 0);
    XSync(m_pDisplay, False);
    return window;
}

bool CXClient::Viewable(Window window) {
    XWindowAttributes attributes;
    CErrorTrap trap(m_pDisplay);
    return XGetWindowAttributes(m_pDisplay, window, &attributes) &&
           attributes.map_state == IsViewable;
}

bool CXClient::CanGrab(unsigned keycode, unsigned mods, bool hold) {
    CErrorTrap trap(m_pDisplay);
    if (keycode)
        XGrabKey(m_pDisplay, keycode, mods, Root(), False, GrabModeAsync, GrabModeAsync);
    else
        XGrabButton(m_pDisplay, Button3, mods, Root(), False, ButtonPressMask | ButtonReleaseMask,
                    GrabModeAsync, GrabModeAsync, None, None);
    const bool taken = trap.Sync() == 0;
    if (taken && hold)
        m_vecHeld.emplace_back(keycode, mods);
    else if (taken)
        Ungrab(keycode, mods);
    return taken;
}

void CXClient::Ungrab(unsigned keycode, unsigned mods) {
    keycode ? XUngrabKey(m_pDisplay, keycode, mods, Root())
            : XUngrabButton(m_pDisplay, Button3, mods, Root());
    XSync(m_pDisplay, False);
}

void CXClient::ReleaseGrabs() {
    for (const auto& [keycode, mods] : m_vecHeld)
        Ungrab(keycode, mods);
    m_vecHeld.clear();
}

void CXClient::Key(unsigned code, bool down) {
    XTestFakeKeyEvent(m_pDisplay, code, down, CurrentTime);
    XSync(m_pDisplay, False);
}

void CXClient::Chord(std::initializer_list<KeySym> keys, unsigned last) {
    std::vector<unsigned> codes;
    for (const KeySym key : keys)
        codes.push_back(Code(key));
    if (last)
        codes.push_back(last);
    for (const unsigned code : codes)
        Key(code, true);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code)
        Key(*code, false);
}

void CXClient::Click(std::pair<int, int> at) {
    XTestFakeMotionEvent(m_pDisplay, DefaultScreen(m_pDisplay), at.first, at.second, CurrentTime);
    XTestFakeButtonEvent(m_pDisplay, 3, True, CurrentTime);
    XTestFakeButtonEvent(m_pDisplay, 3, False, CurrentTime);
}

void CXClient::Send(Window to, const char* type, std::vector<long> items) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = to;
    event.xclient.message_type = XInternAtom(m_pDisplay, type, False);
    event.xclient.format = 32;
    std::copy(items.begin(), items.end(), event.xclient.data.l);
    XSendEvent(m_pDisplay, to, False, NoEventMask, &event);
    XFlush(m_pDisplay);
}

std::optional<std::string> CXClient::ReadSelection(const char* selection, const char* target) {
    m_nReader = m_nReader ? m_nReader : CreateWindow();
    const Atom property = XInternAtom(m_pDisplay, "_TEST_READ", False);
    XConvertSelection(m_pDisplay, XInternAtom(m_pDisplay, selection, False),
                      XInternAtom(m_pDisplay, target, False), property, m_nReader, CurrentTime);
    XEvent event;
    if (!WaitEvent(m_nReader, SelectionNotify, &event) || event.xselection.property == None)
        return std::nullopt;
    return CXProperty(m_pDisplay, m_nReader, property, AnyPropertyType, 1 << 20).Bytes();
}
