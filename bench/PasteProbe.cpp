#include "PasteProbe.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <poll.h>

#include <thread>

namespace {

// Windows vanish under our feet (menus closed, targets ended): their errors
// are expected and must not end the measurement.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

constexpr std::chrono::milliseconds kKeyPace{10};

} // namespace

CPasteProbe::~CPasteProbe() {
    if (m_pDisplay)
        XCloseDisplay(m_pDisplay);
}

bool CPasteProbe::Open() {
    m_pDisplay = XOpenDisplay(nullptr);
    if (!m_pDisplay)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(m_pDisplay, &event, &error, &major, &minor))
        return false;
    XSetErrorHandler(IgnoreErrors);
    m_root = DefaultRootWindow(m_pDisplay);
    m_atomNetWmName = XInternAtom(m_pDisplay, "_NET_WM_NAME", False);
    m_atomUtf8 = XInternAtom(m_pDisplay, "UTF8_STRING", False);
    m_atomWindowType = XInternAtom(m_pDisplay, "_NET_WM_WINDOW_TYPE", False);
    m_atomPopupMenu = XInternAtom(m_pDisplay, "_NET_WM_WINDOW_TYPE_POPUP_MENU", False);
    m_atomActiveWindow = XInternAtom(m_pDisplay, "_NET_ACTIVE_WINDOW", False);

    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(m_pDisplay, m_root,
                       XInternAtom(m_pDisplay, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                       XA_WINDOW, &type, &format, &count, &after, &data);
    m_bWindowManager = count == 1;
    if (data)
        XFree(data);
    XSelectInput(m_pDisplay, m_root, SubstructureNotifyMask);
    XSync(m_pDisplay, False);
    return true;
}

void CPasteProbe::Watch(Window window) {
    XSelectInput(m_pDisplay, window, PropertyChangeMask | StructureNotifyMask);
    m_titleChanges.emplace(window, 0);
    XSync(m_pDisplay, False);
}

long CPasteProbe::TitleChanges(Window window) const {
    const auto it = m_titleChanges.find(window);
    return it == m_titleChanges.end() ? 0 : it->second;
}

std::string CPasteProbe::Title(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::string title;
    if (XGetWindowProperty(m_pDisplay, window, m_atomNetWmName, 0, 4096, False, m_atomUtf8, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 8)
        title.assign(reinterpret_cast<const char*>(data), count);
    if (data)
        XFree(data);
    return title;
}

bool CPasteProbe::IsPopupMenu(Window window) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    bool popup = false;
    if (XGetWindowProperty(m_pDisplay, window, m_atomWindowType, 0, 8, False, XA_ATOM, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* atoms = reinterpret_cast<const Atom*>(data);
        for (unsigned long i = 0; i < count; ++i)
            popup = popup || atoms[i] == m_atomPopupMenu;
    }
    if (data)
        XFree(data);
    return popup;
}

void CPasteProbe::Handle(const XEvent& event, Clock::time_point read) {
    switch (event.type) {
    case MapNotify:
        // Menus are override-redirect children of the root; the type tells
        // them from tooltips and the like.
        if (event.xmap.event == m_root && event.xmap.override_redirect) {
            // GTK keeps helper windows mapped off the screen: not ours to wait for.
            XWindowAttributes attributes;
            if (!XGetWindowAttributes(m_pDisplay, event.xmap.window, &attributes) ||
                attributes.x + attributes.width <= 0 || attributes.y + attributes.height <= 0)
                break;
            SOverlay overlay;
            XClassHint hint{};
            if (XGetClassHint(m_pDisplay, event.xmap.window, &hint)) {
                overlay.m_strProgram = hint.res_name ? hint.res_name : "";
                XFree(hint.res_name);
                XFree(hint.res_class);
            }
            // Menus are told from the rest by their type.
            overlay.m_bMenu = IsPopupMenu(event.xmap.window);
            m_overlays[event.xmap.window] = overlay;
            if (overlay.m_bMenu) {
                m_lastMenuMapped = read;
                ++m_nMenuMaps;
            }
        }
        break;
    case UnmapNotify:
        if (event.xunmap.event == m_root)
            m_overlays.erase(event.xunmap.window);
        break;
    case DestroyNotify:
        if (event.xdestroywindow.event == m_root)
            m_overlays.erase(event.xdestroywindow.window);
        break;
    case PropertyNotify:
        if (event.xproperty.atom == m_atomNetWmName) {
            const auto it = m_titleChanges.find(event.xproperty.window);
            if (it != m_titleChanges.end()) {
                ++it->second;
                m_lastTitle = read;
            }
        }
        break;
    default:
        break;
    }
}

bool CPasteProbe::Pump(Clock::time_point deadline) {
    while (!XPending(m_pDisplay)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(m_pDisplay), POLLIN, 0};
        poll(&fd, 1, static_cast<int>(left) + 1);
    }
    // One at a time: the waits stop at the event that met them.
    XEvent event;
    XNextEvent(m_pDisplay, &event);
    Handle(event, Clock::now());
    return true;
}

void CPasteProbe::Drain() {
    while (XPending(m_pDisplay))
        Pump(Clock::now());
}

std::size_t CPasteProbe::MenuCount(const std::string& program) const {
    std::size_t count = 0;
    for (const auto& [window, overlay] : m_overlays)
        count += overlay.m_bMenu && overlay.m_strProgram == program;
    return count;
}

std::optional<CPasteProbe::Clock::time_point>
CPasteProbe::WaitMenusAtLeast(const std::string& program, std::size_t count,
                              std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (MenuCount(program) < count)
        if (!Pump(deadline))
            return std::nullopt;
    return m_lastMenuMapped;
}

bool CPasteProbe::WaitMenuMaps(long seen, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (m_nMenuMaps <= seen)
        if (!Pump(deadline))
            return false;
    return true;
}

bool CPasteProbe::WaitNoMenu(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!m_overlays.empty())
        if (!Pump(deadline))
            return false;
    return true;
}

std::optional<CPasteProbe::Clock::time_point>
CPasteProbe::WaitTitleChange(Window window, long seen, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (TitleChanges(window) <= seen)
        if (!Pump(deadline))
            return std::nullopt;
    return m_lastTitle;
}

bool CPasteProbe::Geometry(Window window, int& x, int& y, int& width, int& height) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(m_pDisplay, window, &attributes))
        return false;
    Window child = 0;
    if (!XTranslateCoordinates(m_pDisplay, window, m_root, 0, 0, &x, &y, &child))
        return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

bool CPasteProbe::IsWithin(Window inner, Window outer) {
    // GTK hands the focus to a child of its top-level window.
    while (inner && inner != outer && inner != m_root) {
        Window root = 0, parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(m_pDisplay, inner, &root, &parent, &children, &count))
            return false;
        if (children)
            XFree(children);
        inner = parent;
    }
    return inner == outer;
}

bool CPasteProbe::Activate(Window window, std::chrono::milliseconds timeout) {
    if (m_bWindowManager) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = m_atomActiveWindow;
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // a pager: the window manager obeys at once
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(m_pDisplay, m_root, False, SubstructureRedirectMask | SubstructureNotifyMask,
                   &event);
    } else {
        XSetInputFocus(m_pDisplay, window, RevertToPointerRoot, CurrentTime);
    }
    XFlush(m_pDisplay);
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(m_pDisplay, &focus, &revert);
        if (IsWithin(focus, window))
            return true;
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void CPasteProbe::MovePointer(int x, int y) {
    XTestFakeMotionEvent(m_pDisplay, -1, x, y, CurrentTime);
    XFlush(m_pDisplay);
}

void CPasteProbe::RightClick(bool withShift) {
    const KeyCode shift = XKeysymToKeycode(m_pDisplay, XK_Shift_L);
    if (withShift)
        XTestFakeKeyEvent(m_pDisplay, shift, True, CurrentTime);
    XTestFakeButtonEvent(m_pDisplay, 3, True, CurrentTime);
    XTestFakeButtonEvent(m_pDisplay, 3, False, CurrentTime);
    if (withShift)
        XTestFakeKeyEvent(m_pDisplay, shift, False, CurrentTime);
    XFlush(m_pDisplay);
}

void CPasteProbe::Key(const char* keysym, int times) {
    const KeyCode code = XKeysymToKeycode(m_pDisplay, XStringToKeysym(keysym));
    for (int i = 0; i < times; ++i) {
        // GTK 3's menus abort the program (an accessibility assertion) when
        // keys come back to back; a person is slower than this anyway.
        std::this_thread::sleep_for(kKeyPace);
        XTestFakeKeyEvent(m_pDisplay, code, True, CurrentTime);
        XTestFakeKeyEvent(m_pDisplay, code, False, CurrentTime);
        XFlush(m_pDisplay);
    }
}

void CPasteProbe::Sync() {
    XSync(m_pDisplay, False);
}
