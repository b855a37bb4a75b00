// The sounds' test sink may clear itself while it is told: it is told with no
// lock held. (That it hears every call at once, in order, with the path as
// given, is the snippet menu's test's; playing without a sound server is the
// end-to-end test's: it runs with the sounds on.)

#include "platform/Sound.h"

#include <gtest/gtest.h>

TEST(Sound, ASinkMayClearItselfWhileItIsTold) {
    std::string heard;
    sound::SetTestSink([&](const std::string& what) {
        heard += what;
        sound::SetTestSink(nullptr);
    });
    sound::Beep(700, 50);
    EXPECT_EQ(heard, "beep:700:50");
}
