// Right-clicks made with XTest and the reports they give: one per click, at
// the release, naming the clicked client window and the point.

// Before any X header: X11 defines None and Bool as macros.
#include <gtest/gtest.h>

#include "hook/TestDisplay.h"
#include "hook/zqMouseHook.h"

#include <X11/keysym.h>

#include <utility>

namespace {

class HookReport : public ::testing::Test {
protected:
    void SetUp() override {
        m_nReceiver = m_x.CreateWindow();
        m_nTarget = m_x.ShowWindow(200, 150, ButtonPressMask | ButtonReleaseMask);
        SetHwndClient(m_nReceiver);
        ASSERT_NE(StartHook(), 0);
    }
    void TearDown() override {
        StopHook();
        // A lock left on would change every later test on this display.
        if (m_x.PointerModifiers() & LockMask)
            m_x.TapKey(XK_Caps_Lock);
    }

    // The next report is the click at point, over the target.
    void ExpectReportAt(std::pair<int, int> point) {
        XEvent event;
        ASSERT_TRUE(m_x.WaitEvent(m_nReceiver, ClientMessage, &event))
            << "no report for " << point.first << "," << point.second;
        EXPECT_EQ(event.xclient.message_type, XInternAtom(m_x.Get(), ZQ_MOUSEHOOK_MESSAGE, False));
        EXPECT_EQ(event.xclient.format, 32);
        EXPECT_EQ(static_cast<Window>(event.xclient.data.l[0]), m_nTarget);
        EXPECT_EQ(event.xclient.data.l[1], point.first);
        EXPECT_EQ(event.xclient.data.l[2], point.second);
        EXPECT_NE(event.xclient.data.l[3], 0);
    }

    // The target got the press itself, with mods held.
    void ExpectTargetGotPress(unsigned mods) {
        XEvent event;
        ASSERT_TRUE(m_x.WaitEvent(m_nTarget, ButtonPress, &event));
        EXPECT_EQ(event.xbutton.button, 3u);
        EXPECT_EQ(event.xbutton.state & mods, mods);
        ASSERT_TRUE(m_x.WaitEvent(m_nTarget, ButtonRelease, &event));
    }

    CTestDisplay m_x;
    Window m_nReceiver = None;
    Window m_nTarget = None;
};

} // namespace

TEST_F(HookReport, OneReportPerClickAndTheProgramBeneathSeesNothing) {
    const auto first = m_x.PointIn(m_nTarget);
    const auto second = m_x.PointIn(m_nTarget, 30, 20);
    m_x.Click(first.first, first.second);
    m_x.Click(second.first, second.second);
    // A second report of the first click would come before the second's.
    ExpectReportAt(first);
    ExpectReportAt(second);

    XSync(m_x.Get(), False);
    XEvent event;
    EXPECT_FALSE(XCheckTypedWindowEvent(m_x.Get(), m_nTarget, ButtonPress, &event));
    EXPECT_FALSE(XCheckTypedEvent(m_x.Get(), ClientMessage, &event));

    // Reports follow SetHwndClient.
    const Window other = m_x.CreateWindow();
    XSync(m_x.Get(), False);
    SetHwndClient(other);
    m_x.Click(first.first, first.second);
    ASSERT_TRUE(m_x.WaitEvent(other, ClientMessage, &event));
    EXPECT_EQ(static_cast<Window>(event.xclient.data.l[0]), m_nTarget);
    SetHwndClient(m_nReceiver);
}

TEST_F(HookReport, ShiftControlAltPassLocksDoNot) {
    const auto point = m_x.PointIn(m_nTarget);
    m_x.Click(point.first, point.second, {XK_Shift_L});
    ExpectTargetGotPress(ShiftMask);
    m_x.Click(point.first, point.second, {XK_Control_L});
    ExpectTargetGotPress(ControlMask);

    m_x.TapKey(XK_Caps_Lock);
    ASSERT_TRUE(m_x.WaitUntil([&] { return (m_x.PointerModifiers() & LockMask) != 0; }));
    // The next report is this click's: none came from the two above.
    const auto caps = m_x.PointIn(m_nTarget, 10, -10);
    m_x.Click(caps.first, caps.second);
    ExpectReportAt(caps);
    m_x.Click(point.first, point.second, {XK_Shift_L});
    ExpectTargetGotPress(ShiftMask | LockMask);
    m_x.TapKey(XK_Caps_Lock);

    // A window manager may bind Alt+right-click for itself: only the absence
    // of a report is certain.
    m_x.Click(point.first, point.second, {XK_Alt_L});
    const auto plain = m_x.PointIn(m_nTarget, -40, 10);
    m_x.Click(plain.first, plain.second);
    ExpectReportAt(plain);
}
