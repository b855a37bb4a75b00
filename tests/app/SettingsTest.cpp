// Settings: defaults, the round trip with its stored kinds and widths, the
// window position's text form and checks, the paste-key group written by hand
// or damaged, and the program's own settings file with damaged, hostile and
// unwritable files.

#include "app/Settings.h"
#include "app/PasteKeysStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <wx/config.h>
#include <wx/log.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

// The program's own settings file, under a temporary XDG config folder.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        fs::create_directories(m_dir.Path() / "Tessary");
        m_pPrevious.reset(wxLog::SetActiveTarget(m_pLog));
    }
    void TearDown() override {
        delete wxConfigBase::Set(nullptr);
        unsetenv("XDG_CONFIG_HOME");
        delete wxLog::SetActiveTarget(m_pPrevious.release());
    }
    // Nothing may be logged: the toolkit shows a logged warning as a box.
    std::string Logged() const { return m_pLog->GetBuffer().utf8_string(); }
    // The settings as the program reads them at start from a file so written.
    SSettings Start(const std::string& text) {
        CTempDir::Write(Conf(), text);
        settings_location::InstallGlobalConfig();
        return CSettingsStore::Load(Config());
    }
    wxConfigBase& Config() { return *wxConfigBase::Get(); }
    std::string Conf() const { return settings_location::FilePath(); }
    long Files() const {
        return std::distance(fs::directory_iterator(m_dir.Path() / "Tessary"), {});
    }

    CTempDir m_dir;
    wxLogBuffer* m_pLog = new wxLogBuffer; // owned by wxLog once set
    std::unique_ptr<wxLog> m_pPrevious;
};

// Every value of the settings, in their order; the paste keys as stored rows.
static std::string Described(const SSettings& s) {
    std::string rules = s.m_pasteRules == CPasteRules::Defaults() ? "defaults" : "";
    if (rules.empty())
        for (const SPasteRule& rule : s.m_pasteRules)
            rules += "[" + CPasteKeysStore::FormatRow(rule) + "]";
    return std::to_string(s.m_wHotKeyModifiers) + " " + std::to_string(s.m_wHotKeyVK) + " " +
           std::to_string(s.m_bSoundHook) + " " + s.m_strStartFolder + "|" + s.m_strStartFile +
           "|" + s.m_strActivateWav + "|" + s.m_strDeactivateWav + " " +
           std::to_string(s.m_nShowTips) + " " + std::to_string(s.m_nCurrentTip) + " " +
           std::to_string(s.m_bRestoreClipboard) + " " + rules +
           (s.m_bPasteKeysUnread ? " unread" : "") + (s.m_bKeepInTray ? " tray" : "") +
           (s.m_bHideWaylandNotice ? " no-wayland-notice" : "");
}

static const char* kPasteKeysGroup = "[PasteKeys]\nCount=2\nRule1=xterm|Shift+Insert|primary\n"
                                     "Rule2=*Term?|Ctrl+Shift+V|\n";

TEST_F(SettingsFile, MissingValuesGiveDefaultsAndEveryValueRoundTrips) {
    EXPECT_EQ(Described(Start("")), "0 0 0 ||| 1 0 0 defaults");
    // Values are read and written exactly as stored: "$HOME" is no reference.
    SSettings s{6, 0x54, 1,   "${XDG_CONFIG_HOME}", "$HOME/\xC3\xA9", "/on.wav", "/off.wav",
                0, 5,    true};
    s.m_pasteRules = {{"xterm", *SKeyChord::Parse("Shift+Insert"), true},
                      {"*Term?", *SKeyChord::Parse("Ctrl+Shift+V"), false}};
    s.m_bKeepInTray = s.m_bHideWaylandNotice = true;
    CSettingsStore::Save(Config(), s);
    delete wxConfigBase::Set(nullptr);
    EXPECT_EQ(CTempDir::Read(Conf()),
              "[Options]\nModifiers=6\nVKCode=84\nSoundHook=1\nStartFolder=${XDG_CONFIG_HOME}\n"
              "StartFile=$HOME/\xC3\xA9\nActivateWavFile=/on.wav\nDeactivateWavFile=/off.wav\n"
              "RestoreClipboard=1\nUrlPollMinutes=5\nKeepInTray=1\n[Settings]\nTipoftheday=0\n"
              "CurrentTip=5\nHideWaylandNotice=1\n" +
                  std::string(kPasteKeysGroup));
    EXPECT_EQ(Described(Start(CTempDir::Read(Conf()))), Described(s));
    // The hot-key fields keep only their low 16 bits; values that are no
    // numbers give the defaults; only 1 gives the clipboard back.
    EXPECT_EQ(Described(Start("[Options]\nVKCode=65601\nModifiers=131074\nSoundHook=abc\n"
                              "RestoreClipboard=2\nKeepInTray=2\n[Settings]\nCurrentTip=-3\n"
                              "Tipoftheday=zz\nHideWaylandNotice=yes\n")),
              "2 65 0 ||| 1 -3 0 defaults");
    // How often a web library is asked: never less than never.
    EXPECT_EQ(Start("[Options]\nUrlPollMinutes=-4\n").m_nUrlPollMinutes, 0);
    // An empty table stored on purpose is the user's: Ctrl+V everywhere.
    s.m_pasteRules.clear();
    CSettingsStore::Save(Config(), s);
    delete wxConfigBase::Set(nullptr);
    EXPECT_NE(CTempDir::Read(Conf()).find("[PasteKeys]\nCount=0\n"), std::string::npos);
    EXPECT_EQ(Described(Start(CTempDir::Read(Conf()))), Described(s));
}

TEST_F(SettingsFile, PasteKeysWrittenByHandAreReadAsMeant) {
    // Blanks around the fields, any case, the flag left out, a pattern in
    // another script; rows beyond Count (left from a longer table) ignored.
    const SSettings s = Start("[PasteKeys]\nCount= 3 \nRule1=  xterm | shift + insert | PRIMARY\n"
                              "Rule2=kitty|ctrl+shift+v\nRule3=\xC3\xA9"
                              "diteur|Alt+F5|\n"
                              "Rule4=ignored|Ctrl+V|\n");
    EXPECT_EQ(Described(s), "0 0 0 ||| 1 0 0 "
                            "[xterm|Shift+Insert|primary][kitty|Ctrl+Shift+V|][\xC3\xA9"
                            "diteur|Alt+F5|]");
}

TEST_F(SettingsFile, ADamagedPasteKeysGroupGivesTheWholeDefaultTableAndStaysForMending) {
    const std::string good = "Rule1=xterm|Shift+Insert|primary\n";
    const std::string damaged[] = {
        // The count: missing, empty, signed, not only digits, absurd, beyond the limit.
        good, "Count=\n" + good, "Count=+1\n" + good, "Count=1x\n" + good,
        "Count=99999999999999999999\n" + good, "Count=501\n" + good,
        // A row missing; the pattern empty, with a "|" of its own, too long.
        "Count=2\n" + good, "Count=1\nRule1=|Ctrl+V|\n", "Count=1\nRule1=a|b|Ctrl+V|\n",
        "Count=1\nRule1=" + std::string(256, 'x') + "|Ctrl+V|\n",
        // The key: none, not a chord; the flag unknown, or a field too many.
        "Count=1\nRule1=kitty\n", "Count=1\nRule1=kitty|Ctrl+|\n",
        "Count=1\nRule1=kitty|Ctrl+V|yes\n", "Count=1\nRule1=kitty|Ctrl+V|primary|\n",
        // A row longer than any the program writes.
        "Count=1\nRule1=kitty|Ctrl+" + std::string(2000, 'V') + "|\n"};
    for (const std::string& group : damaged) {
        const std::string file = "[Settings]\nTipoftheday=0\n[PasteKeys]\n" + group;
        SSettings s = Start(file);
        EXPECT_EQ(Described(s), "0 0 0 ||| 0 0 0 defaults unread") << group;
        // Written back, the group is left as the user wrote it...
        CSettingsStore::Save(Config(), s);
        delete wxConfigBase::Set(nullptr);
        EXPECT_NE(CTempDir::Read(Conf()).find("[PasteKeys]\n" + group), std::string::npos) << group;
        // ...until a table is chosen.
        s = Start(file);
        s.m_bPasteKeysUnread = false;
        s.m_pasteRules.resize(1);
        CSettingsStore::Save(Config(), s);
        EXPECT_EQ(Described(Start(CTempDir::Read(Conf()))),
                  "0 0 0 ||| 0 0 0 [xterm|Shift+Insert|primary]")
            << group;
        EXPECT_EQ(Logged(), "") << group;
    }
}

TEST(Settings, PositionTextFormAndChecks) {
    EXPECT_EQ(CSettingsStore::FormatPosition(100, 50, 900, 650) +
                  CSettingsStore::FormatPosition(-8, -8, 1288, 1032) +
                  CSettingsStore::FormatPosition(12345, 10, 20, 30),
              "0100 0050 0900 0650 -008 -008 1288 1032 12345 0010 0020 0030 ");
    // A wide number shifts the later fields: they are read where they stand,
    // and a short text is never read beyond its end.
    std::string read;
    for (const char* text : {"0100 0050 0900 0650 ", "-008 -008 1288 1032 ",
                             "12345 0010 0020 0030 ", "0100 0050", "7", ""}) {
        int l = -1, t = -1, r = -1, b = -1;
        read += CSettingsStore::ParsePosition(text, l, t, r, b)
                    ? std::to_string(l) + " " + std::to_string(t) + " " + std::to_string(r) + " " +
                          std::to_string(b) + "|"
                    : "-|";
    }
    EXPECT_EQ(read, "100 50 900 650|-8 -8 1288 1032|12345 10 20 30|100 50 0 0|7 0 0 0|-|");

    // Usable: on the primary screen, one column or row of it at its left or
    // bottom edge, or mostly on the second monitor to its right. Not: a width
    // beyond int, larger than the screens, wider than both monitors, fields
    // shifted into nonsense, not an int at all, no width, upside down, only on
    // the second monitor, wholly left of or below the primary screen.
    std::string used;
    for (const char* text :
         {"0100 0050 0900 0650 ", "-499 0100 0001 0500 ", "0100 1023 0600 1423 ",
          "1279 0100 2479 0700 ", "-999 0000 2147483647 ", "0000 0000 99999 99999 ",
          "0000 0000 2561 0500 ", "-2147483648 0000 0100 0100 ", "99999999999999999999 0 0 0",
          "0100 0050 0100 0650 ", "0100 0650 0900 0050 ", "1280 0000 1900 0500 ",
          "-500 0100 0000 0500 ", "0100 1024 0600 1424 "})
        used += CSettingsStore::UsablePosition(text, {0, 0, 1280, 1024}, {0, 0, 2560, 1024}) ? "1"
                                                                                             : "0";
    EXPECT_EQ(used, "11110000000000");
}

TEST_F(SettingsFile, UnreadableLinesAreDroppedAndTheRestKept) {
    for (const std::string bad : {"SoundHook", "=7", "[Options", "Note=\x01\x02", "\x7f",
                                  "VKCode=85", "[Options] x", "A=\"b"}) {
        const SSettings s =
            Start("\xEF\xBB\xBF[Options]\nVKCode=84\n" + bad + "\n[Settings]\nTipoftheday=0\n");
        EXPECT_TRUE((s.m_wHotKeyVK == 84 || s.m_wHotKeyVK == 85) && s.m_nShowTips == 0) << bad;
        EXPECT_EQ(Files(), 1) << bad;
        EXPECT_EQ(settings_location::TakeDamageNote(), "") << bad;
        EXPECT_EQ(Logged(), "") << bad;
    }
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsMovedAsideWithoutStalling) {
    // Not UTF-8, a zero byte, groups nested too deep, a line too long, a file
    // too large, a folder, a FIFO: moved to the first free ".damaged" name,
    // the user told once where it went, the defaults used.
    std::string deepGroup = "[a";
    for (int i = 0; i < 5000; ++i)
        deepGroup += "/a";
    const std::string earlier = Conf() + ".damaged";
    for (const std::string& content :
         {std::string("StartFile=caf\xe9"), std::string("a=\0", 3), deepGroup + "]",
          "StartFile=" + std::string(200'000, 'x'), std::string(2'000'000, '\n'),
          std::string("<folder>"), std::string("<fifo>")}) {
        CTempDir::Write(earlier, "kept");
        if (content == "<folder>")
            fs::create_directory(Conf());
        else if (content == "<fifo>")
            ASSERT_EQ(mkfifo(Conf().c_str(), 0600), 0);
        else
            CTempDir::Write(Conf(), "Tipoftheday=0\n" + content + "\n");
        const auto type = fs::status(Conf()).type();
        alarm(30); // a read that blocked would end the test program here
        settings_location::InstallGlobalConfig();
        alarm(0);
        const SSettings s = CSettingsStore::Load(Config());
        EXPECT_TRUE(s.m_nShowTips == 1 && s.m_pasteRules == CPasteRules::Defaults() &&
                    CTempDir::Read(earlier) == "kept" &&
                    fs::status(earlier + ".1").type() == type && !fs::exists(Conf()))
            << content.substr(0, 20);
        EXPECT_NE(settings_location::TakeDamageNote().find(earlier + ".1"), std::string::npos);
        EXPECT_EQ(settings_location::TakeDamageNote(), "");
        delete wxConfigBase::Set(nullptr);
        fs::remove_all(earlier + ".1");
    }
}

TEST_F(SettingsFile, AFailedWriteIsSilentAndLeavesNothingBehind) {
    settings_location::InstallGlobalConfig();
    fs::create_directory(Conf()); // in the way by the time the settings are written
    Config().Write("/Recent File List/File1", "/home/u/a.xml");
    Config().Flush();
    delete wxConfigBase::Set(nullptr); // the program's exit
    EXPECT_TRUE(Logged().empty() && Files() == 1) << Logged();
}
