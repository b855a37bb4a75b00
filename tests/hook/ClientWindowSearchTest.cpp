// The parts behind the hook's entry points: the clicked client window below
// the frame, the lock-key combinations, and errors kept on their Display.

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "hook/ClientWindowSearch.h"
#include "hook/ErrorTrap.h"
#include "hook/LockModifiers.h"
#include "hook/TestDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <algorithm>

namespace {

int g_nGlobalErrors = 0;
int CountError(Display*, XErrorEvent*) {
    ++g_nGlobalErrors;
    return 0;
}

void MarkClient(CTestDisplay& x, Window window) {
    const long state[2] = {NormalState, None};
    const Atom wmState = XInternAtom(x.Get(), "WM_STATE", False);
    XChangeProperty(x.Get(), window, wmState, wmState, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(state), 2);
}

} // namespace

TEST(ClientWindowSearch, FindsTheWindowCarryingWmStateBelowTheFrame) {
    CTestDisplay x;
    const CClientWindowSearch search(x.Get());

    // frame > (decoration, border > client), as a reparenting manager builds it.
    const Window frame = x.CreateWindow();
    const Window decoration = x.CreateWindow(frame);
    const Window border = x.CreateWindow(frame);
    const Window client = x.CreateWindow(border);
    x.CreateWindow(client);
    MarkClient(x, client);
    EXPECT_EQ(search.Find(frame), client);
    EXPECT_EQ(search.Find(client), client);

    // The shallowest wins over a marked window deeper down.
    MarkClient(x, decoration);
    EXPECT_EQ(search.Find(frame), decoration);

    // No manager: nothing marked, the clicked top-level itself.
    const Window bare = x.CreateWindow();
    x.CreateWindow(x.CreateWindow(bare));
    EXPECT_EQ(search.Find(bare), bare);
}

TEST(ClientWindowSearch, GoneWindowsGiveNothingAndReachNoProcessHandler) {
    CTestDisplay x;
    const CClientWindowSearch search(x.Get());
    const XErrorHandler previous = XSetErrorHandler(CountError);
    g_nGlobalErrors = 0;

    EXPECT_EQ(search.Find(None), 0u);
    const Window gone = x.CreateWindow();
    XDestroyWindow(x.Get(), gone);
    XSync(x.Get(), False);
    EXPECT_EQ(search.Find(gone), 0u);
    // An id the server never gave out.
    EXPECT_EQ(search.Find(0x1ffffe), 0u);

    // A trap sees the error of its own display; an outer trap on another
    // display is left alone.
    CTestDisplay other;
    CErrorTrap outer(other.Get());
    {
        CErrorTrap inner(x.Get());
        XMapWindow(x.Get(), gone);
        EXPECT_EQ(inner.Sync(), BadWindow);
    }
    EXPECT_EQ(outer.Sync(), 0);
    // Outside any trap, dropped all the same.
    XMapWindow(x.Get(), gone);
    XSync(x.Get(), False);

    EXPECT_EQ(g_nGlobalErrors, 0);
    XSetErrorHandler(previous);
}

TEST(LockModifiers, GrabsEveryCombinationOfTheLockBitsOnly) {
    // Shift, Lock, Control, Mod1..Mod5; two keys each, 0 where unused.
    KeyCode keys[16] = {50, 62, 66, 0, 37, 105, 64, 108, 77, 0, 0, 0, 0, 0, 78, 0};
    XModifierKeymap map{2, keys};
    EXPECT_EQ(CLockModifiers::MaskOf(map, 77), unsigned(Mod2Mask));
    EXPECT_EQ(CLockModifiers::MaskOf(map, 78), unsigned(Mod5Mask));
    EXPECT_EQ(CLockModifiers::MaskOf(map, 108), unsigned(Mod1Mask));
    EXPECT_EQ(CLockModifiers::MaskOf(map, 99), 0u);
    // An unmapped keysym's keycode 0 must not match the empty slots.
    EXPECT_EQ(CLockModifiers::MaskOf(map, 0), 0u);

    const unsigned locks = LockMask | Mod2Mask | Mod5Mask;
    std::vector<unsigned> combos = CLockModifiers::Combinations(locks);
    EXPECT_EQ(combos.front(), 0u);
    std::sort(combos.begin(), combos.end());
    EXPECT_EQ(std::unique(combos.begin(), combos.end()), combos.end());
    ASSERT_EQ(combos.size(), 8u);
    for (unsigned mods : combos)
        EXPECT_EQ(mods & ~locks, 0u);
    EXPECT_EQ(CLockModifiers::Combinations(LockMask), (std::vector<unsigned>{0, LockMask}));
}
