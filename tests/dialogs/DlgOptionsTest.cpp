// Tools > Options as a person uses it: typed into, ticked, browsed, closed
// with OK, Cancel or Escape, and what the command then does with the values.

#include "dialogs/DlgOptions.h"
#include "dialogs/HotKeyCtrl.h"
#include "platform/VirtualKeyCodes.h"
#include "res/CommandIds.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

// After wx: X11's macros (None, Bool) clash with names in its headers.
#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <functional>
#include <tuple>

using namespace options_ids;
using namespace vk;

namespace {

auto Fields(const CSettings& s) {
    return std::tie(s.m_wHotKeyModifiers, s.m_wHotKeyVK, s.m_bSoundHook, s.m_strStartFolder,
                    s.m_strStartFile, s.m_strActivateWav, s.m_strDeactivateWav);
}

CSettings Sample() {
    CSettings s;
    s.m_wHotKeyModifiers = HOTKEYF_CONTROL | HOTKEYF_ALT;
    s.m_wHotKeyVK = 'K';
    s.m_bSoundHook = 0;
    s.m_strStartFolder = "/home/ann/snippets";
    s.m_strStartFile = "/home/ann/snippets/start.xml";
    s.m_strActivateWav = "/usr/share/sounds/on.wav";
    s.m_strDeactivateWav = "/usr/share/sounds/off.wav";
    return s;
}

// Another client of the X server: its grab of a key fails with BadAccess
// while this program holds the same key.
class CGrabProbe {
public:
    CGrabProbe() : m_pDisplay(XOpenDisplay(nullptr)) {}
    ~CGrabProbe() {
        if (m_pDisplay)
            XCloseDisplay(m_pDisplay);
    }
    bool Ok() const { return m_pDisplay != nullptr; }
    // True when the key is taken by someone else.
    bool Held(KeySym sym, unsigned mods) { return Grab(sym, mods, false) == BadAccess; }
    // Takes the key for this client, as another program would; true if it could.
    bool Hold(KeySym sym, unsigned mods) { return Grab(sym, mods, true) == 0; }

private:
    int Grab(KeySym sym, unsigned mods, bool keep) {
        const Window root = DefaultRootWindow(m_pDisplay);
        const KeyCode code = XKeysymToKeycode(m_pDisplay, sym);
        XSync(m_pDisplay, False);
        s_nError = 0;
        const auto previous = XSetErrorHandler(&CGrabProbe::OnError);
        XGrabKey(m_pDisplay, code, mods, root, False, GrabModeAsync, GrabModeAsync);
        XSync(m_pDisplay, False);
        XSetErrorHandler(previous);
        if (s_nError == 0 && !keep) {
            XUngrabKey(m_pDisplay, code, mods, root);
            XSync(m_pDisplay, False);
        }
        return s_nError;
    }
    static int OnError(Display*, XErrorEvent* e) {
        s_nError = e->error_code;
        return 0;
    }
    static inline int s_nError = 0;
    Display* m_pDisplay;
};

struct HotKeyCall {
    std::string what; // "unset" or "set"
    CSettings seen;   // the settings at the time of the call
};

class OptionsDialog : public CAppFixture {
protected:
    // The Options command on m_settings; `drive` works the dialog from
    // inside its modal loop once it is on screen.
    bool Run(const std::function<void(CDlgOptions&)>& drive) {
        m_calls.clear();
        wxTheApp->CallAfter([this, drive] { DriveWhenShown(drive); });
        const auto record = [this](const char* what) {
            return [this, what] { m_calls.push_back({what, m_settings}); };
        };
        return RunOptionsDialog(nullptr, m_settings, record("unset"), record("set"));
    }

    void DriveWhenShown(const std::function<void(CDlgOptions&)>& drive) {
        CDlgOptions* dlg = nullptr;
        const bool shown = WaitFor([&] {
            for (wxWindow* w : wxTopLevelWindows)
                if (auto* d = dynamic_cast<CDlgOptions*>(w))
                    dlg = d;
            return dlg && dlg->IsShownOnScreen();
        });
        if (!shown) {
            ADD_FAILURE() << "the Options dialog did not appear";
            if (dlg)
                dlg->EndModal(wxID_CANCEL);
            return;
        }
        Settle(150);
        // Without a window manager the keyboard follows the pointer: rest it
        // on the dialog. The first keys of a new simulator can go missing
        // while the server switches input devices; a lone Shift settles it.
        m_sim.MouseMove(dlg->GetScreenRect().GetPosition() + wxPoint(5, 5));
        m_sim.KeyDown(WXK_SHIFT);
        m_sim.KeyUp(WXK_SHIFT);
        Settle(100);
        drive(*dlg);
        if (dlg->IsModal()) {
            ADD_FAILURE() << "the Options dialog was left open";
            dlg->EndModal(wxID_CANCEL);
        }
    }

    static bool FocusOn(wxWindow* w) {
        w->SetFocus();
        return WaitFor([w] { return wxWindow::FindFocus() == w; });
    }
    void Press(int key, int modifiers = wxMOD_NONE) {
        m_sim.Char(key, modifiers);
        Settle(40);
    }
    // Replaces a field's text by typing, as a person does.
    void TypeInto(wxTextCtrl* edit, const std::string& text) {
        ASSERT_TRUE(FocusOn(edit));
        Press('a', wxMOD_CONTROL);
        Press(WXK_DELETE);
        m_sim.Text(text.c_str());
        Settle(60);
        EXPECT_EQ(edit->GetValue().utf8_string(), text);
    }
    // Replaces a field's text with one pasted from the clipboard.
    void PasteInto(wxTextCtrl* edit, const std::string& text) {
        ASSERT_TRUE(wxTheClipboard->Open());
        wxTheClipboard->SetData(new wxTextDataObject(wxString::FromUTF8(text)));
        wxTheClipboard->Close();
        ASSERT_TRUE(FocusOn(edit));
        Press('a', wxMOD_CONTROL);
        Press('v', wxMOD_CONTROL);
        EXPECT_TRUE(WaitFor([&] { return edit->GetValue().utf8_string() == text; }));
    }
    // Enter in a text field: GTK presses the default button a moment later.
    void PressEnterForOk(CDlgOptions& d) {
        Press(WXK_RETURN);
        EXPECT_TRUE(WaitFor([&] { return !d.IsModal(); }, 2000)) << "Enter did not press OK";
    }
    void Click(wxWindow* w) {
        m_sim.MouseMove(w->GetScreenRect().GetPosition() + w->GetSize() / 2);
        Settle(60);
        m_sim.MouseClick();
        Settle(120);
    }
    // How many of the two sound fields and their Browse buttons are enabled.
    static int SoundControlsEnabled(const CDlgOptions& d) {
        return d.m_pEditActivateWav->IsEnabled() + d.m_pEditDeactivateWav->IsEnabled() +
               d.m_pBrowseActivate->IsEnabled() + d.m_pBrowseDeactivate->IsEnabled();
    }

    CSettings m_settings = Sample();
    std::vector<HotKeyCall> m_calls;
    wxUIActionSimulator m_sim;
};

} // namespace

TEST_F(OptionsDialog, LooksAsDesigned) {
    CDlgOptions dlg(nullptr);
    EXPECT_EQ(dlg.GetTitle(), "Tessary Options");
    EXPECT_FALSE(dlg.HasFlag(wxCLOSE_BOX) || dlg.HasFlag(wxSYSTEM_MENU)) << "no close box";
    EXPECT_EQ(dlg.GetClientSize(), dlg.ConvertDialogToPixels(wxSize(212, 293)));
    EXPECT_EQ(dlg.GetDefaultItem(), dlg.FindWindow(wxID_OK));
    EXPECT_NE(dynamic_cast<CHotKeyCtrl*>(dlg.FindWindow(IDC_HOTKEY)), nullptr);

    // The texts in the order of the controls, which is also the tab order.
    std::vector<std::string> labels;
    for (wxWindow* child : dlg.GetChildren())
        labels.push_back(child->GetLabel().utf8_string());
    EXPECT_EQ(labels,
              (std::vector<std::string>{
                  "Startup", "You can change which file you start with", "", "Browse",
                  "You can change which folder you start opening files from", "",
                  "Right-click menu activation", "Play .wav file when activated/deactivated",
                  ".wav file played on menu activation", "", "Browse",
                  ".wav file played on menu deactivation", "", "Browse",
                  "Hot key to start/stop menu activation", "", "OK", "Cancel"}));

    // Where the controls stand, in dialog units.
    const int at[][3] = {{IDC_START_FILE, 20, 42},      {IDC_BROWSE_START_FILE, 154, 41},
                         {IDC_START_FOLDER, 20, 89},    {IDC_SOUND_HOOK, 20, 136},
                         {IDC_ACTIVATE_WAV, 37, 167},   {IDC_BROWSE_ACTIVATE, 157, 168},
                         {IDC_DEACTIVATE_WAV, 37, 199}, {IDC_BROWSE_DEACTIVATE, 157, 199},
                         {IDC_HOTKEY, 18, 244},         {wxID_OK, 99, 272},
                         {wxID_CANCEL, 155, 272}};
    for (const auto& [id, x, y] : at)
        EXPECT_EQ(dlg.FindWindow(id)->GetPosition(), dlg.ConvertDialogToPixels(wxPoint(x, y)))
            << id;
}

TEST_F(OptionsDialog, CheckBoxEnablesBothSoundFieldsAndTheirButtons) {
    m_settings.m_bSoundHook = 0;
    EXPECT_TRUE(Run([&](CDlgOptions& d) {
        EXPECT_EQ(wxWindow::FindFocus(), d.m_pEditStartFile) << "the first field has the focus";
        EXPECT_FALSE(d.m_pSound->GetValue());
        EXPECT_EQ(SoundControlsEnabled(d), 0) << "greyed at opening";
        ASSERT_TRUE(FocusOn(d.m_pSound));
        Press(WXK_SPACE);
        EXPECT_TRUE(d.m_pSound->GetValue());
        EXPECT_EQ(SoundControlsEnabled(d), 4) << "ticking enables all four at once";
        Click(d.m_pSound);
        EXPECT_FALSE(d.m_pSound->GetValue());
        EXPECT_EQ(SoundControlsEnabled(d), 0) << "clearing greys them again";
        EXPECT_EQ(d.m_pEditActivateWav->GetValue(), "/usr/share/sounds/on.wav");
        Click(d.FindWindow(wxID_OK));
    }));
    // The texts are stored whether the box is ticked or not.
    EXPECT_EQ(m_settings.m_bSoundHook, 0);
    EXPECT_EQ(m_settings.m_strActivateWav, "/usr/share/sounds/on.wav");
    EXPECT_EQ(m_settings.m_strDeactivateWav, "/usr/share/sounds/off.wav");

    m_settings.m_bSoundHook = 1;
    EXPECT_TRUE(Run([&](CDlgOptions& d) {
        EXPECT_TRUE(d.m_pSound->GetValue());
        EXPECT_EQ(SoundControlsEnabled(d), 4) << "enabled at opening when the sounds are on";
        Click(d.FindWindow(wxID_OK));
    }));
    EXPECT_EQ(m_settings.m_bSoundHook, 1);
}

TEST_F(OptionsDialog, SoundPathOverTheLimitIsRefusedAndKeepsTheFocus) {
    m_settings.m_bSoundHook = 1;
    const std::string longest = "/" + std::string(254, 'a');
    const std::string tooLong = longest + "b";
    ASSERT_EQ(tooLong.size(), 256u);
    EXPECT_TRUE(Run([&](CDlgOptions& d) {
        PasteInto(d.m_pEditActivateWav, tooLong);
        TypeInto(d.m_pEditStartFile, "/elsewhere/lib.xml");
        Click(d.FindWindow(wxID_OK));
        EXPECT_EQ(Messages(),
                  std::vector<std::string>{"Please enter no more than 255 characters."});
        EXPECT_TRUE(d.IsModal()) << "the dialog stays open";
        EXPECT_EQ(wxWindow::FindFocus(), d.m_pEditActivateWav);
        EXPECT_TRUE(m_calls.empty());

        // One character less passes; the other sound field is checked the same way.
        Press(WXK_END);
        Press(WXK_BACK);
        PasteInto(d.m_pEditDeactivateWav, tooLong);
        Click(d.FindWindow(wxID_OK));
        EXPECT_EQ(Messages(),
                  std::vector<std::string>{"Please enter no more than 255 characters."});
        EXPECT_TRUE(d.IsModal());
        EXPECT_EQ(wxWindow::FindFocus(), d.m_pEditDeactivateWav);

        // Enter in the field presses OK once the path fits.
        Press(WXK_END);
        Press(WXK_BACK);
        PressEnterForOk(d);
    }));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(m_settings.m_strActivateWav, longest);
    EXPECT_EQ(m_settings.m_strDeactivateWav, longest);
    EXPECT_EQ(m_settings.m_strStartFile, "/elsewhere/lib.xml");
}

TEST_F(OptionsDialog, CancelAndEscapeChangeNothing) {
    const CSettings before = m_settings;
    const auto changeEverything = [&](CDlgOptions& d) {
        TypeInto(d.m_pEditStartFile, "/tmp/other.xml");
        TypeInto(d.m_pEditStartFolder, "/tmp");
        ASSERT_TRUE(FocusOn(d.m_pSound));
        Press(WXK_SPACE);
        TypeInto(d.m_pEditActivateWav, "/tmp/a.wav");
        TypeInto(d.m_pEditDeactivateWav, "/tmp/b.wav");
        ASSERT_TRUE(FocusOn(d.m_pHotKey));
        Press(WXK_F9, wxMOD_SHIFT);
        EXPECT_EQ(d.m_pHotKey->GetText(), "Shift + F9");
    };
    EXPECT_FALSE(Run([&](CDlgOptions& d) {
        changeEverything(d);
        Click(d.FindWindow(wxID_CANCEL));
    }));
    EXPECT_EQ(Fields(m_settings), Fields(before));
    EXPECT_TRUE(m_calls.empty()) << "the hot key is neither released nor registered";

    EXPECT_FALSE(Run([&](CDlgOptions& d) {
        changeEverything(d);
        ASSERT_TRUE(FocusOn(d.m_pEditStartFolder));
        Press(WXK_ESCAPE);
    }));
    EXPECT_EQ(Fields(m_settings), Fields(before));
    EXPECT_TRUE(m_calls.empty());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(OptionsDialog, OkReleasesTheKeyStoresTheValuesThenRegistersAgain) {
    const CSettings before = m_settings;
    EXPECT_TRUE(Run([&](CDlgOptions& d) {
        // The stored key shows as it was set.
        EXPECT_EQ(d.m_pHotKey->GetText(), "Ctrl + Alt + K");
        EXPECT_EQ(d.m_pEditStartFile->GetValue(), "/home/ann/snippets/start.xml");
        EXPECT_EQ(d.m_pEditStartFolder->GetValue(), "/home/ann/snippets");
        TypeInto(d.m_pEditStartFile, "/data/lib.xml");
        TypeInto(d.m_pEditStartFolder, "/data");
        ASSERT_TRUE(FocusOn(d.m_pSound));
        Press(WXK_SPACE);
        TypeInto(d.m_pEditActivateWav, "/data/up.wav");
        TypeInto(d.m_pEditDeactivateWav, "/data/down.wav");
        ASSERT_TRUE(FocusOn(d.m_pHotKey));
        Press(WXK_F7, wxMOD_CONTROL | wxMOD_SHIFT);
        Click(d.FindWindow(wxID_OK));
    }));
    ASSERT_EQ(m_calls.size(), 2u);
    EXPECT_EQ(m_calls[0].what, "unset");
    EXPECT_EQ(Fields(m_calls[0].seen), Fields(before)) << "released under the old key";
    EXPECT_EQ(m_calls[1].what, "set");
    EXPECT_EQ(Fields(m_calls[1].seen), Fields(m_settings)) << "registered with the new values";
    EXPECT_EQ(m_settings.m_wHotKeyVK, VK_F1 + 6);
    EXPECT_EQ(m_settings.m_wHotKeyModifiers, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    EXPECT_EQ(m_settings.m_bSoundHook, 1);
    EXPECT_EQ(m_settings.m_strActivateWav, "/data/up.wav");
    EXPECT_EQ(m_settings.m_strDeactivateWav, "/data/down.wav");
    EXPECT_EQ(m_settings.m_strStartFile, "/data/lib.xml");
    EXPECT_EQ(m_settings.m_strStartFolder, "/data");

    // Opened again, the dialog shows the same combination.
    Run([&](CDlgOptions& d) {
        EXPECT_EQ(d.m_pHotKey->GetText(), "Ctrl + Shift + F7");
        Press(WXK_ESCAPE);
    });

    // Nothing reached the settings store.
    EXPECT_EQ(CSettingsStore::Load(*wxConfigBase::Get()).m_strStartFile, "");
}

TEST_F(OptionsDialog, BrowseButtonsFillTheirFields) {
    m_settings.m_bSoundHook = 1;
    EXPECT_TRUE(Run([&](CDlgOptions& d) {
        const struct {
            int button;
            wxTextCtrl* edit;
            const char* title;
            const char* wildcard;
            const char* path;
        } browse[] = {
            {IDC_BROWSE_START_FILE, d.m_pEditStartFile, "Startup File", "(*.xml)|*.xml;*.XML",
             "/picked/start.xml"},
            {IDC_BROWSE_ACTIVATE, d.m_pEditActivateWav, "Menu activated .wav file",
             "(*.wav)|*.wav;*.WAV", "/picked/on.wav"},
            {IDC_BROWSE_DEACTIVATE, d.m_pEditDeactivateWav, "Menu deactivated .wav file",
             "(*.wav)|*.wav;*.WAV", "/picked/off.wav"},
        };
        for (const auto& b : browse) {
            const wxString was = b.edit->GetValue();
            CFilePrompt::QueueAnswer(""); // cancelled
            Click(d.FindWindow(b.button));
            EXPECT_EQ(b.edit->GetValue(), was) << b.title;
            EXPECT_EQ(CFilePrompt::LastRequest().title, b.title);
            EXPECT_EQ(CFilePrompt::LastRequest().wildcard, b.wildcard);
            CFilePrompt::QueueAnswer(b.path);
            Click(d.FindWindow(b.button));
            EXPECT_EQ(b.edit->GetValue(), b.path);
        }
        Click(d.FindWindow(wxID_OK));
    }));
    EXPECT_EQ(m_settings.m_strStartFile, "/picked/start.xml");
    EXPECT_EQ(m_settings.m_strActivateWav, "/picked/on.wav");
    EXPECT_EQ(m_settings.m_strDeactivateWav, "/picked/off.wav");
    // The folder is typed: it has no Browse button.
    EXPECT_EQ(m_settings.m_strStartFolder, "/home/ann/snippets");
}

TEST_F(OptionsDialog, OkMovesTheRegisteredKeyOnTheXServerCancelLeavesIt) {
    CGrabProbe probe;
    ASSERT_TRUE(probe.Ok());
    ASSERT_TRUE(Start());
    CTessaryDoc& doc = *Doc();
    doc.UnsetHotKey();
    doc.Settings().m_wHotKeyVK = 'K';
    doc.Settings().m_wHotKeyModifiers = HOTKEYF_CONTROL | HOTKEYF_ALT;
    doc.SetHotKey();
    ASSERT_EQ(doc.m_bHotKeyRegistered, 1);
    const unsigned ctrlAlt = ControlMask | Mod1Mask;
    const unsigned ctrlShift = ControlMask | ShiftMask;
    ASSERT_TRUE(probe.Held(XK_k, ctrlAlt));

    // The Options command, typed into and confirmed.
    const auto typeKey = [&](int key, int modifiers, int button,
                             const std::function<void()>& beforeClosing = {}) {
        wxTheApp->CallAfter([=, this] {
            DriveWhenShown([&](CDlgOptions& d) {
                Click(d.m_pHotKey);
                ASSERT_EQ(wxWindow::FindFocus(), d.m_pHotKey);
                Press(key, modifiers);
                if (beforeClosing)
                    beforeClosing();
                Click(d.FindWindow(button));
            });
        });
        Command(ids::ID_OPTIONS);
    };
    typeKey(WXK_F7, wxMOD_CONTROL | wxMOD_SHIFT, wxID_OK);
    EXPECT_EQ(doc.Settings().m_wHotKeyVK, VK_F1 + 6);
    EXPECT_EQ(doc.Settings().m_wHotKeyModifiers, HOTKEYF_CONTROL | HOTKEYF_SHIFT);
    EXPECT_EQ(doc.m_bHotKeyRegistered, 1);
    EXPECT_FALSE(probe.Held(XK_k, ctrlAlt)) << "the old key is released";
    EXPECT_TRUE(probe.Held(XK_F7, ctrlShift)) << "the new key is held";

    // Cancel keeps the key registered as it was.
    typeKey(WXK_F3, wxMOD_ALT, wxID_CANCEL);
    EXPECT_EQ(doc.Settings().m_wHotKeyVK, VK_F1 + 6);
    EXPECT_TRUE(probe.Held(XK_F7, ctrlShift));
    EXPECT_FALSE(probe.Held(XK_F3, Mod1Mask));

    // Cleared: no key is registered afterwards, and nothing is said.
    typeKey(WXK_BACK, wxMOD_NONE, wxID_OK);
    EXPECT_EQ(doc.Settings().m_wHotKeyVK, 0);
    EXPECT_EQ(doc.m_bHotKeyRegistered, 0);
    EXPECT_FALSE(probe.Held(XK_F7, ctrlShift));
    EXPECT_TRUE(Messages().empty());

    // A key another program takes while the dialog is open: stored all the
    // same, registration refused with its message, and no key left registered.
    typeKey(WXK_F7, wxMOD_CONTROL | wxMOD_SHIFT, wxID_OK);
    ASSERT_EQ(doc.m_bHotKeyRegistered, 1);
    typeKey(WXK_F3, wxMOD_ALT, wxID_OK, [&] { ASSERT_TRUE(probe.Hold(XK_F3, Mod1Mask)); });
    EXPECT_EQ(doc.Settings().m_wHotKeyVK, VK_F1 + 2);
    EXPECT_EQ(doc.m_bHotKeyRegistered, 0);
    EXPECT_FALSE(probe.Held(XK_F7, ctrlShift));
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to set hot key"});
}
