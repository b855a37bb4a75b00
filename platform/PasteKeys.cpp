#include "platform/PasteKeys.h"

#include "platform/GdkErrorTrap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <vector>

namespace {

constexpr guint kScratchKeepMs = 1000;

Display* XDisplay() {
    GdkDisplay* gdk = gdk_display_get_default();
    return gdk && GDK_IS_X11_DISPLAY(gdk) ? GDK_DISPLAY_XDISPLAY(gdk) : nullptr;
}

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

} // namespace

CPasteKeys::~CPasteKeys() {
    if (m_nRestoreTimer)
        g_source_remove(m_nRestoreTimer);
    RestoreScratchKey();
}

int CPasteKeys::OnRestoreTime(void* self) {
    auto* keys = static_cast<CPasteKeys*>(self);
    keys->m_nRestoreTimer = 0;
    keys->RestoreScratchKey();
    return G_SOURCE_REMOVE;
}

void CPasteKeys::RestoreScratchKey() {
    Display* display = XDisplay();
    if (display && m_nScratchKey) {
        std::vector<KeySym> empty(m_nScratchWidth, NoSymbol);
        CGdkErrorTrap trap("giving back the borrowed V key");
        XChangeKeyboardMapping(display, static_cast<int>(m_nScratchKey), m_nScratchWidth,
                               empty.data(), 1);
        XFlush(display);
    }
    m_nScratchKey = 0;
    m_nScratchWidth = 0;
}

unsigned CPasteKeys::MapScratchKey() {
    Display* display = XDisplay();
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
    CGdkErrorTrap trap("borrowing a key for V");
    XChangeKeyboardMapping(display, spare, width, mapping.data(), 1);
    if (trap.Failed())
        return 0;
    m_nScratchKey = spare;
    m_nScratchWidth = width;
    return spare;
}

bool CPasteKeys::Send() {
    Display* display = XDisplay();
    if (!display)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        return false;
    const KeyCode control = XKeysymToKeycode(display, XK_Control_L);
    unsigned v = FindVKey(display);
    if (!v && m_nScratchKey)
        v = m_nScratchKey;
    if (!v)
        v = MapScratchKey();
    if (!control || !v)
        return false;
    if (v == m_nScratchKey) {
        if (m_nRestoreTimer)
            g_source_remove(m_nRestoreTimer);
        m_nRestoreTimer = g_timeout_add(kScratchKeepMs, &CPasteKeys::OnRestoreTime, this);
    }
    XTestFakeKeyEvent(display, control, True, CurrentTime);
    XTestFakeKeyEvent(display, v, True, CurrentTime);
    XTestFakeKeyEvent(display, v, False, CurrentTime);
    XTestFakeKeyEvent(display, control, False, CurrentTime);
    XFlush(display);
    return true;
}
