// The hot key on the test's X display, seen from a second client: the grabs
// it holds (the other client's fail), and presses reaching the callback once
// each, whatever the lock keys, a held key and the keyboard mapping. (A
// refusal leaving nothing behind is the snippet menu's test's.)

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "platform/GdkEventWatch.h"
#include "platform/GlobalHotKey.h"
#include "platform/KeyboardLocks.h"
#include "platform/LockModifiers.h"
#include "platform/Trace.h"
#include "platform/VirtualKeyCodes.h"
#include "platform/VirtualKeys.h"
#include "support/GuiTest.h"

#include "support/XClient.h"

#include <X11/keysym.h>

#include <set>

namespace {

constexpr std::uint16_t kVkK = 0x4B;
constexpr std::uint16_t kCtrlAlt = vk::HOTKEYF_CONTROL | vk::HOTKEYF_ALT;
constexpr unsigned kCtrlAltMask = ControlMask | Mod1Mask;

class HotKeyTest : public ::testing::Test {
protected:
    void TearDown() override { ReleaseAll(); }
    // Whatever a test left down or locked would reach later tests.
    void ReleaseAll() {
        for (const KeySym key : {XK_k, XK_Control_L, XK_Alt_L, XK_Shift_L})
            m_x.Key(m_x.Code(key), false);
        const CLockStates locks = CKeyboardLocks::Query();
        if (locks.m_bCaps)
            m_x.Chord({XK_Caps_Lock});
        if (locks.m_bNum)
            m_x.Chord({XK_Num_Lock});
    }
    // Held by this program: another client cannot take it.
    bool Held(unsigned code, unsigned mods) { return !m_x.CanGrab(code, mods); }
    // Ctrl+Alt and the key, through XTest.
    void Press(unsigned key) { m_x.Chord({XK_Control_L, XK_Alt_L}, key); }
    // Exactly that many calls, once every event the server sent is handled.
    bool Called(int calls) {
        const bool reached = WaitFor("the calls", [&] { return m_nCalls >= calls; });
        XSync(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), False);
        wxYield();
        wxYield();
        return reached && m_nCalls == calls;
    }

    CXClient m_x;
    const unsigned m_nK = m_x.Code(XK_k);
    int m_nCalls = 0;
    const std::function<void()> m_fnCount = [this] { ++m_nCalls; };
};

} // namespace

TEST_F(HotKeyTest, HoldsExactlyItsCombinationWithEveryLockVariant) {
    const std::vector<unsigned> locks =
        CLockModifiers::Combinations(CLockModifiers::Read(m_x.Get()));
    ASSERT_GE(locks.size(), 4u) << "the test keymap binds Num Lock to a modifier";
    {
        CGlobalHotKey scoped;
        ASSERT_TRUE(scoped.Register(kVkK, kCtrlAlt, m_fnCount) && scoped.IsRegistered());
        for (const unsigned lock : locks)
            EXPECT_TRUE(Held(m_nK, kCtrlAltMask | lock)) << lock;
        EXPECT_FALSE(Held(m_nK, ControlMask) || Held(m_nK, kCtrlAltMask | ShiftMask));
    }
    for (const unsigned lock : locks) // released by the destructor
        EXPECT_FALSE(Held(m_nK, kCtrlAltMask | lock)) << lock;
    CGlobalHotKey hotKey;
    EXPECT_FALSE(hotKey.Unregister()) << "nothing to release";
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, m_fnCount));
    EXPECT_TRUE(hotKey.Unregister() && !hotKey.IsRegistered() && !hotKey.Unregister());
    EXPECT_FALSE(Held(m_nK, kCtrlAltMask));

    // The flags give the exact modifiers; registering anew releases the key
    // held before; codes without a key are refused, leaving nothing held.
    ASSERT_TRUE(hotKey.Register(kVkK, vk::HOTKEYF_SHIFT, m_fnCount));
    EXPECT_TRUE(Held(m_nK, ShiftMask) && !Held(m_nK, 0));
    ASSERT_TRUE(hotKey.Register(kVkK, vk::HOTKEYF_ALT | vk::HOTKEYF_EXT, m_fnCount));
    EXPECT_TRUE(Held(m_nK, Mod1Mask) && !Held(m_nK, ShiftMask));
    for (const unsigned code : {unsigned{vk::VK_CONTROL}, 0x07u, 0x10u, 0x1234u})
        EXPECT_FALSE(hotKey.Register(code, kCtrlAlt, m_fnCount) || hotKey.IsRegistered()) << code;
    EXPECT_FALSE(Held(m_nK, Mod1Mask));
    // Home and the keypad's 7 are two keys; the extended bit chooses.
    for (const bool extended : {true, false}) {
        ASSERT_TRUE(hotKey.Register(
            vk::VK_HOME, vk::HOTKEYF_CONTROL | (extended ? vk::HOTKEYF_EXT : 0), m_fnCount));
        EXPECT_EQ(Held(m_x.Code(XK_Home), ControlMask), extended);
        EXPECT_EQ(Held(m_x.Code(XK_KP_Home), ControlMask), !extended);
    }
    // Every key of the table a PC keyboard has can be the hot key: all but
    // Clear, Select and Execute of old terminals and the Brazilian keypad's
    // separator.
    const std::set<unsigned long> absent = {0, XK_Clear, XK_Select, XK_Execute, XK_KP_Separator};
    for (unsigned code = 0x01; code <= 0x1FE; ++code) {
        const unsigned long k = KeysymForVirtualKey(code & 0xFF, code > 0xFF);
        const std::uint16_t flags = vk::HOTKEYF_CONTROL | (code > 0xFF ? vk::HOTKEYF_EXT : 0);
        EXPECT_TRUE(absent.count(k) || hotKey.Register(code & 0xFF, flags, m_fnCount)) << code;
    }
    // F13 to F24 carry launcher keysyms on Linux keymaps: found by key name,
    // on the keycode the kernel's F13 has (183, plus 8).
    ASSERT_TRUE(hotKey.Register(vk::VK_F1 + 12, vk::HOTKEYF_CONTROL, m_fnCount));
    EXPECT_TRUE(Held(191, ControlMask));
}

TEST_F(HotKeyTest, EachPressCallsOnceWhateverTheLocksTheRepeatsAndTheMapping) {
    int raw = 0; // presses as the server sends them, repeats included: seen first
    CGdkEventWatch counter(nullptr, [&](const XEvent& event) {
        raw += event.type == KeyPress && event.xkey.keycode == m_nK;
        return false;
    });
    CGlobalHotKey hotKey;
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, m_fnCount));
    // Without Alt, or with Shift as well, the key is not ours.
    m_x.Chord({XK_Control_L, XK_k});
    m_x.Chord({XK_Shift_L, XK_Control_L, XK_Alt_L, XK_k});
    // Then Caps Lock on, and Num Lock too.
    for (const KeySym lock : {XK_VoidSymbol, XK_Caps_Lock, XK_Num_Lock}) {
        if (lock != XK_VoidSymbol)
            m_x.Chord({lock});
        Press(m_nK);
        EXPECT_TRUE(Called(m_nCalls + 1)) << lock;
    }
    ReleaseAll();
    // Held down, the key repeats: one call; its release ends the hold.
    XAutoRepeatOn(m_x.Get());
    m_x.Key(m_x.Code(XK_Control_L), true);
    m_x.Key(m_x.Code(XK_Alt_L), true);
    m_x.Key(m_nK, true);
    const int before = raw;
    EXPECT_TRUE(WaitFor("repeats", [&] { return raw >= before + 4; }));
    ReleaseAll();
    EXPECT_TRUE(Called(4));
    Press(m_nK);
    EXPECT_TRUE(Called(5));
    // The key moved to another keycode and back: followed both ways.
    Display* x = m_x.Get();
    int width = 0;
    KeySym* map = XGetKeyboardMapping(x, 8, 248, &width);
    unsigned spare = 255; // a keycode with nothing on it, to move k to
    while (spare > 8 &&
           std::count(map + (spare - 8) * width, map + (spare - 7) * width, NoSymbol) < width)
        --spare;
    std::vector<KeySym> k(map + (m_nK - 8) * width, map + (m_nK - 7) * width);
    std::vector<KeySym> none(width, NoSymbol);
    XFree(map);
    for (const auto& [from, to] : {std::pair{m_nK, spare}, std::pair{spare, m_nK}}) {
        XChangeKeyboardMapping(x, static_cast<int>(to), width, k.data(), 1);
        XChangeKeyboardMapping(x, static_cast<int>(from), width, none.data(), 1);
        EXPECT_TRUE(
            WaitFor("the key held at its new place", [&] { return Held(to, kCtrlAltMask); }));
        EXPECT_FALSE(Held(from, kCtrlAltMask)) << "the old place is let go";
        Press(to);
        EXPECT_TRUE(hotKey.IsRegistered() && Called(m_nCalls + 1));
    }
}
