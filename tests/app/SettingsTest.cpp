// Settings: defaults, the round trip with its stored kinds and widths, the
// window position's text form and checks, and the program's own settings
// file with damaged, hostile and unwritable files.

#include "app/Settings.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/log.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The program's own settings file, under a temporary XDG config folder.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        fs::create_directories(m_dir.Path() / "Tessary");
    }
    void TearDown() override {
        delete wxConfigBase::Set(nullptr);
        unsetenv("XDG_CONFIG_HOME");
    }
    // The settings as the program reads them at start from a file so written.
    CSettings Start(const std::string& text) {
        CTempDir::Write(Conf(), text);
        settings_location::InstallGlobalConfig();
        return CSettingsStore::Load(Config());
    }
    wxConfigBase& Config() { return *wxConfigBase::Get(); }
    std::string Conf() const { return settings_location::FilePath(); }
    std::vector<std::string> Names() const { // the files in the settings folder
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_dir.Path() / "Tessary"))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CTempDir m_dir;
};

} // namespace

TEST_F(SettingsFile, MissingValuesGiveDefaultsAndEveryValueRoundTrips) {
    const CSettings d = Start("");
    EXPECT_EQ(std::tie(d.m_wHotKeyVK, d.m_wHotKeyModifiers, d.m_bSoundHook, d.m_nShowTips,
                       d.m_nCurrentTip, d.m_strStartFolder, d.m_strStartFile),
              std::make_tuple(0, 0, 0, 1, 0, "", ""));
    CSettings s{6,          0x54, 1, "/home/u/Snippets", "/home/u/mail \xC3\xA9.xml", "/on.wav",
                "/off.wav", 0,    5};
    CSettingsStore::Save(Config(), s);
    delete wxConfigBase::Set(nullptr);
    EXPECT_EQ(CTempDir::Read(Conf()),
              "[Options]\nModifiers=6\nVKCode=84\nSoundHook=1\nStartFolder=/home/u/Snippets\n"
              "StartFile=/home/u/mail \xC3\xA9.xml\nActivateWavFile=/on.wav\n"
              "DeactivateWavFile=/off.wav\n[Settings]\nTipoftheday=0\nCurrentTip=5\n");
    const CSettings r = Start(CTempDir::Read(Conf()));
    EXPECT_EQ(std::tie(r.m_wHotKeyModifiers, r.m_wHotKeyVK, r.m_bSoundHook, r.m_strStartFolder,
                       r.m_strStartFile, r.m_strActivateWav, r.m_strDeactivateWav, r.m_nShowTips,
                       r.m_nCurrentTip),
              std::tie(s.m_wHotKeyModifiers, s.m_wHotKeyVK, s.m_bSoundHook, s.m_strStartFolder,
                       s.m_strStartFile, s.m_strActivateWav, s.m_strDeactivateWav, s.m_nShowTips,
                       s.m_nCurrentTip));

    // The hot-key fields keep only their low 16 bits; values that are no
    // numbers give the defaults.
    const CSettings w = Start("[Options]\nVKCode=65601\nModifiers=131074\nSoundHook=abc\n"
                              "[Settings]\nCurrentTip=-3\nTipoftheday=zz\n");
    EXPECT_EQ(std::tie(w.m_wHotKeyVK, w.m_wHotKeyModifiers, w.m_bSoundHook, w.m_nCurrentTip,
                       w.m_nShowTips),
              std::make_tuple(65, 2, 0, -3, 1));
}

TEST(Settings, PositionTextFormAndChecks) {
    EXPECT_EQ(CSettingsStore::FormatPosition(100, 50, 900, 650), "0100 0050 0900 0650 ");
    EXPECT_EQ(CSettingsStore::FormatPosition(-8, -8, 1288, 1032), "-008 -008 1288 1032 ");
    EXPECT_EQ(CSettingsStore::FormatPosition(12345, 10, 20, 30), "12345 0010 0020 0030 ");
    // A wide number shifts the later fields: they are read where they stand,
    // and a short text is never read beyond its end.
    const std::pair<const char*, std::vector<int>> texts[] = {
        {"0100 0050 0900 0650 ", {100, 50, 900, 650}},
        {"-008 -008 1288 1032 ", {-8, -8, 1288, 1032}},
        {"12345 0010 0020 0030 ", {12345, 10, 20, 30}},
        {"0100 0050", {100, 50, 0, 0}},
        {"7", {7, 0, 0, 0}},
        {"", {}}};
    for (const auto& [text, numbers] : texts) {
        int l = -1, t = -1, r = -1, b = -1;
        const bool parsed = CSettingsStore::ParsePosition(text, l, t, r, b);
        EXPECT_EQ(parsed ? std::vector<int>({l, t, r, b}) : std::vector<int>(), numbers) << text;
    }

    const CScreenRect primary{0, 0, 1280, 1024};
    const CScreenRect screens{0, 0, 2560, 1024}; // a second monitor to the right
    const std::pair<const char*, bool> positions[] = {
        {"0100 0050 0900 0650 ", true},
        {"1279 0100 2479 0700 ", true},         // mostly on the second monitor
        {"-999 0000 2147483647 ", false},       // a width beyond int
        {"0000 0000 99999 99999 ", false},      // larger than the screens
        {"0000 0000 2561 0500 ", false},        // wider than both monitors
        {"-2147483648 0000 0100 0100 ", false}, // fields shifted into nonsense
        {"99999999999999999999 0 0 0", false},  // not an int at all
        {"0100 0050 0100 0650 ", false},        // no width
        {"0100 0650 0900 0050 ", false},        // upside down
        {"1280 0000 1900 0500 ", false},        // only on the second monitor
    };
    for (const auto& [text, used] : positions)
        EXPECT_EQ(CSettingsStore::UsablePosition(text, primary, screens).has_value(), used) << text;
}

TEST_F(SettingsFile, ValuesAreReadAndWrittenExactlyAsStored) {
    const CSettings s = Start("[Options]\nStartFile=$HOME/lib.xml\nStartFolder=${XDG_CONFIG_HOME}\n"
                              "[Recent File List]\nFile1=$PWD/r.xml\n");
    EXPECT_EQ(s.m_strStartFile + s.m_strStartFolder, "$HOME/lib.xml${XDG_CONFIG_HOME}");
    EXPECT_EQ(Config().Read("/Recent File List/File1", wxString()).utf8_string(), "$PWD/r.xml");
    Config().Write("/Options/ActivateWavFile", "$SOUNDS/on.wav");
    delete wxConfigBase::Set(nullptr);
    const std::string text = CTempDir::Read(Conf());
    for (const char* line : {"StartFile=$HOME/lib.xml\n", "StartFolder=${XDG_CONFIG_HOME}\n",
                             "File1=$PWD/r.xml\n", "ActivateWavFile=$SOUNDS/on.wav\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line;
}

TEST_F(SettingsFile, UnreadableLinesAreDroppedAndTheRestKept) {
    for (const std::string bad : {"SoundHook", "=7", "[Options", "Note=\x01\x02", "\x7f"}) {
        const CSettings s =
            Start("\xEF\xBB\xBF[Options]\nVKCode=84\n" + bad + "\n[Settings]\nTipoftheday=0\n");
        EXPECT_TRUE(s.m_wHotKeyVK == 84 && s.m_nShowTips == 0) << bad;
        EXPECT_EQ(Names(), std::vector<std::string>{"Tessary.conf"}) << bad;
        EXPECT_EQ(settings_location::TakeDamageNote(), "") << bad;
    }
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsMovedAsideWithoutStalling) {
    std::string deepGroup = "[a", tooLarge;
    for (int i = 0; i < 5000; ++i)
        deepGroup += "/a";
    while (tooLarge.size() < 2'000'000)
        tooLarge += "; a settings file grown far beyond what the program writes\n";
    const std::string earlier = Conf() + ".damaged";
    for (const std::string& content : {std::string("StartFile=caf\xe9"), std::string("a=\0", 3),
                                       deepGroup + "]", "StartFile=" + std::string(200'000, 'x'),
                                       tooLarge, std::string("<folder>"), std::string("<fifo>")}) {
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

TEST_F(SettingsFile, AFailedWriteIsSilentAndLeavesNothingBehind) {
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
