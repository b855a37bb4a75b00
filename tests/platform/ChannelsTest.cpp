// Messages from other X clients to this program's windows: the hook library's
// click reports reaching the hook client. (The command channel's test is
// CommandChannelTest.cpp.)

#include "hook/zqMouseHook.h"
#include "platform/HookClient.h"
#include "res/Messages.h"
#include "support/GuiTest.h"

#include <wx/frame.h>
#include <wx/panel.h>

#include "support/XClient.h"

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

TEST(HookClient, ReportsReachTheAttachedHandlerOnly) {
    CXClient x;
    // Panels in frames never shown: a client attaches through any window of
    // the frame, whose X window is made on demand.
    auto* frame = new wxFrame(nullptr, wxID_ANY, "hook client");
    auto* other = new wxFrame(nullptr, wxID_ANY, "other");
    wxPanel* panel = new wxPanel(frame);
    CHookClient client, detached;
    std::vector<SHookClick> clicks;
    const auto add = [&](const SHookClick& c) { clicks.push_back(c); };
    ASSERT_TRUE(client.Attach(panel, add) && detached.Attach(new wxPanel(other), add));
    detached.Detach();
    const unsigned long to = XidOf(panel);
    x.Send(to, "_SOMETHING_ELSE", {1, 2, 3, 4});
    x.Send(XidOf(other), ZQ_MOUSEHOOK_MESSAGE, {1, 2, 3, 4});
    // A time past 2^31 and a point left of the first screen.
    x.Send(to, ZQ_MOUSEHOOK_MESSAGE, {0x2a00007, -15, 768, long(0xfedcba98u)});
    x.Send(to, ZQ_MOUSEHOOK_MESSAGE, {0, 1, 2, 3});
    // One connection's messages keep their order: the ones to ignore came first.
    ASSERT_TRUE(WaitFor("two clicks", [&] { return clicks.size() >= 2; }));
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(std::tuple(clicks[0].target, clicks[0].x, clicks[0].y, clicks[0].time,
                         clicks[1].target, clicks[1].time),
              std::tuple(0x2a00007ul, -15, 768, 0xfedcba98ul, 0ul, 3ul));

    // A handler that detaches its own client and attaches it again, as
    // closing and reopening a window would: the running call keeps its state.
    ASSERT_TRUE(client.Attach(panel, [&](const SHookClick& c) {
        client.Detach();
        EXPECT_TRUE(client.Attach(panel, add));
        clicks.push_back(c);
    }));
    for (const std::size_t count : {3u, 4u}) {
        x.Send(to, ZQ_MOUSEHOOK_MESSAGE, {0, 0, 0, 0});
        EXPECT_TRUE(WaitFor("the handler's round", [&] { return clicks.size() == count; }));
    }
    // The frame closed while still attached.
    frame->Destroy();
    other->Destroy();
    wxYield(); // deletes them
    client.Detach();
    EXPECT_FALSE(client.Attach(nullptr, [](const SHookClick&) {}));
    std::string error;
    EXPECT_TRUE(!client.Start(error) && error == msg::kHookNoClient) << error;
}
