// The generated tone: a WAV header players accept, the asked length and pitch,
// silent ends; and its cache file.

#include "platform/ToneWav.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>

namespace {
std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}
} // namespace

TEST(ToneWav, SixteenBitMonoPcmOfTheAskedLengthAndPitchFadedAtBothEnds) {
    const unsigned tones[][3] = {
        {700, 50, 44100}, {1000, 123, 8000}, {3000, 20, 48000}, {440, 7, 22050}, {700, 0, 44100}};
    for (const auto& [hz, ms, rate] : tones) {
        const std::string wav = MakeToneWav(hz, ms, rate);
        const std::uint32_t count = std::uint64_t{rate} * ms / 1000;
        ASSERT_EQ(wav.size(), 44u + count * 2) << hz;
        EXPECT_EQ(wav.substr(0, 4) + wav.substr(8, 8) + wav.substr(36, 4), "RIFFWAVEfmt data");
        // RIFF size, fmt size, PCM, mono, rate, bytes a second, block, bits, data size.
        std::vector<std::uint32_t> header;
        const int at[] = {4, 16, 20, 22, 24, 28, 32, 34, 40};
        for (int i = 0; i < 9; ++i)
            header.push_back(Le(wav, at[i], "442244224"[i] - '0'));
        EXPECT_EQ(header, (std::vector<std::uint32_t>{std::uint32_t(wav.size() - 8), 16, 1, 1, rate,
                                                      rate * 2, 2, 16, count * 2}));
        std::vector<int> s;
        for (std::size_t at = 44; at + 1 < wav.size(); at += 2)
            s.push_back(static_cast<std::int16_t>(Le(wav, at, 2)));
        // The pitch: one rising zero crossing a period, give or take one over
        // the whole tone (2 % of the longest).
        int rising = 0;
        for (std::size_t i = 1; i < s.size(); ++i)
            rising += s[i - 1] < 0 && s[i] >= 0;
        EXPECT_NEAR(rising, hz * ms / 1000.0, 1) << hz;
        if (count == 0)
            continue;
        const int peak = std::abs(*std::max_element(
            s.begin(), s.end(), [](int a, int b) { return std::abs(a) < std::abs(b); }));
        EXPECT_TRUE(peak > 32767 / 3 && peak < 32767) << "too quiet to hear, or clipped";
        // Both ends start from and return to silence.
        EXPECT_LE(std::max(std::abs(s.front()), std::abs(s.back())), peak / 50);
    }
}

TEST(ToneFile, CachedUnderTheRuntimeFolderAndRewrittenWhenDamaged) {
    // (The environment is this test's: each test runs in a process of its own.)
    CTempDir runtime;
    CTempDir temp;
    setenv("XDG_RUNTIME_DIR", runtime.Path().c_str(), 1);
    const std::string expected = MakeToneWav(523, 37, 44100);
    const std::string path = ToneFile(523, 37);
    EXPECT_EQ(path, ToneCachePath(523, 37));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), runtime.Path());
    EXPECT_TRUE(ToneCachePath(523, 38) != path && ToneCachePath(524, 37) != path);
    // Gone (a cleaned runtime folder) or cut short: written again, whole,
    // under a temporary name first, which is not left behind.
    for (const bool cut : {false, true, false}) {
        if (cut)
            CTempDir::Write(path, expected.substr(0, 100));
        EXPECT_EQ(ToneFile(523, 37), path);
        EXPECT_EQ(CTempDir::Read(path), expected);
        std::filesystem::remove(path);
    }
    EXPECT_TRUE(std::filesystem::is_empty(runtime.Path()));

    // A runtime folder that does not exist: no file, and no sound.
    setenv("XDG_RUNTIME_DIR", (temp.Path() / "no" / "such").c_str(), 1);
    EXPECT_EQ(ToneFile(700, 50), "");
}
