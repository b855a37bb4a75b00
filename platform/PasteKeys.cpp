#include "platform/PasteKeys.h"

#include "platform/GdkErrorTrap.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <cctype>
#include <utility>
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

bool KeyMakes(XkbDescPtr xkb, KeyCode key, int group, KeySym lower, KeySym upper) {
    const int g = EffectiveGroup(xkb, key, group);
    if (g < 0)
        return false;
    const int width = XkbKeyGroupWidth(xkb, key, g);
    for (int level = 0; level < 2 && level < width; ++level) {
        const KeySym sym = XkbKeySymEntry(xkb, key, level, g);
        if (sym == lower || sym == upper)
            return true;
    }
    return false;
}

KeyCode FindKeyInGroup(XkbDescPtr xkb, int group, KeySym lower, KeySym upper) {
    for (int key = xkb->min_key_code; key <= xkb->max_key_code; ++key)
        if (KeyMakes(xkb, static_cast<KeyCode>(key), group, lower, upper))
            return static_cast<KeyCode>(key);
    return 0;
}

// The key in the active group; where that group has none (V on a Cyrillic
// layout, say), the key in the first group: programs match Ctrl+V shortcuts
// on the base group's symbols.
KeyCode FindKey(Display* display, KeySym sym) {
    KeySym lower = sym;
    KeySym upper = sym;
    XConvertCase(sym, &lower, &upper);
    XkbDescPtr xkb = XkbGetMap(display, XkbAllClientInfoMask, XkbUseCoreKbd);
    if (!xkb)
        return XKeysymToKeycode(display, sym);
    XkbStateRec state{};
    const int group = XkbGetState(display, XkbUseCoreKbd, &state) == Success ? state.group : 0;
    KeyCode key = FindKeyInGroup(xkb, group, lower, upper);
    if (!key && group != 0)
        key = FindKeyInGroup(xkb, 0, lower, upper);
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
    m_nScratchSym = 0;
}

unsigned CPasteKeys::MapScratchKey(unsigned long sym) {
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
    KeySym lower = sym;
    KeySym upper = sym;
    XConvertCase(sym, &lower, &upper);
    std::vector<KeySym> mapping(width, NoSymbol);
    mapping[0] = lower;
    if (width > 1)
        mapping[1] = upper;
    CGdkErrorTrap trap("borrowing a key for V");
    XChangeKeyboardMapping(display, spare, width, mapping.data(), 1);
    if (trap.Failed())
        return 0;
    m_nScratchKey = spare;
    m_nScratchWidth = width;
    m_nScratchSym = sym;
    return spare;
}

KeySym CPasteKeys::KeySymOf(const std::string& name) {
    if (name.size() == 1) {
        // Letters by their lower-case keysym, as the keyboard map holds them.
        const char lower[2] = {static_cast<char>(std::tolower(static_cast<unsigned char>(name[0]))),
                               0};
        return XStringToKeysym(lower);
    }
    return XStringToKeysym(name.c_str());
}

bool CPasteKeys::Send(const SKeyChord& chord) {
    Display* display = XDisplay();
    if (!display)
        return false;
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        return false;
    const KeySym sym = KeySymOf(chord.key);
    if (sym == NoSymbol)
        return false;
    std::vector<KeyCode> modifiers;
    const std::pair<bool, KeySym> wanted[] = {{chord.ctrl, XK_Control_L},
                                              {chord.shift, XK_Shift_L},
                                              {chord.alt, XK_Alt_L},
                                              {chord.super, XK_Super_L}};
    for (const auto& [on, modifier] : wanted) {
        if (!on)
            continue;
        const KeyCode code = XKeysymToKeycode(display, modifier);
        if (!code)
            return false;
        modifiers.push_back(code);
    }
    unsigned key = FindKey(display, sym);
    if (!key && m_nScratchKey && m_nScratchSym == sym)
        key = m_nScratchKey;
    if (!key) {
        if (m_nScratchKey)
            RestoreScratchKey();
        key = MapScratchKey(sym);
    }
    if (!key)
        return false;
    if (key == m_nScratchKey) {
        if (m_nRestoreTimer)
            g_source_remove(m_nRestoreTimer);
        m_nRestoreTimer = g_timeout_add(kScratchKeepMs, &CPasteKeys::OnRestoreTime, this);
    }
    for (KeyCode code : modifiers)
        XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it)
        XTestFakeKeyEvent(display, *it, False, CurrentTime);
    XFlush(display);
    return true;
}

namespace {

// The keycodes bound to Shift, Control, Mod1 (Alt) and Mod4 (Super) that are
// down now.
std::vector<KeyCode> HeldModifierKeys(Display* display) {
    std::vector<KeyCode> held;
    char keys[32] = {};
    XQueryKeymap(display, keys);
    XModifierKeymap* map = XGetModifierMapping(display);
    if (!map)
        return held;
    for (int modifier : {ShiftMapIndex, ControlMapIndex, Mod1MapIndex, Mod4MapIndex})
        for (int slot = 0; slot < map->max_keypermod; ++slot) {
            const KeyCode code = map->modifiermap[modifier * map->max_keypermod + slot];
            if (code && (keys[code / 8] & (1 << (code % 8))))
                held.push_back(code);
        }
    XFreeModifiermap(map);
    return held;
}

} // namespace

bool CPasteKeys::ModifiersHeld() {
    Display* display = XDisplay();
    return display && !HeldModifierKeys(display).empty();
}

void CPasteKeys::ReleaseModifiers() {
    Display* display = XDisplay();
    if (!display)
        return;
    for (KeyCode code : HeldModifierKeys(display))
        XTestFakeKeyEvent(display, code, False, CurrentTime);
    XFlush(display);
}
