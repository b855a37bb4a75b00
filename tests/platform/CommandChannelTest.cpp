// A second start's command reaching the program already running, on X11 and
// on Windows: the first listener keeps the channel, only commands meant to
// come from outside are carried out, an argument arrives whole, and a
// listener that does not answer lets the sender go on.

#include "platform/CommandChannel.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/GuiTest.h"

#ifndef _WIN32
#include "support/XClient.h"
#endif

#include <chrono>
#include <cstdlib>
#include <future>
#include <string>
#include <utility>
#include <vector>

TEST(CommandChannel, CommandsFromOutsideReachTheFirstListenerOnly) {
    std::vector<int> received;
    std::string error;
    {
        CCommandReceiver receiver;
        ASSERT_TRUE(receiver.Listen([&](int id, const std::string&) { received.push_back(id); }));
        // A second copy does not take the channel over.
        CCommandReceiver second;
        EXPECT_FALSE(second.Listen([&](int, const std::string&) { ADD_FAILURE() << "stolen"; }));
        // Windows' sender waits for the answer, which this thread gives by
        // running its loop: the sender runs on a thread of its own there.
        const auto send = [&error](int id) {
            auto sent =
                std::async(std::launch::async, [id, &error] { return SendCommand(id, error); });
            EXPECT_TRUE(WaitFor("the command to be taken", [&] {
                return sent.wait_for(std::chrono::milliseconds(0)) == std::future_status::ready;
            }));
            return sent.get();
        };
        // Delivered to the window, but not meant to come from outside.
        for (const int id : {ids::ID_FILE_NEW, ids::ID_TOGGLE_MENU, ids::ID_TOGGLE_MENU})
            EXPECT_TRUE(send(id)) << error;
        // Messages keep their order: the refused one would have come first.
        ASSERT_TRUE(WaitFor("two commands", [&] { return received.size() >= 2; }));
        EXPECT_EQ(received, (std::vector<int>{ids::ID_TOGGLE_MENU, ids::ID_TOGGLE_MENU}));
#ifndef _WIN32
        // Someone asking the marker selection for data is refused at once
        // rather than left waiting.
        EXPECT_FALSE(CXClient().ReadSelection("_TESSARY_COMMANDS_S0", "STRING"));
#endif
    }
    // The channel went with the receiver, and is free for the next program.
    EXPECT_TRUE(!SendCommand(ids::ID_TOGGLE_MENU, error) && error == msg::kNoRunningProgram);
    CCommandReceiver next;
    ASSERT_TRUE(next.Listen([&](int id, const std::string&) { received.push_back(id); }));
    auto toNext = std::async(std::launch::async,
                             [&error] { return SendCommand(ids::ID_TOGGLE_MENU, error); });
    EXPECT_TRUE(WaitFor("the command to the next program", [&] { return received.size() == 3; }));
    EXPECT_TRUE(toNext.get());

#ifdef _WIN32
    // A program that does not run its loop answers no --toggle, and does
    // not carry it out once it runs its loop again.
    auto unanswered = std::async(std::launch::async,
                                 [&error] { return SendCommand(ids::ID_TOGGLE_MENU, error); });
    EXPECT_TRUE(!unanswered.get() && error == msg::kRunningProgramNoAnswer) << error;
    wxYield();
    EXPECT_EQ(received.size(), 3u);
#else
    setenv("DISPLAY", ":4711", 1); // this test's own process
    EXPECT_TRUE(!SendCommand(ids::ID_TOGGLE_MENU, error) && error == msg::kNoDisplay) << error;
#endif
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
    // the sender gives up and goes on, and the command it gave up on is not
    // carried out when the program comes back. (X11's late reading finds the
    // argument gone; Windows' receiver drops a message past its sender's wait.)
    received.clear();
    static const std::string late = "/late.xml";
    auto gaveUp = std::async(std::launch::async,
                             [] { return HandOver(ids::ID_OPEN_FROM_OUTSIDE, late, 300); });
    EXPECT_EQ(gaveUp.get(), EHandOver::NoAnswer);
    EXPECT_EQ(handOver(ids::ID_SHOW_WINDOW, ""), EHandOver::Done);
    ASSERT_TRUE(WaitFor("the next command", [&] { return !received.empty(); }));
#ifdef _WIN32
    EXPECT_EQ(received.front(), std::make_pair(ids::ID_SHOW_WINDOW, std::string()));
#else
    EXPECT_EQ(received.front(), std::make_pair(ids::ID_OPEN_FROM_OUTSIDE, std::string()));
#endif
}
