// The hot key on the test's X display, seen from a second X client: the grabs
// it holds (BadAccess for the other client), a refused registration leaving
// nothing behind, and XTest presses reaching the callback once per press,
// whatever the lock keys and the keyboard mapping.

#include "platform/GlobalHotKey.h"
#include "platform/KeyboardLocks.h"
#include "platform/VirtualKeyCodes.h"
#include "platform/VirtualKeys.h"
#include "support/GuiTest.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

// After GoogleTest: Xlib's macros (None, Bool) clash with its names.
#include <X11/X.h>
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>

namespace {

constexpr std::uint16_t kVkK = 0x4B;
constexpr std::uint16_t kCtrlAlt = vk::HOTKEYF_CONTROL | vk::HOTKEYF_ALT;
constexpr unsigned kCtrlAltMask = ControlMask | Mod1Mask;

int g_nLastError = 0;
int RecordError(Display*, XErrorEvent* error) {
    g_nLastError = error->error_code;
    return 0;
}

class GlobalHotKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_pOther = XOpenDisplay(nullptr);
        ASSERT_NE(m_pOther, nullptr);
        m_pOurs = GDK_DISPLAY_XDISPLAY(gdk_display_get_default());
        m_nK = XKeysymToKeycode(m_pOther, XK_k);
        m_nCtrl = XKeysymToKeycode(m_pOther, XK_Control_L);
        m_nAlt = XKeysymToKeycode(m_pOther, XK_Alt_L);
        ASSERT_NE(m_nK, 0);
        ASSERT_NE(m_nCtrl, 0);
        ASSERT_NE(m_nAlt, 0);
        m_nNumLockMask = ModifierOf(XK_Num_Lock);
        ASSERT_NE(m_nNumLockMask, 0u) << "the test keymap binds Num Lock to a modifier";
    }

    void TearDown() override {
        // Whatever a failed test left down or locked would reach the next
        // tests on this display.
        for (const KeySym key : {XK_k, XK_Control_L, XK_Alt_L, XK_Shift_L})
            Key(XKeysymToKeycode(m_pOther, key), false);
        const CLockStates locks = CKeyboardLocks::Query();
        if (locks.m_bCaps)
            Tap(XKeysymToKeycode(m_pOther, XK_Caps_Lock));
        if (locks.m_bNum)
            Tap(XKeysymToKeycode(m_pOther, XK_Num_Lock));
        for (const auto& [code, mods] : m_vecOtherGrabs)
            XUngrabKey(m_pOther, code, mods, DefaultRootWindow(m_pOther));
        XCloseDisplay(m_pOther);
    }

    unsigned ModifierOf(KeySym keysym) {
        const KeyCode code = XKeysymToKeycode(m_pOther, keysym);
        XModifierKeymap* map = XGetModifierMapping(m_pOther);
        unsigned mask = 0;
        for (int mod = 0; mod < 8; ++mod)
            for (int k = 0; k < map->max_keypermod; ++k)
                if (code && map->modifiermap[mod * map->max_keypermod + k] == code)
                    mask |= 1u << mod;
        XFreeModifiermap(map);
        return mask;
    }

    // The other client's grab of the key on the root: its X error code, 0
    // when it holds the key now (released again at the end of the test).
    int OtherGrab(unsigned code, unsigned mods) {
        XSync(m_pOther, False);
        g_nLastError = 0;
        const auto previous = XSetErrorHandler(RecordError);
        XGrabKey(m_pOther, code, mods, DefaultRootWindow(m_pOther), False, GrabModeAsync,
                 GrabModeAsync);
        XSync(m_pOther, False);
        XSetErrorHandler(previous);
        if (g_nLastError == 0)
            m_vecOtherGrabs.emplace_back(code, mods);
        return g_nLastError;
    }

    // Whether the other client can take the grab; it lets go at once.
    bool OtherCanGrab(unsigned code, unsigned mods) {
        if (OtherGrab(code, mods) != 0)
            return false;
        XUngrabKey(m_pOther, code, mods, DefaultRootWindow(m_pOther));
        XSync(m_pOther, False);
        m_vecOtherGrabs.pop_back();
        return true;
    }

    void Key(unsigned code, bool down) {
        XTestFakeKeyEvent(m_pOther, code, down, CurrentTime);
        XSync(m_pOther, False);
    }

    void Tap(unsigned code) {
        Key(code, true);
        Key(code, false);
    }

    void TapWithCtrlAlt(unsigned code) {
        Key(m_nCtrl, true);
        Key(m_nAlt, true);
        Tap(code);
        Key(m_nAlt, false);
        Key(m_nCtrl, false);
    }

    // Everything the server has sent so far handled, queued calls included.
    void Drain() {
        XSync(m_pOther, False);
        XSync(m_pOurs, False);
        Settle(50);
    }

    Display* m_pOther = nullptr;
    Display* m_pOurs = nullptr;
    unsigned m_nK = 0, m_nCtrl = 0, m_nAlt = 0;
    unsigned m_nNumLockMask = 0;
    std::vector<std::pair<unsigned, unsigned>> m_vecOtherGrabs;
};

} // namespace

TEST_F(GlobalHotKeyTest, HoldsEveryLockVariantAgainstOtherClientsUntilReleased) {
    CGlobalHotKey hotKey;
    EXPECT_FALSE(hotKey.IsRegistered());
    EXPECT_FALSE(hotKey.Unregister()) << "nothing to release";
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, [] {}));
    EXPECT_TRUE(hotKey.IsRegistered());
    for (const unsigned locks : {0u, unsigned{LockMask}, m_nNumLockMask, LockMask | m_nNumLockMask})
        EXPECT_EQ(OtherGrab(m_nK, kCtrlAltMask | locks), BadAccess) << "locks " << locks;
    // Other combinations of the key stay free.
    EXPECT_TRUE(OtherCanGrab(m_nK, ControlMask));
    EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask | ShiftMask));

    EXPECT_TRUE(hotKey.Unregister());
    EXPECT_FALSE(hotKey.IsRegistered());
    EXPECT_FALSE(hotKey.Unregister());
    for (const unsigned locks : {0u, unsigned{LockMask}, m_nNumLockMask, LockMask | m_nNumLockMask})
        EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask | locks)) << "locks " << locks;

    // Registered again, and released by the destructor.
    {
        CGlobalHotKey scoped;
        ASSERT_TRUE(scoped.Register(kVkK, kCtrlAlt, [] {}));
        EXPECT_FALSE(OtherCanGrab(m_nK, kCtrlAltMask));
    }
    EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask));
}

TEST_F(GlobalHotKeyTest, RefusedWhenAnotherClientHoldsOneVariantAndLeavesNothingGrabbed) {
    // The other client holds only the Caps Lock variant: ours gets the plain
    // one first, then is refused.
    ASSERT_EQ(OtherGrab(m_nK, kCtrlAltMask | LockMask), 0);
    CGlobalHotKey hotKey;
    int calls = 0;
    EXPECT_FALSE(hotKey.Register(kVkK, kCtrlAlt, [&calls] { ++calls; }));
    EXPECT_FALSE(hotKey.IsRegistered());
    EXPECT_FALSE(hotKey.Unregister());
    EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask));
    EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask | m_nNumLockMask));
    EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask | m_nNumLockMask | LockMask));
    TapWithCtrlAlt(m_nK);
    Drain();
    EXPECT_EQ(calls, 0);
}

TEST_F(GlobalHotKeyTest, FlagsBecomeExactModifiersAndExtendedPicksTheKey) {
    CGlobalHotKey hotKey;
    ASSERT_TRUE(hotKey.Register(kVkK, vk::HOTKEYF_SHIFT, [] {}));
    EXPECT_EQ(OtherGrab(m_nK, ShiftMask), BadAccess);
    EXPECT_TRUE(OtherCanGrab(m_nK, 0));
    EXPECT_TRUE(OtherCanGrab(m_nK, ShiftMask | ControlMask));

    // Registering anew releases the key held before.
    ASSERT_TRUE(hotKey.Register(kVkK, vk::HOTKEYF_ALT | vk::HOTKEYF_EXT, [] {}));
    EXPECT_EQ(OtherGrab(m_nK, Mod1Mask), BadAccess);
    EXPECT_TRUE(OtherCanGrab(m_nK, ShiftMask));

    ASSERT_TRUE(hotKey.Register(vk::VK_CONTROL, vk::HOTKEYF_CONTROL, [] {}) == false);
    EXPECT_FALSE(hotKey.IsRegistered());
    EXPECT_TRUE(OtherCanGrab(m_nK, Mod1Mask)) << "a refused key leaves the old one released";

    // Home and the keypad's 7 are two keys; the extended bit chooses.
    const unsigned home = XKeysymToKeycode(m_pOther, XK_Home);
    const unsigned kpHome = XKeysymToKeycode(m_pOther, XK_KP_Home);
    ASSERT_NE(home, kpHome);
    ASSERT_TRUE(hotKey.Register(vk::VK_HOME, vk::HOTKEYF_CONTROL | vk::HOTKEYF_EXT, [] {}));
    EXPECT_FALSE(OtherCanGrab(home, ControlMask));
    EXPECT_TRUE(OtherCanGrab(kpHome, ControlMask));
    ASSERT_TRUE(hotKey.Register(vk::VK_HOME, vk::HOTKEYF_CONTROL, [] {}));
    EXPECT_TRUE(OtherCanGrab(home, ControlMask));
    EXPECT_FALSE(OtherCanGrab(kpHome, ControlMask));

    // Codes without a key: refused, nothing held.
    for (const std::uint16_t code : {0x07, 0x10, 0x1234}) {
        EXPECT_FALSE(hotKey.Register(code, kCtrlAlt, [] {})) << std::hex << code;
        EXPECT_FALSE(hotKey.IsRegistered());
    }
    EXPECT_TRUE(OtherCanGrab(kpHome, ControlMask));
}

TEST_F(GlobalHotKeyTest, EachPressCallsOnceWhateverTheLockKeys) {
    CGlobalHotKey hotKey;
    int calls = 0;
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, [&] { ++calls; }));

    TapWithCtrlAlt(m_nK);
    ASSERT_TRUE(WaitFor([&] { return calls == 1; }));
    Drain();
    EXPECT_EQ(calls, 1);

    // Without Alt, or with Shift as well, the key is not ours.
    Key(m_nCtrl, true);
    Tap(m_nK);
    Key(m_nCtrl, false);
    const unsigned shift = XKeysymToKeycode(m_pOther, XK_Shift_L);
    Key(shift, true);
    TapWithCtrlAlt(m_nK);
    Key(shift, false);
    Drain();
    EXPECT_EQ(calls, 1);

    const unsigned caps = XKeysymToKeycode(m_pOther, XK_Caps_Lock);
    const unsigned num = XKeysymToKeycode(m_pOther, XK_Num_Lock);
    Tap(caps);
    ASSERT_TRUE(WaitFor([] { return CKeyboardLocks::Query().m_bCaps; }));
    TapWithCtrlAlt(m_nK);
    EXPECT_TRUE(WaitFor([&] { return calls == 2; })) << "Caps Lock on";
    Tap(num);
    ASSERT_TRUE(WaitFor([] { return CKeyboardLocks::Query().m_bNum; }));
    TapWithCtrlAlt(m_nK);
    EXPECT_TRUE(WaitFor([&] { return calls == 3; })) << "Caps Lock and Num Lock on";
    Tap(caps);
    Tap(num);
    ASSERT_TRUE(WaitFor([] { return !CKeyboardLocks::Query().m_bNum; }));
    Drain();
    EXPECT_EQ(calls, 3);

    // Released: presses no longer reach it.
    EXPECT_TRUE(hotKey.Unregister());
    TapWithCtrlAlt(m_nK);
    Drain();
    EXPECT_EQ(calls, 3);
}

namespace {
int g_nRawPresses = 0;
unsigned g_nWatchedKey = 0;
// Counts the key's presses as the server sends them, repeats included.
GdkFilterReturn CountPresses(GdkXEvent* xevent, GdkEvent*, gpointer) {
    const XEvent* event = static_cast<XEvent*>(xevent);
    if (event->type == KeyPress && event->xkey.keycode == g_nWatchedKey)
        ++g_nRawPresses;
    return GDK_FILTER_CONTINUE;
}
} // namespace

TEST_F(GlobalHotKeyTest, HeldKeyCallsOnceThroughItsRepeats) {
    g_nRawPresses = 0;
    g_nWatchedKey = m_nK;
    gdk_window_add_filter(nullptr, CountPresses, nullptr); // before the hot key's own
    CGlobalHotKey hotKey;
    int calls = 0;
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, [&] { ++calls; }));

    // Held down, the key repeats: the server sends further presses.
    XAutoRepeatOn(m_pOther);
    Key(m_nCtrl, true);
    Key(m_nAlt, true);
    Key(m_nK, true);
    EXPECT_TRUE(WaitFor([] { return g_nRawPresses >= 4; }));
    Drain();
    EXPECT_EQ(calls, 1);
    Key(m_nK, false);
    Key(m_nAlt, false);
    Key(m_nCtrl, false);
    Drain();
    EXPECT_EQ(calls, 1);

    // The release ends the hold: the next press counts again.
    TapWithCtrlAlt(m_nK);
    EXPECT_TRUE(WaitFor([&] { return calls == 2; }));
    gdk_window_remove_filter(nullptr, CountPresses, nullptr);
}

TEST_F(GlobalHotKeyTest, FollowsTheKeyToItsNewPlaceWhenTheMappingChanges) {
    // A keycode with nothing on it, to move k to.
    int minCode = 0, maxCode = 0, perCode = 0;
    XDisplayKeycodes(m_pOther, &minCode, &maxCode);
    KeySym* map = XGetKeyboardMapping(m_pOther, minCode, maxCode - minCode + 1, &perCode);
    unsigned spare = 0;
    for (int code = maxCode; code >= minCode && !spare; --code) {
        bool empty = true;
        for (int i = 0; i < perCode; ++i)
            empty = empty && map[(code - minCode) * perCode + i] == NoSymbol;
        if (empty)
            spare = code;
    }
    std::vector<KeySym> oldK(map + (m_nK - minCode) * perCode,
                             map + (m_nK - minCode + 1) * perCode);
    XFree(map);
    ASSERT_NE(spare, 0u);

    CGlobalHotKey hotKey;
    int calls = 0;
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, [&] { ++calls; }));

    std::vector<KeySym> moved(perCode, NoSymbol);
    std::vector<KeySym> none(perCode, NoSymbol);
    moved[0] = XK_k;
    if (perCode > 1)
        moved[1] = XK_K;
    XChangeKeyboardMapping(m_pOther, spare, perCode, moved.data(), 1);
    XChangeKeyboardMapping(m_pOther, m_nK, perCode, none.data(), 1);
    XSync(m_pOther, False);
    EXPECT_TRUE(WaitFor([&] { return !OtherCanGrab(spare, kCtrlAltMask); }));
    EXPECT_TRUE(OtherCanGrab(m_nK, kCtrlAltMask)) << "the old place is let go";
    EXPECT_TRUE(hotKey.IsRegistered());
    TapWithCtrlAlt(spare);
    EXPECT_TRUE(WaitFor([&] { return calls == 1; }));

    // Back to where it was, and the key with it.
    XChangeKeyboardMapping(m_pOther, m_nK, perCode, oldK.data(), 1);
    XChangeKeyboardMapping(m_pOther, spare, perCode, none.data(), 1);
    XSync(m_pOther, False);
    EXPECT_TRUE(WaitFor([&] { return !OtherCanGrab(m_nK, kCtrlAltMask); }));
    EXPECT_TRUE(OtherCanGrab(spare, kCtrlAltMask));
    TapWithCtrlAlt(m_nK);
    EXPECT_TRUE(WaitFor([&] { return calls == 2; }));
}

TEST_F(GlobalHotKeyTest, EveryKeyOfTheTableCanBeRegisteredOnAPcKeyboard) {
    // The test server has the common PC layout. Keys it lacks: Clear, Select
    // and Execute of old terminals' keyboards, the Brazilian keypad's separator.
    const std::set<unsigned long> absent = {XK_Clear, XK_Select, XK_Execute, XK_KP_Separator};
    CGlobalHotKey hotKey;
    for (unsigned code = 0x01; code <= 0xFE; ++code) {
        for (const bool extended : {false, true}) {
            const unsigned long keysym = KeysymForVirtualKey(code, extended);
            if (keysym == 0 || absent.count(keysym))
                continue;
            const std::uint16_t flags = vk::HOTKEYF_CONTROL | (extended ? vk::HOTKEYF_EXT : 0);
            EXPECT_TRUE(hotKey.Register(code, flags, [] {}))
                << std::hex << code << (extended ? " extended " : " ") << XKeysymToString(keysym);
        }
    }

    // F13 to F24 carry launcher keysyms on Linux keymaps: found by key name.
    XkbDescPtr xkb = XkbGetMap(m_pOther, 0, XkbUseCoreKbd);
    ASSERT_NE(xkb, nullptr);
    ASSERT_EQ(XkbGetNames(m_pOther, XkbKeyNamesMask, xkb), Success);
    unsigned f13 = 0, f24 = 0;
    for (int code = xkb->min_key_code; code <= xkb->max_key_code; ++code) {
        const std::string name(xkb->names->keys[code].name, XkbKeyNameLength);
        f13 = name == "FK13" ? code : f13;
        f24 = name == "FK24" ? code : f24;
    }
    XkbFreeKeyboard(xkb, 0, True);
    ASSERT_NE(f13, 0u);
    ASSERT_TRUE(hotKey.Register(vk::VK_F1 + 12, vk::HOTKEYF_CONTROL, [] {}));
    EXPECT_FALSE(OtherCanGrab(f13, ControlMask));
    ASSERT_TRUE(hotKey.Register(vk::VK_F24, vk::HOTKEYF_CONTROL, [] {}));
    EXPECT_TRUE(OtherCanGrab(f13, ControlMask));
    EXPECT_FALSE(OtherCanGrab(f24, ControlMask));
}
