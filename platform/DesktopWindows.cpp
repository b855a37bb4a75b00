#include "platform/DesktopWindows.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <vector>

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

// Errors of the requests made while alive are swallowed; Failed() waits for
// the server's answer and tells whether one came.
class CErrorTrap {
public:
    CErrorTrap() : m_pDisplay(DefaultGdkDisplay()) { gdk_x11_display_error_trap_push(m_pDisplay); }
    ~CErrorTrap() {
        if (!m_bPopped)
            gdk_x11_display_error_trap_pop_ignored(m_pDisplay);
    }
    CErrorTrap(const CErrorTrap&) = delete;
    CErrorTrap& operator=(const CErrorTrap&) = delete;

    bool Failed() {
        m_bPopped = true;
        return gdk_x11_display_error_trap_pop(m_pDisplay) != 0;
    }

private:
    GdkDisplay* m_pDisplay;
    bool m_bPopped = false;
};

// All 32-bit items of a property of the given type; empty when the window is
// gone or the property is missing.
std::vector<unsigned long> ReadProperty(Display* display, Window window, Atom property, Atom type) {
    std::vector<unsigned long> items;
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    CErrorTrap trap;
    const int rc = XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType,
                                      &format, &count, &after, &data);
    if (!trap.Failed() && rc == Success && actualType == type && format == 32 && data) {
        // Format 32 comes as an array of long, whatever the size of long.
        const long* values = reinterpret_cast<const long*>(data);
        for (unsigned long i = 0; i < count; ++i)
            items.push_back(static_cast<unsigned long>(values[i]) & 0xFFFFFFFFul);
    }
    if (data)
        XFree(data);
    return items;
}

Window ReadWindow(Display* display, Window window, const char* property) {
    const auto items = ReadProperty(display, window, AtomOf(property), XA_WINDOW);
    return items.empty() ? None : items.front();
}

bool SupportsActiveWindow(Display* display) {
    const Atom wanted = AtomOf("_NET_ACTIVE_WINDOW");
    for (unsigned long atom :
         ReadProperty(display, DefaultRootWindow(display), AtomOf("_NET_SUPPORTED"), XA_ATOM))
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
    CErrorTrap trap;
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

// --- Finding the V key ---

// The group a key really uses when the keyboard is in `group`: keys with fewer
// groups wrap, clamp or redirect as their type says.
int EffectiveGroup(XkbDescPtr xkb, KeyCode key, int group) {
    const int groups = XkbKeyNumGroups(xkb, key);
    if (groups == 0)
        return -1;
    if (group < groups)
        return group;
    const unsigned char info = XkbKeyGroupInfo(xkb, key);
    switch (XkbOutOfRangeGroupAction(info)) {
    case XkbClampIntoRange:
        return groups - 1;
    case XkbRedirectIntoRange: {
        const int target = XkbOutOfRangeGroupNumber(info);
        return target < groups ? target : 0;
    }
    default:
        return group % groups;
    }
}

bool KeyMakesV(XkbDescPtr xkb, KeyCode key, int group) {
    const int g = EffectiveGroup(xkb, key, group);
    if (g < 0)
        return false;
    const int width = XkbKeyGroupWidth(xkb, key, g);
    for (int level = 0; level < 2 && level < width; ++level) {
        const KeySym sym = XkbKeySymEntry(xkb, key, level, g);
        if (sym == XK_v || sym == XK_V)
            return true;
    }
    return false;
}

KeyCode FindKeyInGroup(XkbDescPtr xkb, int group) {
    for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key)
        if (KeyMakesV(xkb, static_cast<KeyCode>(key), group))
            return static_cast<KeyCode>(key);
    return 0;
}

// V in the active group; where that group has no V (a Cyrillic layout, say),
// the key of V in the first group: programs match Ctrl+V shortcuts on the base
// group's symbols.
KeyCode FindVKey(Display* display) {
    XkbDescPtr xkb = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (!xkb)
        return XKeysymToKeycode(display, XK_v);
    XkbStateRec state{};
    const int group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    KeyCode key = FindKeyInGroup(xkb, group);
    if (!key && group != 0)
        key = FindKeyInGroup(xkb, 0);
    XkbFreeKeyboard(xkb, 0, True);
    return key;
}

// A layout without any V key gets one on an unused keycode for a while, as
// xdotool does. The mapping goes back once the target has had time to read the
// keys with it; a paste meanwhile reuses it and puts the restoring off.
struct CScratchKey {
    KeyCode m_nKey = 0;
    int m_nWidth = 0;
    guint m_nTimer = 0;
};
CScratchKey g_scratch;
constexpr guint kScratchKeepMs = 1000;

gboolean RestoreScratchKey(gpointer) {
    Display* display = XDisplay();
    if (display && g_scratch.m_nKey) {
        std::vector<KeySym> empty(g_scratch.m_nWidth, NoSymbol);
        CErrorTrap trap;
        XChangeKeyboardMapping(display, g_scratch.m_nKey, g_scratch.m_nWidth, empty.data(), 1);
        XFlush(display);
    }
    g_scratch = {};
    return G_SOURCE_REMOVE;
}

KeyCode MapScratchKey(Display* display) {
    int minKey = 0;
    int maxKey = 0;
    XDisplayKeycodes(display, &minKey, &maxKey);
    int width = 0;
    KeySym* syms =
        XGetKeyboardMapping(display, static_cast<KeyCode>(minKey), maxKey - minKey + 1, &width);
    if (!syms)
        return 0;
    KeyCode spare = 0;
    // From the top: low keycodes are the physical keys.
    for (int key = maxKey; key >= minKey && !spare; --key) {
        bool empty = true;
        for (int i = 0; i < width && empty; ++i)
            empty = syms[(key - minKey) * width + i] == NoSymbol;
        if (empty)
            spare = static_cast<KeyCode>(key);
    }
    XFree(syms);
    if (!spare)
        return 0;
    std::vector<KeySym> mapping(width, NoSymbol);
    mapping[0] = XK_v;
    if (width > 1)
        mapping[1] = XK_V;
    CErrorTrap trap;
    XChangeKeyboardMapping(display, spare, width, mapping.data(), 1);
    if (trap.Failed())
        return 0;
    g_scratch.m_nKey = spare;
    g_scratch.m_nWidth = width;
    return spare;
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
    CErrorTrap trap;
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
        CErrorTrap trap;
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    } else {
        // The window may go between the check and here, or be unmapped
        // (BadMatch): both only mean there is nothing to focus.
        CErrorTrap trap;
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

bool SendCtrlV() {
    Display* display = XDisplay();
    if (!display)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        return false;
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    KeyCode v = FindVKey(display);
    if (!v && g_scratch.m_nKey)
        v = g_scratch.m_nKey;
    if (!v)
        v = MapScratchKey(display);
    if (!control || !v)
        return false;
    if (v == g_scratch.m_nKey) {
        if (g_scratch.m_nTimer)
            g_source_remove(g_scratch.m_nTimer);
        g_scratch.m_nTimer = g_timeout_add(kScratchKeepMs, RestoreScratchKey, nullptr);
    }
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    XTestFakeKeyEvent(display, v, True, CurrentTime);
    XTestFakeKeyEvent(display, v, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XFlush(display);
    return true;
}

bool SetClipboardText(const std::string& utf8) {
    GdkDisplay* gdk = DefaultGdkDisplay();
    if (!gdk)
        return false;
    GtkClipboard* clipboard = gtk_clipboard_get_for_display(gdk, GDK_SELECTION_CLIPBOARD);
    gtk_clipboard_set_text(clipboard, utf8.c_str(), static_cast<gint>(utf8.size()));
    // GTK owns the selection with a hidden window of its own: one of ours.
    const Window owner = XGetSelectionOwner(GDK_DISPLAY_XDISPLAY(gdk), AtomOf("CLIPBOARD"));
    return owner != None && gdk_x11_window_lookup_for_display(gdk, owner) != nullptr;
}

} // namespace desktop
