#include "platform/DesktopWindows.h"

#include "platform/GdkErrorTrap.h"
#include "platform/X11Property.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <gtk/gtkx.h>

namespace {

GdkDisplay* DefaultGdkDisplay() {
    GdkDisplay* gdk = gdk_display_get_default();
    return gdk && GDK_IS_X11_DISPLAY(gdk) ? gdk : nullptr;
}

Display* XDisplay() {
    GdkDisplay* gdk = DefaultGdkDisplay();
    return gdk ? GDK_DISPLAY_XDISPLAY(gdk) : nullptr;
}

Atom AtomOf(const char* name) {
    return gdk_x11_get_xatom_by_name_for_display(DefaultGdkDisplay(), name);
}

// The first item of a 32-bit property; None when the window is gone or the
// property is missing.
Window ReadWindow(Display* display, Window window, const char* property) {
    CGdkErrorTrap trap("reading a window property");
    const auto items = CXProperty(display, window, AtomOf(property), XA_WINDOW).Items();
    return items.empty() ? None : items.front();
}

bool SupportsActiveWindow(Display* display) {
    const Atom wanted = AtomOf("_NET_ACTIVE_WINDOW");
    CGdkErrorTrap trap("reading the manager's supported features");
    for (unsigned long atom :
         CXProperty(display, DefaultRootWindow(display), AtomOf("_NET_SUPPORTED"), XA_ATOM).Items())
        if (atom == wanted)
            return true;
    return false;
}

// Parent of a window, None at the root or when the window is gone.
Window ParentOf(Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    CGdkErrorTrap trap("looking up a window's parent");
    const Status ok = XQueryTree(display, window, &root, &parent, &children, &count);
    if (children)
        XFree(children);
    if (trap.Failed() || !ok || parent == root)
        return None;
    return parent;
}

// inner is outer or lies inside it.
bool IsWithin(Display* display, Window inner, Window outer) {
    for (Window w = inner; w != None; w = ParentOf(display, w))
        if (w == outer)
            return true;
    return false;
}

} // namespace

namespace desktop {

bool HasWindowManager() {
    Display* display = XDisplay();
    if (!display)
        return false;
    const Window check =
        ReadWindow(display, DefaultRootWindow(display), "_NET_SUPPORTING_WM_CHECK");
    return check != None && ReadWindow(display, check, "_NET_SUPPORTING_WM_CHECK") == check;
}

bool WindowExists(unsigned long window) {
    Display* display = XDisplay();
    if (!display || window == None)
        return false;
    XWindowAttributes attributes;
    CGdkErrorTrap trap("asking whether a window exists");
    const Status ok = XGetWindowAttributes(display, window, &attributes);
    return !trap.Failed() && ok;
}

bool IsOwnPopup(unsigned long window) {
    GdkDisplay* display = gdk_display_get_default();
    if (!display || window == None)
        return false;
    GdkWindow* own = gdk_x11_window_lookup_for_display(display, static_cast<Window>(window));
    return own && gdk_window_get_window_type(own) == GDK_WINDOW_TEMP;
}

void ActivateWindow(unsigned long window, unsigned long time) {
    Display* display = XDisplay();
    if (!display || !WindowExists(window))
        return;
    const Window root = DefaultRootWindow(display);
    if (HasWindowManager() && SupportsActiveWindow(display)) {
        XEvent event{};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = window;
        event.xclient.message_type = AtomOf("_NET_ACTIVE_WINDOW");
        event.xclient.format = 32;
        event.xclient.data.l[0] = 2; // source: a pager, which the user drives
        event.xclient.data.l[1] = static_cast<long>(time);
        event.xclient.data.l[2] =
            static_cast<long>(ReadWindow(display, root, "_NET_ACTIVE_WINDOW"));
        CGdkErrorTrap trap("asking the manager to activate a window");
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        // The window may go between the check and here, or be unmapped
        // (BadMatch): both only mean there is nothing to focus.
        CGdkErrorTrap trap("focusing a window");
        XRaiseWindow(display, window);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
    }
    XFlush(display);
}

bool HasFocus(unsigned long window) {
    Display* display = XDisplay();
    if (!display || window == None)
        return false;
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    if (focus == None)
        return false;
    if (focus == PointerRoot) {
        // Keys go to whatever lies under the pointer.
        Window root = None;
        Window child = None;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned int mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rx, &ry, &wx, &wy,
                      &mask);
        return child != None && IsWithin(display, window, child);
    }
    if (IsWithin(display, focus, window))
        return true;
    // A manager may keep the focus on its frame of the active client.
    return HasWindowManager() &&
           ReadWindow(display, DefaultRootWindow(display), "_NET_ACTIVE_WINDOW") == window &&
           IsWithin(display, window, focus);
}

SWindowClass WindowClass(unsigned long window) {
    SWindowClass names;
    Display* display = XDisplay();
    if (!display || window == None)
        return names;
    XClassHint hint{};
    CGdkErrorTrap trap("reading a window's class");
    if (XGetClassHint(display, window, &hint)) {
        names.instance = hint.res_name ? hint.res_name : "";
        names.className = hint.res_class ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    return names;
}

} // namespace desktop

void desktop::TakeKeyboardForMenu(wxWindow*) {}

void desktop::ReturnKeyboardAfterMenu(unsigned long) {}

bool desktop::IsOwnTrayIconAt(int x, int y) {
    if (!DefaultGdkDisplay())
        return false;
    // The tray icon is the program's only GTK plug; its window's rectangle
    // on the screen (the tray's input shapes hide it from a search by point).
    bool at = false;
    GList* tops = gtk_window_list_toplevels();
    for (GList* item = tops; item && !at; item = item->next) {
        GtkWidget* top = GTK_WIDGET(item->data);
        GdkWindow* window = gtk_widget_get_window(top);
        if (!GTK_IS_PLUG(top) || !window || !gtk_widget_get_mapped(top))
            continue;
        int left = 0;
        int upper = 0;
        gdk_window_get_origin(window, &left, &upper);
        at = x >= left && y >= upper && x < left + gdk_window_get_width(window) &&
             y < upper + gdk_window_get_height(window);
    }
    g_list_free(tops);
    return at;
}
