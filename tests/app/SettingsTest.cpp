// Settings in a temporary config file: defaults, round trip, the stored kinds
// and widths, damaged files, and the window position's text form.

#include "app/Settings.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>

#include <memory>

namespace {
std::unique_ptr<wxFileConfig> ConfigAt(const std::string& path) {
    return std::make_unique<wxFileConfig>("Tessary", "MorvekLtd", wxString::FromUTF8(path),
                                          wxString(), wxCONFIG_USE_LOCAL_FILE);
}
} // namespace

TEST(Settings, MissingFileGivesDefaults) {
    CTempDir dir;
    auto config = ConfigAt(dir.File("none.conf"));
    const CSettings s = CSettingsStore::Load(*config);
    EXPECT_EQ(s.m_wHotKeyVK, 0);
    EXPECT_EQ(s.m_wHotKeyModifiers, 0);
    EXPECT_EQ(s.m_bSoundHook, 0);
    EXPECT_EQ(s.m_strStartFolder, "");
    EXPECT_EQ(s.m_strStartFile, "");
    EXPECT_EQ(s.m_nShowTips, 1);
    EXPECT_EQ(s.m_nCurrentTip, 0);
}

TEST(Settings, RoundTripKeepsEveryValueInItsGroup) {
    CTempDir dir;
    const std::string path = dir.File("t.conf");
    CSettings s;
    s.m_wHotKeyModifiers = 6;
    s.m_wHotKeyVK = 0x54;
    s.m_bSoundHook = 1;
    s.m_strStartFolder = "/home/u/Snippets";
    s.m_strStartFile = "/home/u/Snippets/mail é.xml";
    s.m_strActivateWav = "/usr/share/sounds/on.wav";
    s.m_strDeactivateWav = "/usr/share/sounds/off.wav";
    s.m_nShowTips = 0;
    s.m_nCurrentTip = 5;
    {
        auto config = ConfigAt(path);
        CSettingsStore::Save(*config, s);
    }
    const std::string text = CTempDir::Read(path);
    EXPECT_NE(text.find("[Options]"), std::string::npos);
    EXPECT_NE(text.find("VKCode=84"), std::string::npos);
    EXPECT_NE(text.find("[Settings]"), std::string::npos);
    EXPECT_NE(text.find("Tipoftheday=0"), std::string::npos);
    EXPECT_LT(text.find("[Options]"), text.find("Tipoftheday"));

    auto config = ConfigAt(path);
    const CSettings r = CSettingsStore::Load(*config);
    EXPECT_EQ(r.m_wHotKeyModifiers, 6);
    EXPECT_EQ(r.m_wHotKeyVK, 0x54);
    EXPECT_EQ(r.m_bSoundHook, 1);
    EXPECT_EQ(r.m_strStartFolder, s.m_strStartFolder);
    EXPECT_EQ(r.m_strStartFile, s.m_strStartFile);
    EXPECT_EQ(r.m_strActivateWav, s.m_strActivateWav);
    EXPECT_EQ(r.m_strDeactivateWav, s.m_strDeactivateWav);
    EXPECT_EQ(r.m_nShowTips, 0);
    EXPECT_EQ(r.m_nCurrentTip, 5);
}

TEST(Settings, HotKeyValuesKeepOnlyTheirLow16Bits) {
    CTempDir dir;
    const std::string path = dir.File("t.conf");
    CTempDir::Write(path, "[Options]\nVKCode=65601\nModifiers=131074\n[Settings]\nCurrentTip=-3\n");
    auto config = ConfigAt(path);
    CSettings s = CSettingsStore::Load(*config);
    EXPECT_EQ(s.m_wHotKeyVK, 65601 & 0xFFFF);
    EXPECT_EQ(s.m_wHotKeyModifiers, 2);
    EXPECT_EQ(s.m_nCurrentTip, -3);
    CSettingsStore::Save(*config, s);
    config.reset();
    EXPECT_NE(CTempDir::Read(path).find("VKCode=65\n"), std::string::npos);
}

TEST(Settings, DamagedFileGivesDefaultsAndNeverStops) {
    CTempDir dir;
    const std::string path = dir.File("bad.conf");
    CTempDir::Write(path, std::string("\x01\x02[[[Options\nVKCode=abc\nSoundHook\n=7\n[Settings]\n"
                                      "Tipoftheday=zz\n\xff\xfe garbage",
                                      60));
    auto config = ConfigAt(path);
    const CSettings s = CSettingsStore::Load(*config);
    EXPECT_EQ(s.m_wHotKeyVK, 0);
    EXPECT_EQ(s.m_bSoundHook, 0);
    EXPECT_EQ(s.m_nShowTips, 1);

    // An unreadable path (a folder) behaves as a missing file.
    auto folder = ConfigAt(dir.Path().string());
    EXPECT_EQ(CSettingsStore::Load(*folder).m_nShowTips, 1);
}

TEST(Settings, DamagedTextIsRecognised) {
    EXPECT_TRUE(IsReadableConfigText(""));
    EXPECT_TRUE(IsReadableConfigText("[Options]\nVKCode=84\n; note\n\n  [Settings]\r\nTip = 1\n"));
    EXPECT_TRUE(IsReadableConfigText("StartFile=/home/u/caf\xc3\xa9.xml\n"));
    EXPECT_FALSE(IsReadableConfigText("=7\n"));
    EXPECT_FALSE(IsReadableConfigText("[Options\n"));
    EXPECT_FALSE(IsReadableConfigText("SoundHook\n"));
    EXPECT_FALSE(IsReadableConfigText("a=\x01\x02\n"));
    EXPECT_FALSE(IsReadableConfigText("a=caf\xe9\n"));
}

TEST(Settings, PositionTextForm) {
    EXPECT_EQ(CSettingsStore::FormatPosition(100, 50, 900, 650), "0100 0050 0900 0650 ");
    EXPECT_EQ(CSettingsStore::FormatPosition(-8, -8, 1288, 1032), "-008 -008 1288 1032 ");

    int l, t, r, b;
    ASSERT_TRUE(CSettingsStore::ParsePosition("0100 0050 0900 0650 ", l, t, r, b));
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{100, 50, 900, 650}));
    ASSERT_TRUE(CSettingsStore::ParsePosition("-008 -008 1288 1032 ", l, t, r, b));
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{-8, -8, 1288, 1032}));

    // A wide number shifts the later fields: they are read where they stand.
    const std::string wide = CSettingsStore::FormatPosition(12345, 10, 20, 30);
    EXPECT_EQ(wide, "12345 0010 0020 0030 ");
    ASSERT_TRUE(CSettingsStore::ParsePosition(wide, l, t, r, b));
    EXPECT_EQ(l, 12345);
    EXPECT_EQ(t, 10); // offset 5 holds " 0010"

    // A short text is never read beyond its end.
    ASSERT_TRUE(CSettingsStore::ParsePosition("0100 0050", l, t, r, b));
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{100, 50, 0, 0}));
    ASSERT_TRUE(CSettingsStore::ParsePosition("7", l, t, r, b));
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{7, 0, 0, 0}));
    EXPECT_FALSE(CSettingsStore::ParsePosition("", l, t, r, b));
}

TEST(Settings, HostilePositionsGiveTheDefaultPlacement) {
    const CScreenRect primary{0, 0, 1280, 1024};
    const CScreenRect screens{0, 0, 2560, 1024}; // a second monitor to the right
    struct Case {
        const char* text;
        bool used;
    };
    const Case cases[] = {
        {"0100 0050 0900 0650 ", true},
        {"1279 0100 2479 0700 ", true},         // mostly on the second monitor
        {"-999 0000 2147483647 ", false},       // a width beyond int
        {"0000 0000 99999 99999 ", false},      // larger than the screens
        {"0000 0000 2561 0500 ", false},        // wider than both monitors
        {"-2147483648 0000 0100 0100 ", false}, // fields shifted into nonsense
        {"99999999999999999999 0 0 0", false},  // not an int at all
        {"0100 0050 0100 0650 ", false},        // no width
        {"0100 0650 0900 0050 ", false},        // upside down
    };
    for (const Case& c : cases)
        EXPECT_EQ(CSettingsStore::UsablePosition(c.text, primary, screens).has_value(), c.used)
            << '"' << c.text << '"';
}
