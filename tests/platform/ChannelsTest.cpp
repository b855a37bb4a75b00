// Messages from other X clients to this program's windows: the hook library's
// click reports reaching the hook client, and a second start's command
// reaching the program already running.

#include "hook/zqMouseHook.h"
#include "platform/CommandChannel.h"
#include "platform/HookClient.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/GuiTest.h"

#include <wx/frame.h>
#include <wx/panel.h>

#include "support/XClient.h"

#include <chrono>
#include <cstdlib>
#include <future>
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

TEST(CommandChannel, CommandsFromOutsideReachTheFirstListenerOnly) {
    std::vector<int> received;
    std::string error;
    {
        CCommandReceiver receiver;
        ASSERT_TRUE(receiver.Listen([&](int id, const std::string&) { received.push_back(id); }));
        // A second copy does not take the channel over.
        CCommandReceiver second;
        EXPECT_FALSE(second.Listen([&](int, const std::string&) { ADD_FAILURE() << "stolen"; }));
        // Delivered to the window, but not meant to come from outside.
        for (const int id : {ids::ID_FILE_NEW, ids::ID_TOGGLE_MENU, ids::ID_TOGGLE_MENU})
            EXPECT_TRUE(SendCommand(id, error)) << error;
        // Messages keep their order: the refused one would have come first.
        ASSERT_TRUE(WaitFor("two commands", [&] { return received.size() >= 2; }));
        EXPECT_EQ(received, (std::vector<int>{ids::ID_TOGGLE_MENU, ids::ID_TOGGLE_MENU}));
        // Someone asking the marker selection for data is refused at once
        // rather than left waiting.
        EXPECT_FALSE(CXClient().ReadSelection("_TESSARY_COMMANDS_S0", "STRING"));
    }
    // The channel went with the receiver, and is free for the next program.
    EXPECT_TRUE(!SendCommand(ids::ID_TOGGLE_MENU, error) && error == msg::kNoRunningProgram);
    CCommandReceiver next;
    ASSERT_TRUE(next.Listen([&](int id, const std::string&) { received.push_back(id); }));
    EXPECT_TRUE(SendCommand(ids::ID_TOGGLE_MENU, error));
    EXPECT_TRUE(WaitFor("the command to the next program", [&] { return received.size() == 3; }));

    setenv("DISPLAY", ":4711", 1); // this test's own process
    EXPECT_TRUE(!SendCommand(ids::ID_TOGGLE_MENU, error) && error == msg::kNoDisplay) << error;
}

TEST(CommandChannel, ASecondStartHandsOverItsArgumentOrGoesOnAlone) {
    // The sender blocks until confirmed, as a second start does: it runs on
    // a thread of its own while this one runs the receiver's event loop.
    const auto handOver = [](int id, const std::string& argument, int timeoutMs = 3000) {
        auto outcome =
            std::async(std::launch::async, [=] { return HandOver(id, argument, timeoutMs); });
        EXPECT_TRUE(WaitFor("the hand-over to end", [&] {
            return outcome.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
        }));
        return outcome.get();
    };
    EXPECT_EQ(handOver(ids::ID_SHOW_WINDOW, ""), EHandOver::NoProgram) << "nobody listens";

    std::vector<std::pair<int, std::string>> received;
    CCommandReceiver receiver;
    ASSERT_TRUE(receiver.Listen(
        [&](int id, const std::string& argument) { received.emplace_back(id, argument); }));
    // A path as the system holds it: spaces, a byte that is no UTF-8, and
    // one far longer than a ClientMessage holds.
    const std::string odd = "/tmp/my notes/caf\xe9 \"x\".xml";
    const std::string longPath = "/" + std::string(9000, 'a') + ".xml";
    for (const std::string& path : {odd, longPath})
        EXPECT_EQ(handOver(ids::ID_OPEN_FROM_OUTSIDE, path), EHandOver::Done);
    EXPECT_EQ(handOver(ids::ID_SHOW_WINDOW, " --tray"), EHandOver::Done);
    // Not a command for outsiders: never confirmed, never carried out.
    EXPECT_EQ(handOver(ids::ID_FILE_NEW, "x", 300), EHandOver::NoAnswer);
    ASSERT_TRUE(WaitFor("three commands", [&] { return received.size() >= 3; }));
    EXPECT_EQ(received,
              (std::vector<std::pair<int, std::string>>{{ids::ID_OPEN_FROM_OUTSIDE, odd},
                                                        {ids::ID_OPEN_FROM_OUTSIDE, longPath},
                                                        {ids::ID_SHOW_WINDOW, " --tray"}}));

    // A program that does not run its loop (stopped, hung) does not answer:
    // the sender gives up and goes on. Its late reading of a window that has
    // gone by then finds no argument, and ends nothing.
    received.clear();
    auto late = std::async(std::launch::async,
                           [] { return HandOver(ids::ID_OPEN_FROM_OUTSIDE, "/late.xml", 300); });
    EXPECT_EQ(late.get(), EHandOver::NoAnswer);
    ASSERT_TRUE(WaitFor("the late command", [&] { return !received.empty(); }));
    EXPECT_EQ(received.front(), std::make_pair(ids::ID_OPEN_FROM_OUTSIDE, std::string()));
}
