// Tools > Options as a person uses it: typed into, ticked, browsed, closed
// with OK, Cancel or Escape; the hot-key field under a real keyboard; and
// what the command then does with the values and the key on the X server.

#include "dialogs/DlgOptions.h"
#include "dialogs/HotKeyCtrl.h"
#include "platform/VirtualKeyCodes.h"
#include "res/CommandIds.h"
#include "support/AppFixture.h"
#include "support/XClient.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/spinctrl.h>

// After wx: X11's macros (None, Bool) clash with names in its headers.
#include <X11/keysym.h>

#include <cstdlib>
#include <filesystem>
#include <tuple>

using namespace vk;

namespace {

auto Fields(const SSettings& s) {
    return std::tie(s.m_wHotKeyModifiers, s.m_wHotKeyVK, s.m_bSoundHook, s.m_strStartFolder,
                    s.m_strStartFile, s.m_strActivateWav, s.m_strDeactivateWav,
                    s.m_nUrlPollMinutes);
}

// The program with a hot key and some settings stored, and the Options
// command on them.
class OptionsDialog : public CAppFixture {
protected:
    void SetUp() override {
        CAppFixture::SetUp();
        StoreSettings(
            {HOTKEYF_CONTROL | HOTKEYF_ALT, 'K', 0, "/home/ann", "", "/sounds/on.wav", "", 1, 0});
        StartShown();
        m_before = Doc()->Settings();
        ASSERT_FALSE(Free(XK_k, ControlMask | Mod1Mask)) << "Ctrl+Alt+K is registered";
    }
    void Options(const std::function<void(CDlgOptions&)>& drive) {
        WithDialog<CDlgOptions>([this] { Command(ids::ID_OPTIONS); }, drive);
    }
    bool Free(KeySym sym, unsigned modifiers) { return m_probe.CanGrabKey(sym, modifiers); }
    // The sound fields and their Browse buttons that are enabled.
    static int SoundControlsOn(const CDlgOptions& d) {
        return d.m_pEditActivateWav->IsEnabled() + d.m_pEditDeactivateWav->IsEnabled() +
               d.m_pBrowseActivate->IsEnabled() + d.m_pBrowseDeactivate->IsEnabled();
    }

    CXClient m_probe;
    SSettings m_before;
};

} // namespace

TEST_F(OptionsDialog, OkStoresEveryFieldAndMovesTheRegisteredKey) {
    Options([&](CDlgOptions& d) {
        EXPECT_EQ(wxWindow::FindFocus(), d.m_pEditStartFile) << "the first field has the focus";
        EXPECT_EQ(d.m_pHotKey->GetText() + " " + d.m_pEditStartFolder->GetValue() +
                      std::to_string(SoundControlsOn(d)) + " " +
                      std::to_string(d.m_pUrlPollMinutes->GetValue()),
                  "Ctrl + Alt + K /home/ann0 5");
        Click(d.m_pSound);
        EXPECT_EQ(SoundControlsOn(d), 4) << "ticking enables all four at once";
        d.m_pEditStartFolder->ChangeValue("/data");
        d.m_pUrlPollMinutes->SetValue(0); // a web library never asked
        // Each Browse asks with its own filter and fills its own field; a
        // cancel keeps the field.
        const std::tuple<int, const char*, const char*> browse[] = {
            {options_ids::IDC_BROWSE_START_FILE, "(*.xml)|*.xml;*.XML", "/picked/lib.xml"},
            {options_ids::IDC_BROWSE_ACTIVATE, "(*.wav)|*.wav;*.WAV", "/picked/on.wav"},
            {options_ids::IDC_BROWSE_DEACTIVATE, "(*.wav)|*.wav;*.WAV", "/picked/off.wav"}};
        for (const auto& [id, wildcard, path] : browse) {
            CFilePrompt::QueueAnswer("");
            Click(d.FindWindow(id));
            EXPECT_EQ(CFilePrompt::LastRequest().wildcard, wildcard);
            CFilePrompt::QueueAnswer(path);
            Click(d.FindWindow(id));
        }
        ASSERT_TRUE(FocusOn(d.m_pHotKey));
        Press(WXK_F7, wxMOD_CONTROL | wxMOD_SHIFT);
        Click(d.FindWindow(wxID_OK));
    });
    SSettings want(HOTKEYF_CONTROL | HOTKEYF_SHIFT, VK_F1 + 6, 1, "/data", "/picked/lib.xml",
                   "/picked/on.wav", "/picked/off.wav", 1, 0);
    want.m_nUrlPollMinutes = 0;
    EXPECT_EQ(Fields(Doc()->Settings()), Fields(want));
    EXPECT_TRUE(Free(XK_k, ControlMask | Mod1Mask)) << "the old key is released";
    EXPECT_FALSE(Free(XK_F7, ControlMask | ShiftMask)) << "the new key is held";
    EXPECT_EQ(CSettingsStore::Load(*wxConfigBase::Get()).m_strStartFile, "") << "stored at exit";

    // Opened again: the new key shows, the sounds are on; cleared, the box
    // greys the fields again, whose texts are kept all the same.
    Options([&](CDlgOptions& d) {
        EXPECT_EQ(d.m_pHotKey->GetText() + std::to_string(SoundControlsOn(d)),
                  "Ctrl + Shift + F74");
        Click(d.m_pSound);
        EXPECT_EQ(SoundControlsOn(d), 0);
        Click(d.FindWindow(wxID_OK));
    });
    want.m_bSoundHook = 0;
    EXPECT_EQ(Fields(Doc()->Settings()), Fields(want));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OptionsDialog, CancelChangesNothingAndRefusalsKeepTheDialogOrTheKey) {
    for (const bool escape : {false, true})
        Options([&](CDlgOptions& d) {
            Click(d.m_pSound);
            ASSERT_TRUE(FocusOn(d.m_pHotKey));
            Press(WXK_F3, wxMOD_ALT);
            if (escape)
                Press(WXK_ESCAPE);
            else
                Click(d.FindWindow(wxID_CANCEL));
        });
    EXPECT_EQ(Fields(Doc()->Settings()), Fields(m_before));
    EXPECT_FALSE(Free(XK_k, ControlMask | Mod1Mask)) << "the key stays registered";

    const std::string longest = "/" + std::string(254, 'a');
    Options([&](CDlgOptions& d) {
        // A key another program takes while the dialog is open.
        ASSERT_TRUE(FocusOn(d.m_pHotKey));
        Press(WXK_F3, wxMOD_ALT);
        ASSERT_TRUE(m_probe.CanGrabKey(XK_F3, Mod1Mask, true));
        Click(d.m_pSound);
        for (wxTextCtrl* edit : {d.m_pEditActivateWav, d.m_pEditDeactivateWav}) {
            edit->ChangeValue(longest + "b");
            Click(d.FindWindow(wxID_OK));
            EXPECT_EQ(Messages(), Strings{"Please enter no more than 255 characters."});
            EXPECT_TRUE(d.IsModal() && wxWindow::FindFocus() == edit) << "the field stays open";
            // One character less passes.
            Press(WXK_END);
            Press(WXK_BACK);
        }
        // Enter in the field presses OK once the path fits.
        Press(WXK_RETURN);
        EXPECT_TRUE(Closed(d)) << "Enter did not press OK";
    });
    const SSettings& s = Doc()->Settings();
    EXPECT_TRUE(s.m_strActivateWav == longest && s.m_strDeactivateWav == longest);
    // The taken key is stored all the same, its registration refused.
    EXPECT_TRUE(s.m_wHotKeyVK == VK_F1 + 2 && !Doc()->m_bHotKeyRegistered);
    EXPECT_TRUE(Free(XK_k, ControlMask | Mod1Mask));
    EXPECT_EQ(Messages(), Strings{"Failed to set hot key"});
}

TEST_F(OptionsDialog, TheHotKeyFieldTakesCombinationsAndLeavesTheDialogItsKeys) {
    Options([&](CDlgOptions& d) {
        CHotKeyCtrl* field = d.m_pHotKey;
        ASSERT_TRUE(FocusOn(field));
        const auto shows = [&](const char* text) {
            return WaitFor(text, [&] { return field->GetText() == text; });
        };
        // Keys with modifiers; Delete, an extended key, with a modifier.
        Press('7', wxMOD_SHIFT | wxMOD_CONTROL);
        EXPECT_TRUE(shows("Ctrl + Shift + 7") && field->GetVirtualKey() == '7' &&
                    field->GetModifiers() == (HOTKEYF_SHIFT | HOTKEYF_CONTROL));
        Press(WXK_DELETE, wxMOD_CONTROL | wxMOD_ALT);
        EXPECT_TRUE(shows("Ctrl + Alt + Delete") && field->GetVirtualKey() == VK_DELETE &&
                    field->GetModifiers() == (HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT));
        // A typing key without Ctrl or Alt is refused with a message: a stray
        // Space once took the space bar from every program.
        const std::pair<int, int> typing[] = {{WXK_SPACE, wxMOD_NONE}, {'A', wxMOD_SHIFT}};
        for (const auto& [key, modifiers] : typing)
            Press(key, modifiers);
        const Strings shown = Messages();
        EXPECT_TRUE(shown.size() == 2 && shown[1].find("cannot be the hot key") != shown[1].npos);
        // A modifier held alone shows, and let go the stored key shows again;
        // lock keys are no hot keys either.
        m_sim.KeyDown(WXK_CONTROL);
        EXPECT_TRUE(shows("Ctrl + "));
        m_sim.KeyUp(WXK_CONTROL);
        Press(WXK_CAPITAL);
        Press(WXK_CAPITAL);
        EXPECT_TRUE(shows("Ctrl + Alt + Delete"));
        // Delete and Backspace clear; Tab and Shift+Tab move on; Enter presses OK.
        Press(WXK_DELETE);
        EXPECT_TRUE(shows("None"));
        Press(WXK_F5);
        Press(WXK_BACK);
        EXPECT_TRUE(shows("None"));
        Press(WXK_TAB);
        EXPECT_TRUE(WaitFor("the next control", [&] {
            return wxWindow::FindFocus() == d.FindWindow(options_ids::IDC_RESTORE_CLIPBOARD);
        }));
        ASSERT_TRUE(FocusOn(field));
        Press(WXK_TAB, wxMOD_SHIFT);
        EXPECT_TRUE(WaitFor("the field before", [&] { return wxWindow::FindFocus() != field; }));
        ASSERT_TRUE(FocusOn(field));
        Press(WXK_RETURN);
        EXPECT_TRUE(Closed(d));
    });
    // Cleared: no key is registered afterwards, and nothing is said.
    EXPECT_TRUE(Doc()->Settings().m_wHotKeyVK == 0 && !Doc()->m_bHotKeyRegistered);
    EXPECT_TRUE(Free(XK_k, ControlMask | Mod1Mask));
    EXPECT_TRUE(Messages().empty());
    // Only the low byte of each half is the key's, as in the stored encoding.
    CDlgOptions dlg(nullptr);
    dlg.m_pHotKey->SetHotKey(0x141, 0x102);
    EXPECT_EQ(dlg.m_pHotKey->GetText(), "Ctrl + A");
}

TEST_F(OptionsDialog, StartAtLoginFollowsTheAutostartEntryAndKeepInTrayIsStored) {
    // The desktop's autostart folder inside the test's own.
    const std::string config = m_dir.File("xdg");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string entry = config + "/autostart/tessary.desktop";
    const auto box = [](CDlgOptions& d, int id) {
        return dynamic_cast<wxCheckBox*>(d.FindWindow(id));
    };
    Options([&](CDlgOptions& d) {
        EXPECT_FALSE(box(d, options_ids::IDC_START_AT_LOGIN)->GetValue());
        EXPECT_FALSE(box(d, options_ids::IDC_KEEP_IN_TRAY)->GetValue()) << "off by default";
        Click(box(d, options_ids::IDC_START_AT_LOGIN));
        Click(box(d, options_ids::IDC_KEEP_IN_TRAY));
        Click(d.FindWindow(wxID_OK));
    });
    const std::string text = std::filesystem::exists(entry) ? Read(entry) : "";
    EXPECT_NE(text.find("\nExec="), text.npos) << text;
    EXPECT_NE(text.find(" --tray --activate\n"), text.npos) << text;
    EXPECT_TRUE(Doc()->Settings().m_bKeepInTray);
    Doc()->SaveSettings();
    EXPECT_TRUE(CSettingsStore::Load(*wxConfigBase::Get()).m_bKeepInTray);

    // The user removed the entry by hand: the box shows it off, and OK
    // leaves it so. Then ticked again while a file blocks the folder.
    std::filesystem::remove(entry);
    Options([&](CDlgOptions& d) {
        EXPECT_FALSE(box(d, options_ids::IDC_START_AT_LOGIN)->GetValue());
        EXPECT_TRUE(box(d, options_ids::IDC_KEEP_IN_TRAY)->GetValue());
        Click(d.FindWindow(wxID_OK));
    });
    EXPECT_FALSE(std::filesystem::exists(entry));
    std::filesystem::remove_all(config + "/autostart");
    CTempDir::Write(config + "/autostart", "not a folder");
    Options([&](CDlgOptions& d) {
        Click(box(d, options_ids::IDC_START_AT_LOGIN));
        Click(d.FindWindow(wxID_OK));
        const Strings shown = Messages();
        EXPECT_TRUE(shown.size() == 1 && shown[0].find("could not be written") != shown[0].npos)
            << testing::PrintToString(shown);
        EXPECT_TRUE(d.IsModal()) << "the dialog stays for the box to be cleared";
        Click(box(d, options_ids::IDC_START_AT_LOGIN));
        Click(d.FindWindow(wxID_OK));
        EXPECT_TRUE(Closed(d));
    });

    // Written, then cleared in the dialog: the entry goes.
    std::filesystem::remove(config + "/autostart");
    for (const bool on : {true, false})
        Options([&](CDlgOptions& d) {
            EXPECT_EQ(box(d, options_ids::IDC_START_AT_LOGIN)->GetValue(), !on);
            Click(box(d, options_ids::IDC_START_AT_LOGIN));
            Click(d.FindWindow(wxID_OK));
        });
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_TRUE(Messages().empty());
    unsetenv("XDG_CONFIG_HOME");
}
