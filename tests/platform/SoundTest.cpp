// The sounds: the test sink sees every call at once and in order, with the
// path as given; without the sink the calls go to libcanberra on the player's
// thread, which copes with no sound server and with files that do not play.

#include "platform/Sound.h"
#include "platform/ToneWav.h"
#include "support/GuiTest.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

TEST(Sound, TestSinkRecordsEveryCallAtOnceInOrderWithThePathUnchanged) {
    std::vector<std::string> heard;
    sound::SetTestSink([&heard](const std::string& what) { heard.push_back(what); });
    sound::PlayFile("/no/such folder/é activate.wav");
    EXPECT_EQ(heard.size(), 1u) << "the sink is told before the call returns";
    sound::Beep(700, 50);
    sound::PlayFile("");
    sound::PlayFile("relative/off.WAV");
    sound::Beep(400, 50);
    EXPECT_EQ(heard, (std::vector<std::string>{"play:/no/such folder/é activate.wav", "beep:700:50",
                                               "play:", "play:relative/off.WAV", "beep:400:50"}));

    // A sink may clear itself while it is told.
    sound::SetTestSink([&heard](const std::string& what) {
        heard.push_back("last " + what);
        sound::SetTestSink(nullptr);
    });
    sound::Beep(1, 2);
    sound::PlayFile("/no/such/file.wav"); // to the player, not the sink
    EXPECT_EQ(heard.back(), "last beep:1:2");
    EXPECT_EQ(heard.size(), 6u);
}

TEST(Sound, PlaysWithoutASoundServerAndWritesEachToneOnce) {
    CTempDir runtime;
    const char* old = std::getenv("XDG_RUNTIME_DIR");
    const std::string saved = old ? old : "";
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    sound::SetTestSink(nullptr);

    // Missing, unplayable and empty files, and real tones: none of them may
    // block, print a message box or end the program.
    const std::string text = runtime.File("not a sound.wav");
    CTempDir::Write(text, "plain text, no RIFF header");
    sound::PlayFile(runtime.File("missing.wav"));
    sound::PlayFile(text);
    sound::PlayFile("");
    sound::Beep(611, 23);
    sound::Beep(611, 23);
    sound::Beep(389, 31);

    // The player thread writes the tones' files under the runtime folder.
    const std::string first = ToneCachePath(611, 23);
    const std::string second = ToneCachePath(389, 31);
    EXPECT_EQ(std::filesystem::path(first).parent_path(), runtime.Path());
    EXPECT_TRUE(WaitFor([&] { return std::filesystem::exists(second); }));
    EXPECT_EQ(CTempDir::Read(first), MakeToneWav(611, 23, 44100));
    EXPECT_EQ(CTempDir::Read(second), MakeToneWav(389, 31, 44100));
    sound::PlayFile(first);

    // Still answering afterwards.
    std::vector<std::string> heard;
    sound::SetTestSink([&heard](const std::string& what) { heard.push_back(what); });
    sound::Beep(700, 50);
    EXPECT_EQ(heard, std::vector<std::string>{"beep:700:50"});
    sound::SetTestSink(nullptr);
    old ? setenv("XDG_RUNTIME_DIR", saved.c_str(), 1) : unsetenv("XDG_RUNTIME_DIR");
}
