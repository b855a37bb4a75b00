// The hook library's click reports reaching the program's handler: sent from
// another X connection as the library sends them, and from a real right-click.

#include "platform/HookClient.h"
#include "hook/zqMouseHook.h"
#include "tests/platform/XPeer.h"

#include <wx/frame.h>
#include <wx/panel.h>

namespace {

class HookClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(m_peer.Get(), nullptr); }
    void TearDown() override {
        for (wxFrame* frame : m_frames)
            frame->Destroy();
        Settle(50);
    }

    // A panel in a frame never shown: clients attach through any window of
    // the frame, whose X window is made on demand.
    wxPanel* NewPanel() {
        m_frames.push_back(new wxFrame(nullptr, wxID_ANY, "hook client"));
        return new wxPanel(m_frames.back());
    }
    void Report(wxWindow* to, std::vector<long> items) {
        m_peer.SendClientMessage(XidOf(to), ZQ_MOUSEHOOK_MESSAGE, std::move(items));
    }

    CXPeer m_peer;
    std::vector<wxFrame*> m_frames;
};

TEST_F(HookClientTest, ReportsReachTheAttachedHandlerOnly) {
    wxPanel* panel = NewPanel();
    wxPanel* other = NewPanel();
    CHookClient client;
    CHookClient detached;
    std::vector<SHookClick> clicks;
    int heardByDetached = 0;
    ASSERT_TRUE(client.Attach(panel, [&](const SHookClick& c) { clicks.push_back(c); }));
    ASSERT_TRUE(detached.Attach(other, [&](const SHookClick&) { ++heardByDetached; }));
    detached.Detach();

    m_peer.SendClientMessage(XidOf(panel), "_SOMETHING_ELSE", {1, 2, 3, 4});
    Report(other, {1, 2, 3, 4});
    // A time past 2^31 and a point left of the first screen.
    Report(panel, {0x2a00007, -15, 768, static_cast<long>(0xfedcba98u)});
    Report(panel, {0, 1, 2, 3});
    // One connection's messages keep their order: the ones to ignore came first.
    ASSERT_TRUE(WaitFor([&] { return clicks.size() >= 2; }));
    EXPECT_EQ(clicks.size(), 2u);
    EXPECT_EQ(heardByDetached, 0);
    EXPECT_EQ(clicks[0].target, 0x2a00007ul);
    EXPECT_EQ(clicks[0].x, -15);
    EXPECT_EQ(clicks[0].y, 768);
    EXPECT_EQ(clicks[0].time, 0xfedcba98ul);
    EXPECT_EQ(clicks[1].target, 0ul);
    EXPECT_EQ(clicks[1].time, 3ul);

    // A handler that detaches its own client and attaches it again, as
    // closing and reopening a window would: the running call keeps its state.
    int rounds = 0;
    ASSERT_TRUE(client.Attach(panel, [&](const SHookClick&) {
        client.Detach();
        EXPECT_TRUE(client.Attach(panel, [&](const SHookClick&) { ++rounds; }));
        ++rounds;
    }));
    Report(panel, {0, 0, 0, 0});
    ASSERT_TRUE(WaitFor([&] { return rounds == 1; }));
    Report(panel, {0, 0, 0, 0});
    EXPECT_TRUE(WaitFor([&] { return rounds == 2; }));

    // The frame closed while still attached.
    m_frames.erase(m_frames.begin());
    panel->GetParent()->Destroy();
    Settle(50);
    client.Detach();
    EXPECT_FALSE(client.Attach(nullptr, [](const SHookClick&) {}));
}

TEST_F(HookClientTest, StartGrabsTheButtonOrSaysWhy) {
    std::string error;
    CHookClient unattached;
    EXPECT_FALSE(unattached.Start(error));
    EXPECT_EQ(error, "The snippet menu cannot be activated before the main window exists.");

    CHookClient client;
    std::vector<SHookClick> clicks;
    ASSERT_TRUE(client.Attach(NewPanel(), [&](const SHookClick& c) { clicks.push_back(c); }));
    Display* x = m_peer.Get();
    XGrabButton(x, Button3, 0, m_peer.Root(), False, ButtonPressMask, GrabModeAsync, GrabModeAsync,
                None, None);
    XSync(x, False);
    EXPECT_FALSE(client.Start(error));
    EXPECT_EQ(error, "Another program holds the right mouse button, so the snippet menu cannot be "
                     "activated.");
    XUngrabButton(x, Button3, 0, m_peer.Root());
    XSync(x, False);

    error.clear();
    ASSERT_TRUE(client.Start(error)) << error;
    ASSERT_EQ(RunPumping("xdotool mousemove 321 234 click 3").m_nStatus, 0);
    ASSERT_TRUE(WaitFor([&] { return !clicks.empty(); }));
    EXPECT_EQ(clicks[0].x, 321);
    EXPECT_EQ(clicks[0].y, 234);
    EXPECT_NE(clicks[0].time, 0ul);
    client.Stop();
}

} // namespace
