// The sounds' test sink: every call told at once, in order, with the path as
// given, and a sink may clear itself while it is told, with no lock held.
// (Playing without a sound server is the end-to-end test's: it runs with the
// sounds on.)

#include "platform/Sound.h"

#include <gtest/gtest.h>

TEST(Sound, TheSinkHearsEveryCallAtOnceInOrder) {
    std::string heard;
    sound::SetTestSink([&](const std::string& what) {
        heard += what + ",";
        if (what == "beep:700:50")
            sound::SetTestSink(nullptr);
    });
    sound::PlayFile("/no/such folder/\u00e9 activate.wav");
    EXPECT_FALSE(heard.empty()) << "the sink is told before the call returns";
    sound::Beep(700, 50);
    EXPECT_EQ(heard, "play:/no/such folder/\u00e9 activate.wav,beep:700:50,");
}
