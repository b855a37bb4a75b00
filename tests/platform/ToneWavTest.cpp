// The generated tone: a WAV header players accept, the asked length and pitch,
// silent ends; and its cache file.

#include "platform/ToneWav.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <optional>
#include <vector>

namespace {

std::uint32_t Le(const std::string& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

std::vector<int> Samples(const std::string& wav) {
    std::vector<int> out;
    for (std::size_t at = 44; at + 1 < wav.size(); at += 2)
        out.push_back(static_cast<std::int16_t>(Le(wav, at, 2)));
    return out;
}

// Pitch from the rising zero crossings, placed between samples by linear
// interpolation.
double MeasuredHz(const std::vector<int>& s, unsigned rate) {
    std::vector<double> rising;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (s[i - 1] < 0 && s[i] >= 0)
            rising.push_back(double(i - 1) + double(-s[i - 1]) / double(s[i] - s[i - 1]));
    if (rising.size() < 3)
        return 0;
    return double(rising.size() - 1) / (rising.back() - rising.front()) * rate;
}

// Sets or clears an environment variable for one scope.
class CEnvVar {
public:
    CEnvVar(const char* name, const char* value) : m_strName(name) {
        if (const char* old = std::getenv(name))
            m_old = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~CEnvVar() {
        m_old ? setenv(m_strName.c_str(), m_old->c_str(), 1) : unsetenv(m_strName.c_str());
    }

private:
    std::string m_strName;
    std::optional<std::string> m_old;
};

struct STone {
    unsigned m_nHz, m_nMs, m_nRate;
};
const STone kTones[] = {
    {700, 50, 44100}, {400, 50, 44100}, {1000, 123, 8000}, {3000, 20, 48000}, {440, 7, 22050}};

} // namespace

TEST(ToneWav, HeaderDescribesSixteenBitMonoPcmOfTheAskedLength) {
    for (const STone& t : kTones) {
        const std::string wav = MakeToneWav(t.m_nHz, t.m_nMs, t.m_nRate);
        const std::uint32_t samples = std::uint64_t{t.m_nRate} * t.m_nMs / 1000;
        ASSERT_EQ(wav.size(), 44u + samples * 2) << t.m_nHz;
        EXPECT_EQ(wav.substr(0, 4), "RIFF");
        EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
        EXPECT_EQ(Le(wav, 16, 4), 16u); // fmt chunk size
        EXPECT_EQ(Le(wav, 20, 2), 1u);  // PCM
        EXPECT_EQ(Le(wav, 22, 2), 1u);  // channels
        EXPECT_EQ(Le(wav, 24, 4), t.m_nRate);
        EXPECT_EQ(Le(wav, 28, 4), t.m_nRate * 2); // bytes per second
        EXPECT_EQ(Le(wav, 32, 2), 2u);            // block align
        EXPECT_EQ(Le(wav, 34, 2), 16u);           // bits per sample
        EXPECT_EQ(wav.substr(36, 4), "data");
        EXPECT_EQ(Le(wav, 40, 4), samples * 2);
    }
    // No time gives an empty but well-formed file.
    const std::string empty = MakeToneWav(700, 0, 44100);
    ASSERT_EQ(empty.size(), 44u);
    EXPECT_EQ(Le(empty, 4, 4), 36u);
    EXPECT_EQ(Le(empty, 40, 4), 0u);
}

TEST(ToneWav, PitchWithinOnePercentAndEndsFadedWithoutClicks) {
    for (const STone& t : kTones) {
        const std::vector<int> s = Samples(MakeToneWav(t.m_nHz, t.m_nMs, t.m_nRate));
        ASSERT_FALSE(s.empty());
        const double hz = MeasuredHz(s, t.m_nRate);
        EXPECT_NEAR(hz, t.m_nHz, t.m_nHz * 0.01) << t.m_nHz << " Hz at " << t.m_nRate;

        int peak = 0;
        for (const int v : s)
            peak = std::max(peak, std::abs(v));
        EXPECT_GT(peak, 32767 / 3) << "too quiet to hear";
        EXPECT_LT(peak, 32767) << "clipped";

        // The first and last samples start from and return to silence, and the
        // level grows over the fade instead of jumping.
        EXPECT_LE(std::abs(s.front()), peak / 50);
        EXPECT_LE(std::abs(s.back()), peak / 50);
        const std::size_t edge =
            std::max<std::size_t>(2, std::min<std::size_t>(t.m_nRate / 1000, s.size() / 16));
        for (std::size_t i = 0; i < edge; ++i) {
            EXPECT_LT(std::abs(s[i]), peak / 2) << "sample " << i;
            EXPECT_LT(std::abs(s[s.size() - 1 - i]), peak / 2) << "sample from end " << i;
        }
    }
}

TEST(ToneFile, CachedUnderTheRuntimeFolderElseTheTempFolderAndRewrittenWhenDamaged) {
    CTempDir runtime;
    CEnvVar env("XDG_RUNTIME_DIR", runtime.Path().c_str());
    const std::string expected = MakeToneWav(523, 37, 44100);
    const std::string path = ToneFile(523, 37);
    EXPECT_EQ(path, ToneCachePath(523, 37));
    EXPECT_EQ(std::filesystem::path(path).parent_path(), runtime.Path());
    EXPECT_EQ(CTempDir::Read(path), expected);
    EXPECT_NE(ToneCachePath(523, 38), path);
    EXPECT_NE(ToneCachePath(524, 37), path);

    // Gone (a cleaned runtime folder) or cut short: written again, whole, under
    // a temporary name first, which is not left behind.
    std::filesystem::remove(path);
    EXPECT_EQ(ToneFile(523, 37), path);
    EXPECT_EQ(CTempDir::Read(path), expected);
    CTempDir::Write(path, expected.substr(0, 100));
    EXPECT_EQ(ToneFile(523, 37), path);
    EXPECT_EQ(CTempDir::Read(path), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(runtime.Path()),
                            std::filesystem::directory_iterator()),
              1);

    // No runtime folder: the shared temp folder, under a name of the user's own.
    CTempDir temp;
    {
        CEnvVar noRuntime("XDG_RUNTIME_DIR", nullptr);
        CEnvVar tmpdir("TMPDIR", temp.Path().c_str());
        const std::string shared = ToneFile(700, 50);
        EXPECT_EQ(std::filesystem::path(shared).parent_path(), temp.Path());
        EXPECT_NE(shared.find(std::to_string(getuid())), std::string::npos) << shared;
        EXPECT_EQ(CTempDir::Read(shared), MakeToneWav(700, 50, 44100));
    }
    CEnvVar nowhere("XDG_RUNTIME_DIR", (temp.Path() / "no" / "such").c_str());
    EXPECT_EQ(ToneFile(700, 50), "");
}
