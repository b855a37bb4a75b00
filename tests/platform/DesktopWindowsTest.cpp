// Window activation and focus between real top-level windows, with the
// window manager of the test run (openbox) or none at all.

#include "platform/DesktopWindows.h"
#include "tests/platform/XPeer.h"

#include <wx/frame.h>
#include <wx/popupwin.h>
#include <wx/textctrl.h>

#include <algorithm>
#include <chrono>

namespace {

class DesktopWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_peer.Get(), nullptr);
        m_nFirst = Show("first", 60);
        m_nSecond = Show("second", 400);
    }
    void TearDown() override {
        for (wxFrame* frame : m_frames)
            frame->Destroy();
        Settle(50);
    }

    unsigned long Show(const char* title, int x) {
        auto* frame = new wxFrame(nullptr, wxID_ANY, title, wxPoint(x, 60), wxSize(300, 200));
        new wxTextCtrl(frame, wxID_ANY);
        frame->Show();
        m_frames.push_back(frame);
        const unsigned long xid = XidOf(frame);
        EXPECT_TRUE(WaitFor([&] { return m_peer.Viewable(xid); })) << title;
        return xid;
    }

    // Milliseconds until the window holds the focus, or -1; polled finer than
    // WaitFor does, for the figure.
    double ActivateAndWait(unsigned long xid) {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        desktop::ActivateWindow(xid, 0);
        while (!desktop::HasFocus(xid)) {
            if (Clock::now() - start > std::chrono::seconds(3))
                return -1;
            wxYield();
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }

    CXPeer m_peer;
    std::vector<wxFrame*> m_frames;
    unsigned long m_nFirst = 0;
    unsigned long m_nSecond = 0;
};

TEST_F(DesktopWindowsTest, ActivationHandsTheFocusBackAndForth) {
    // Under a manager the focus lands on GDK's focus window inside the frame
    // (its answer to WM_TAKE_FOCUS): that counts as the frame's.
    const bool managed = desktop::HasWindowManager();
    std::vector<double> latencies;
    for (int round = 0; round < 10; ++round) {
        const unsigned long to = round % 2 ? m_nFirst : m_nSecond;
        latencies.push_back(ActivateAndWait(to));
        ASSERT_GE(latencies.back(), 0) << "round " << round;
        EXPECT_FALSE(desktop::HasFocus(round % 2 ? m_nSecond : m_nFirst));
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("activation to focus (%s): median %.1f ms, max %.1f ms\n",
                managed ? "window manager" : "no window manager", latencies[5], latencies[9]);
}

TEST_F(DesktopWindowsTest, GoneOrHiddenWindowsAreHarmless) {
    ASSERT_GE(ActivateAndWait(m_nFirst), 0);

    const unsigned long gone = Show("doomed", 200);
    EXPECT_TRUE(desktop::WindowExists(gone));
    m_frames.back()->Destroy();
    m_frames.pop_back();
    ASSERT_TRUE(WaitFor([&] { return !desktop::WindowExists(gone); }));
    for (unsigned long window : {gone, 0x3ffffff0ul, 0ul}) {
        desktop::ActivateWindow(window, 0);
        EXPECT_FALSE(desktop::HasFocus(window));
        EXPECT_FALSE(desktop::WindowExists(window));
    }

    // Unmapped: without a manager XSetInputFocus answers BadMatch.
    m_frames[1]->Hide();
    ASSERT_TRUE(WaitFor([&] { return !m_peer.Viewable(m_nSecond); }));
    desktop::ActivateWindow(m_nSecond, 0);
    Settle(100);
    EXPECT_FALSE(desktop::HasFocus(m_nSecond));
    // The connection survived, and the focus stayed.
    EXPECT_TRUE(desktop::HasFocus(m_nFirst));
}

// Only the program's own pop-ups count as such: a right-click can land on the
// one-pixel window a menu opened on, never on a frame taken for one.
TEST_F(DesktopWindowsTest, OwnPopupsAreToldFromFramesAndStrangers) {
    auto* popup = new wxPopupWindow(m_frames[0]);
    popup->SetSize(10, 10, 1, 1);
    popup->Show();
    const unsigned long popupId = XidOf(popup);
    EXPECT_TRUE(desktop::IsOwnPopup(popupId));
    EXPECT_FALSE(desktop::IsOwnPopup(m_nFirst));
    EXPECT_FALSE(desktop::IsOwnPopup(0));
    EXPECT_FALSE(desktop::IsOwnPopup(0x3ffffff0ul));
    popup->Destroy();
}

// A manager that died leaves _NET_SUPPORTING_WM_CHECK on the root naming a
// window that is gone: activation must fall back to setting the focus. Staged
// only where no manager runs, as it rewrites the root's property.
TEST_F(DesktopWindowsTest, StaleManagerCheckFallsBackToDirectFocus) {
    if (desktop::HasWindowManager())
        GTEST_SKIP() << "a window manager runs";
    Display* x = m_peer.Get();
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    auto point = [&](Window on, Window to) {
        XChangeProperty(x, on, check, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&to), 1);
        XSync(x, False);
    };
    const Window fake = XCreateSimpleWindow(x, m_peer.Root(), 0, 0, 1, 1, 0, 0, 0);
    point(m_peer.Root(), fake);
    EXPECT_FALSE(desktop::HasWindowManager()) << "check window without its own pointer";
    point(fake, m_peer.Root());
    EXPECT_FALSE(desktop::HasWindowManager()) << "check window pointing elsewhere";
    point(fake, fake);
    EXPECT_TRUE(desktop::HasWindowManager());
    XDestroyWindow(x, fake);
    XSync(x, False);
    EXPECT_FALSE(desktop::HasWindowManager()) << "stale check window";

    EXPECT_GE(ActivateAndWait(m_nSecond), 0);
    EXPECT_GE(ActivateAndWait(m_nFirst), 0);
    XDeleteProperty(x, m_peer.Root(), check);
    XSync(x, False);
}

} // namespace
