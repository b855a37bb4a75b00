// The mouse hook library seen from other X clients: an X server that goes
// away, the clicked client window found below the frame, errors kept on their
// own display, the lock combinations, the grab held exactly while started
// (so clicks with Shift, Control or Alt stay the clicked program's), and one
// report per right-click.

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "hook/ClientWindowSearch.h"
#include "hook/ErrorTrap.h"
#include "hook/zqMouseHook.h"
#include "platform/LockModifiers.h"
#include "support/XClient.h"

#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>

namespace {

class HookTest : public ::testing::Test {
protected:
    void SetUp() override { SetHwndClient(m_nReceiver); }
    void TearDown() override { StopHook(); }
    bool Free(unsigned mods) { return m_x.CanGrabButton(mods); }

    CXClient m_x;
    const Window m_nReceiver = m_x.CreateWindow();
};

} // namespace

// The server going away: the process lives on, the hook counts as stopped, a
// later StartHook connects afresh, and the process still ends cleanly.
TEST_F(HookTest, AServerGoneLeavesTheProcessAndAllowsAFreshStart) {
    // An Xvfb of the test's own, which names its free display and the shell
    // its process.
    FILE* shell = popen("Xvfb -displayfd 3 -nolisten tcp 3>&1 >/dev/null 2>&1 & echo $!", "r");
    int server = 0, number = 0;
    ASSERT_EQ(std::fscanf(shell, "%d %d", &server, &number), 2);
    pclose(shell);
    // There, the environment put back at once for the child below.
    const std::string display = std::getenv("DISPLAY");
    setenv("DISPLAY", (":" + std::to_string(number)).c_str(), 1);
    const int started = StartHook();
    setenv("DISPLAY", display.c_str(), 1);
    ASSERT_NE(started, 0);
    // Run again in a child up to here: it must end at once, with code 0.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((kill(server, SIGKILL), std::exit(0)), ::testing::ExitedWithCode(0), "");
    kill(server, SIGKILL);
    EXPECT_TRUE(
        WaitFor("the server gone", [] { return GetHookLastError() == ZQ_HOOK_NO_DISPLAY; }));
    StopHook();
    ASSERT_NE(StartHook(), 0); // afresh, on the test's display
    EXPECT_FALSE(Free(0));
}

TEST_F(HookTest, ClientWindowBelowTheFrameErrorsKeptOnTheirDisplayLockCombinations) {
    const CClientWindowSearch search(m_x.Get());
    const Atom wmState = XInternAtom(m_x.Get(), "WM_STATE", False);
    const auto mark = [&](Window window) {
        XChangeProperty(m_x.Get(), window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&window), 1);
    };
    // frame > (decoration, border > client), as a reparenting manager builds it.
    const Window frame = m_x.CreateWindow();
    const Window decoration = m_x.CreateWindow(frame);
    const Window client = m_x.CreateWindow(m_x.CreateWindow(frame));
    m_x.CreateWindow(client);
    mark(client);
    EXPECT_EQ(std::pair(search.Find(frame), search.Find(client)), std::pair(client, client));
    // The shallowest wins over a marked window deeper down.
    mark(decoration);
    EXPECT_EQ(search.Find(frame), decoration);
    // No manager: nothing marked, the clicked top-level itself.
    const Window bare = m_x.CreateWindow();
    m_x.CreateWindow(m_x.CreateWindow(bare));
    EXPECT_EQ(search.Find(bare), bare);

    // Gone windows give nothing, and their errors reach no process handler.
    static int s_nGlobalErrors = 0;
    const auto previous =
        XSetErrorHandler([](Display*, XErrorEvent*) { return ++s_nGlobalErrors; });
    const Window gone = m_x.CreateWindow();
    XDestroyWindow(m_x.Get(), gone);
    // None, gone, and an id the server never gave out.
    for (const Window window : {Window(None), gone, Window(0x1ffffe)})
        EXPECT_EQ(search.Find(window), 0u) << window;
    // A trap sees the error of its own display; an outer one on another
    // display is left alone; outside any trap the error is dropped.
    CXClient other;
    CErrorTrap outer(other.Get());
    {
        CErrorTrap inner(m_x.Get());
        XMapWindow(m_x.Get(), gone);
        EXPECT_EQ(inner.Sync(), BadWindow);
    }
    EXPECT_EQ(outer.Sync(), 0);
    XMapWindow(m_x.Get(), gone);
    XSync(m_x.Get(), False);
    EXPECT_EQ(s_nGlobalErrors, 0);
    XSetErrorHandler(previous);

    // Shift, Lock, Control, Mod1..Mod5; two keys each, 0 where unused; 77 on two.
    KeyCode keys[16] = {50, 62, 66, 0, 37, 105, 64, 108, 77, 0, 0, 0, 0, 0, 78, 77};
    const XModifierKeymap map{2, keys};
    std::string masks; // of 77, 78, 108, 99 and 0
    for (const KeyCode key : {77, 78, 108, 99, 0})
        masks += std::to_string(CLockModifiers::MaskOf(map, key)) + " ";
    EXPECT_EQ(masks, "144 128 8 0 0 "); // Mod2 | Mod5, Mod5, Mod1
    std::vector<unsigned> combos = CLockModifiers::Combinations(LockMask | Mod2Mask | Mod5Mask);
    EXPECT_EQ(combos.front(), 0u);
    std::sort(combos.begin(), combos.end());
    EXPECT_EQ(combos, (std::vector<unsigned>{0, 2, 16, 18, 128, 130, 144, 146}));
}

// Held exactly while started (a refusal is the snippet menu's test's); then
// one report per right-click.
TEST_F(HookTest, TheButtonIsHeldExactlyWhileStartedAndEachRightClickReportedOnce) {
    SetHwndClient(0);
    EXPECT_EQ(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_NO_CLIENT);
    SetHwndClient(m_nReceiver);
    EXPECT_TRUE(Free(0));
    // Twice: started again on the same connection.
    for (int round = 0; round < 2; ++round) {
        EXPECT_TRUE(StartHook() && StartHook() && GetHookLastError() == ZQ_HOOK_OK);
        // Caps Lock, Num Lock and Scroll Lock where the keymap has them; never
        // Shift, Control or Alt, whose clicks stay the clicked program's own.
        for (const unsigned mods : CLockModifiers::Combinations(CLockModifiers::Read(m_x.Get())))
            EXPECT_FALSE(Free(mods)) << mods;
        for (const unsigned mods : {ShiftMask, ControlMask, Mod1Mask, ShiftMask | LockMask})
            EXPECT_TRUE(Free(mods)) << mods;
        StopHook();
        StopHook();
        EXPECT_TRUE(Free(0) && Free(LockMask));
    }
    // Left alone by the window manager, so it stays at (100, 100).
    const Window target = m_x.CreateWindow();
    XSetWindowAttributes unmanaged{};
    unmanaged.override_redirect = True;
    XChangeWindowAttributes(m_x.Get(), target, CWOverrideRedirect, &unmanaged);
    XSelectInput(m_x.Get(), target, ButtonPressMask);
    XMapWindow(m_x.Get(), target);
    ASSERT_TRUE(WaitFor("the target", [&] { return m_x.Viewable(target); }));
    ASSERT_NE(StartHook(), 0);
    XEvent event;
    // The next report to reach the window.
    const auto report = [&](Window to) {
        const long* l = event.xclient.data.l;
        return m_x.WaitEvent(to, ClientMessage, &event) && event.xclient.format == 32 &&
                       event.xclient.message_type ==
                           XInternAtom(m_x.Get(), ZQ_MOUSEHOOK_MESSAGE, False) &&
                       l[3] != 0
                   ? std::tuple(Window(l[0]), int(l[1]), int(l[2]))
                   : std::tuple(Window(None), 0, 0);
    };
    const std::pair at{200, 175}, there{230, 195};
    m_x.Click(at);
    m_x.Click(there);
    // A second report of the first click would come before the second's.
    EXPECT_EQ(report(m_nReceiver), std::tuple(target, at.first, at.second));
    EXPECT_EQ(report(m_nReceiver), std::tuple(target, there.first, there.second));
    XSync(m_x.Get(), False);
    EXPECT_FALSE(XCheckTypedWindowEvent(m_x.Get(), target, ButtonPress, &event) ||
                 XCheckTypedEvent(m_x.Get(), ClientMessage, &event));
    // Reports follow SetHwndClient.
    const Window other = m_x.CreateWindow();
    SetHwndClient(other);
    m_x.Click(at);
    EXPECT_EQ(report(other), std::tuple(target, at.first, at.second));
}
