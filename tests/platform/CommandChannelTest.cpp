// A second start of the program handing a command to the running one, through
// the X server.

#include "platform/CommandChannel.h"
#include "res/CommandIds.h"
#include "tests/platform/XPeer.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr const char* kNotFound = "No running Tessary was found on this display.";

TEST(CommandChannelTest, CommandsReachTheFirstListenerOnly) {
    std::vector<int> received;
    {
        CCommandReceiver receiver;
        ASSERT_TRUE(receiver.Listen([&](int id) { received.push_back(id); }));

        std::string error;
        // Delivered to the window but not on the list of outside commands.
        EXPECT_TRUE(SendCommand(ids::ID_FILE_NEW, error)) << error;
        EXPECT_TRUE(SendCommand(ids::ID_TOGGLE_MENU, error)) << error;
        EXPECT_TRUE(SendCommand(ids::ID_TOGGLE_MENU, error)) << error;
        // Messages keep their order: once the last has arrived, the refused one
        // would have arrived before it.
        ASSERT_TRUE(WaitFor([&] { return received.size() >= 2; }));
        EXPECT_EQ(received, (std::vector<int>{ids::ID_TOGGLE_MENU, ids::ID_TOGGLE_MENU}));

        // A second copy does not take the channel over.
        CCommandReceiver second;
        std::vector<int> stolen;
        EXPECT_FALSE(second.Listen([&](int id) { stolen.push_back(id); }));
        EXPECT_TRUE(SendCommand(ids::ID_TOGGLE_MENU, error));
        ASSERT_TRUE(WaitFor([&] { return received.size() == 3; }));
        EXPECT_TRUE(stolen.empty());

        // Someone asking the marker selection for data is refused at once
        // rather than left waiting.
        const SRunResult asked = RunPumping("xclip -o -selection _TESSARY_COMMANDS_S0 2>&1", 4);
        EXPECT_NE(asked.m_nStatus >> 8, 124) << "request left unanswered";
    }

    // The channel went with the receiver.
    std::string error;
    EXPECT_FALSE(SendCommand(ids::ID_TOGGLE_MENU, error));
    EXPECT_EQ(error, kNotFound);

    // And is free for the next program.
    CCommandReceiver next;
    std::vector<int> later;
    ASSERT_TRUE(next.Listen([&](int id) { later.push_back(id); }));
    EXPECT_TRUE(SendCommand(ids::ID_TOGGLE_MENU, error));
    EXPECT_TRUE(WaitFor([&] { return later.size() == 1; }));
}

TEST(CommandChannelTest, NoDisplayIsReported) {
    const char* display = std::getenv("DISPLAY");
    ASSERT_NE(display, nullptr);
    const std::string saved = display;
    setenv("DISPLAY", ":4711", 1);
    std::string error;
    const bool sent = SendCommand(ids::ID_TOGGLE_MENU, error);
    setenv("DISPLAY", saved.c_str(), 1);
    EXPECT_FALSE(sent);
    EXPECT_EQ(error, "The X display cannot be reached.");
}

} // namespace
