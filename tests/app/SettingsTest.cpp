// Settings in a temporary config file: defaults, round trip, the stored kinds
// and widths, the window position's text form and checks, and the program's
// own settings file with damaged, hostile and unwritable files.

#include "app/Settings.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>
#include <wx/fileconf.h>
#include <wx/log.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
std::unique_ptr<wxFileConfig> ConfigAt(const std::string& path) {
    return std::make_unique<wxFileConfig>("Tessary", "MorvekLtd", wxString::FromUTF8(path),
                                          wxString(), wxCONFIG_USE_LOCAL_FILE);
}

// The program's own settings file, under a temporary XDG config folder.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_strOldXdg = old ? old : "";
        m_bHadXdg = old != nullptr;
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        fs::create_directories(m_dir.Path() / "Tessary");
    }
    void TearDown() override {
        delete wxConfigBase::Set(nullptr);
        if (m_bHadXdg)
            setenv("XDG_CONFIG_HOME", m_strOldXdg.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    wxConfigBase& Config() { return *wxConfigBase::Get(); }
    std::string Conf() const { return settings_location::FilePath(); }
    // The file names in the settings folder.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.Path() / "Tessary"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CTempDir m_dir;
    std::string m_strOldXdg;
    bool m_bHadXdg = false;
};

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

TEST_F(SettingsFileTest, ValuesAreReadAndWrittenExactlyAsStored) {
    CTempDir::Write(Conf(), "[Options]\nStartFile=$HOME/lib.xml\nStartFolder=${XDG_CONFIG_HOME}\n"
                            "[Recent File List]\nFile1=$PWD/r.xml\n");
    settings_location::InstallGlobalConfig();
    CSettings s = CSettingsStore::Load(Config());
    EXPECT_EQ(s.m_strStartFile, "$HOME/lib.xml");
    EXPECT_EQ(s.m_strStartFolder, "${XDG_CONFIG_HOME}");
    EXPECT_EQ(Config().Read("/Recent File List/File1", wxString()).utf8_string(), "$PWD/r.xml");
    s.m_strActivateWav = "$SOUNDS/on.wav";
    CSettingsStore::Save(Config(), s);
    delete wxConfigBase::Set(nullptr);
    const std::string text = CTempDir::Read(Conf());
    for (const char* line : {"StartFile=$HOME/lib.xml\n", "StartFolder=${XDG_CONFIG_HOME}\n",
                             "File1=$PWD/r.xml\n", "ActivateWavFile=$SOUNDS/on.wav\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(SettingsFileTest, UnreadableLinesAreDroppedAndTheRestKept) {
    for (const std::string bad : {"SoundHook", "=7", "[Options", "Note=\x01\x02", "\x7f"}) {
        CTempDir::Write(Conf(), "\xEF\xBB\xBF[Options]\nVKCode=84\n" + bad +
                                    "\n[Settings]\nTipoftheday=0\n");
        settings_location::InstallGlobalConfig();
        const CSettings s = CSettingsStore::Load(Config());
        EXPECT_EQ(s.m_wHotKeyVK, 84) << bad;
        EXPECT_EQ(s.m_nShowTips, 0) << bad;
        EXPECT_EQ(Names(), std::vector<std::string>{"Tessary.conf"}) << bad;
        EXPECT_EQ(settings_location::TakeDamageNote(), "") << bad;
    }
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsMovedAsideWithoutStalling) {
    std::string deepGroup = "[a";
    for (int i = 0; i < 5000; ++i)
        deepGroup += "/a";
    std::string tooLarge;
    while (tooLarge.size() < 2'000'000)
        tooLarge += "; a settings file grown far beyond what the program writes\n";
    const std::string contents[] = {
        "StartFile=caf\xe9",
        std::string("a=\0", 3),
        deepGroup + "]",
        "StartFile=" + std::string(200'000, 'x'),
        tooLarge,
        "<folder>",
        "<fifo>",
    };
    for (const std::string& content : contents) {
        const std::string earlier = Conf() + ".damaged";
        CTempDir::Write(earlier, "kept");
        if (content == "<folder>")
            fs::create_directory(Conf());
        else if (content == "<fifo>")
            ASSERT_EQ(mkfifo(Conf().c_str(), 0600), 0);
        else
            CTempDir::Write(Conf(), "Tipoftheday=0\n" + content + "\n");
        const auto type = fs::status(Conf()).type();
        ASSERT_TRUE(FinishesWithin(std::chrono::seconds(30),
                                   [] { settings_location::InstallGlobalConfig(); }));
        EXPECT_EQ(CSettingsStore::Load(Config()).m_nShowTips, 1);
        EXPECT_EQ(CTempDir::Read(earlier), "kept");
        EXPECT_EQ(fs::status(earlier + ".1").type(), type);
        EXPECT_FALSE(fs::exists(Conf()));
        // Told once, naming where the file went.
        EXPECT_NE(settings_location::TakeDamageNote().find(earlier + ".1"), std::string::npos);
        EXPECT_EQ(settings_location::TakeDamageNote(), "");
        delete wxConfigBase::Set(nullptr);
        fs::remove_all(earlier + ".1");
    }
}

TEST_F(SettingsFileTest, AFailedWriteIsSilentAndLeavesNothingBehind) {
    settings_location::InstallGlobalConfig();
    fs::create_directory(Conf()); // in the way by the time the settings are written
    wxLogBuffer* log = new wxLogBuffer;
    std::unique_ptr<wxLog> previous(wxLog::SetActiveTarget(log));
    Config().Write("/Recent File List/File1", "/home/u/a.xml");
    Config().Flush();
    delete wxConfigBase::Set(nullptr); // the program's exit
    EXPECT_EQ(log->GetBuffer().utf8_string(), "");
    delete wxLog::SetActiveTarget(previous.release());
    EXPECT_EQ(Names(), std::vector<std::string>{"Tessary.conf"});
}
