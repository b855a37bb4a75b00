// Switching the snippet menu on and off: commands 159, 160 and 1000, the hot
// key, the sounds, and what the X server sees of the grabs.

#include "res/CommandIds.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"

#include "platform/Sound.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <functional>
#include <utility>

#include <wx/fileconf.h>
#include <wx/frame.h>
#include <wx/menu.h>

namespace {

// Another X client, to see which grabs the program holds.
class CProbe {
public:
    CProbe() : m_dpy(XOpenDisplay(nullptr)) {}
    ~CProbe() {
        if (m_dpy)
            XCloseDisplay(m_dpy);
    }
    // True when this client could take the grab, which it then gives back
    // unless told to hold it.
    bool GrabButton3(bool hold = false) {
        return Trap(
            [&] {
                XGrabButton(m_dpy, Button3, 0, Root(), False, ButtonPressMask | ButtonReleaseMask,
                            GrabModeAsync, GrabModeAsync, None, None);
            },
            hold ? std::function<void()>() : [&] { XUngrabButton(m_dpy, Button3, 0, Root()); });
    }
    bool GrabKey(KeySym sym, unsigned mods, bool hold = false) {
        const KeyCode code = XKeysymToKeycode(m_dpy, sym);
        return Trap(
            [&] { XGrabKey(m_dpy, code, mods, Root(), False, GrabModeAsync, GrabModeAsync); },
            hold ? std::function<void()>() : [&] { XUngrabKey(m_dpy, code, mods, Root()); });
    }
    void Release() {
        XUngrabButton(m_dpy, Button3, 0, Root());
        XUngrabKey(m_dpy, AnyKey, AnyModifier, Root());
        XSync(m_dpy, False);
    }
    void Chord(std::initializer_list<KeySym> keys) {
        for (KeySym k : keys)
            XTestFakeKeyEvent(m_dpy, XKeysymToKeycode(m_dpy, k), True, CurrentTime);
        for (auto it = std::rbegin(keys); it != std::rend(keys); ++it)
            XTestFakeKeyEvent(m_dpy, XKeysymToKeycode(m_dpy, *it), False, CurrentTime);
        XFlush(m_dpy);
    }

private:
    Window Root() const { return DefaultRootWindow(m_dpy); }
    static int OnError(Display*, XErrorEvent* e) {
        s_nError = e->error_code;
        return 0;
    }
    bool Trap(const std::function<void()>& grab, const std::function<void()>& undo) {
        XSync(m_dpy, False);
        s_nError = 0;
        auto* previous = XSetErrorHandler(&CProbe::OnError);
        grab();
        XSync(m_dpy, False);
        XSetErrorHandler(previous);
        const bool ok = s_nError == 0;
        if (ok && undo) {
            undo();
            XSync(m_dpy, False);
        }
        return ok;
    }
    static inline int s_nError = 0;
    Display* m_dpy;
};

class ActivationTest : public CAppFixture {
protected:
    void SetUp() override {
        CAppFixture::SetUp();
        sound::SetTestSink([this](const std::string& what) { m_sounds.push_back(what); });
    }
    void TearDown() override {
        sound::SetTestSink({});
        CAppFixture::TearDown();
    }
    void WriteSettings(const std::string& options) {
        CTempDir::Write(m_configPath, "[Options]\n" + options + "[Settings]\nTipoftheday=0\n");
        wxConfigBase::Get()->Flush();
        delete wxConfigBase::Set(new wxFileConfig("Tessary", "MorvekLtd",
                                                  wxString::FromUTF8(m_configPath), wxString(),
                                                  wxCONFIG_USE_LOCAL_FILE));
    }
    bool Enabled(int id) {
        Frame()->UpdateWindowUI();
        return Frame()->GetMenuBar()->IsEnabled(id);
    }
    std::vector<std::string> Sounds() { return std::exchange(m_sounds, {}); }

    CProbe m_probe;
    std::vector<std::string> m_sounds;
};

} // namespace

TEST_F(ActivationTest, CommandsSwitchTheGrabTheStateAndTheSounds) {
    WriteSettings("SoundHook=1\nActivateWavFile=/no/such/on.wav\nDeactivateWavFile=off.wav\n");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Enabled(ids::ID_ACTIVATE_MENU));
    EXPECT_FALSE(Enabled(ids::ID_DEACTIVATE_MENU));
    EXPECT_TRUE(m_probe.GrabButton3());

    Command(ids::ID_ACTIVATE_MENU);
    EXPECT_TRUE(View()->m_bMenuActive);
    EXPECT_FALSE(Enabled(ids::ID_ACTIVATE_MENU));
    EXPECT_TRUE(Enabled(ids::ID_DEACTIVATE_MENU));
    EXPECT_FALSE(m_probe.GrabButton3()) << "the right button is the program's now";
    EXPECT_EQ(Sounds(), std::vector<std::string>{"play:/no/such/on.wav"});

    Command(ids::ID_DEACTIVATE_MENU);
    EXPECT_FALSE(View()->m_bMenuActive);
    EXPECT_TRUE(m_probe.GrabButton3());
    EXPECT_EQ(Sounds(), std::vector<std::string>{"play:off.wav"});

    // Command 1000 follows the state, with tones instead of the files.
    Command(ids::ID_TOGGLE_MENU);
    EXPECT_TRUE(View()->m_bMenuActive);
    EXPECT_FALSE(m_probe.GrabButton3());
    Command(ids::ID_TOGGLE_MENU);
    EXPECT_FALSE(View()->m_bMenuActive);
    EXPECT_TRUE(m_probe.GrabButton3());
    EXPECT_EQ(Sounds(), (std::vector<std::string>{"beep:700:50", "beep:400:50"}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ActivationTest, SoundsOnlyWhenSoundHookIsExactlyOne) {
    WriteSettings("SoundHook=2\nActivateWavFile=on.wav\n");
    ASSERT_TRUE(Start());
    Command(ids::ID_ACTIVATE_MENU);
    Command(ids::ID_TOGGLE_MENU);
    EXPECT_TRUE(Sounds().empty());
}

TEST_F(ActivationTest, ARefusedGrabIsSaidAndTheMenuStaysOff) {
    WriteSettings("SoundHook=1\n");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_probe.GrabButton3(true));
    Command(ids::ID_ACTIVATE_MENU);
    EXPECT_FALSE(View()->m_bMenuActive);
    EXPECT_TRUE(Enabled(ids::ID_ACTIVATE_MENU));
    const auto shown = Messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("right mouse button"), std::string::npos) << shown[0];
    EXPECT_TRUE(Sounds().empty());
    m_probe.Release();
    Command(ids::ID_ACTIVATE_MENU);
    EXPECT_TRUE(View()->m_bMenuActive);
}

TEST_F(ActivationTest, TheHotKeyTogglesAndIsHeldOnlyWhileTheProgramRuns) {
    // Ctrl+Alt+K, as the Options dialog stores it.
    WriteSettings("VKCode=75\nModifiers=6\n");
    ASSERT_TRUE(Start());
    EXPECT_EQ(Doc()->m_bHotKeyRegistered, 1);
    EXPECT_FALSE(m_probe.GrabKey(XK_k, ControlMask | Mod1Mask));
    EXPECT_TRUE(m_probe.GrabKey(XK_k, ControlMask)) << "only the stored combination is taken";

    m_probe.Chord({XK_Control_L, XK_Alt_L, XK_k});
    EXPECT_TRUE(WaitFor([this] { return View()->m_bMenuActive; }));
    m_probe.Chord({XK_Control_L, XK_Alt_L, XK_k});
    EXPECT_TRUE(WaitFor([this] { return !View()->m_bMenuActive; }));

    // A new document keeps the key.
    Command(ids::ID_FILE_NEW);
    EXPECT_EQ(Doc()->m_bHotKeyRegistered, 1);

    CloseFrame();
    EXPECT_TRUE(m_probe.GrabKey(XK_k, ControlMask | Mod1Mask)) << "released at close";
    EXPECT_TRUE(Messages().empty());
}

// A new or opened library leaves a running menu on, and the window shows it
// on: right-clicks go on bringing up the menu, built from that library.
TEST_F(ActivationTest, ANewOrOpenedLibraryKeepsTheMenuOnAndShowsIt) {
    ASSERT_TRUE(Start());
    const std::string other = Write("other.xml", "<level0 header=\"Other\"/>");
    Command(ids::ID_ACTIVATE_MENU);
    for (int command : {ids::ID_FILE_NEW, ids::ID_FILE_OPEN}) {
        if (command == ids::ID_FILE_OPEN)
            CFilePrompt::QueueAnswer(other);
        Command(command);
        EXPECT_TRUE(View()->m_bMenuActive) << command;
        EXPECT_FALSE(Enabled(ids::ID_ACTIVATE_MENU)) << command;
        EXPECT_TRUE(Enabled(ids::ID_DEACTIVATE_MENU)) << command;
        EXPECT_FALSE(m_probe.GrabButton3()) << command;
    }
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"Other"});
    Command(ids::ID_DEACTIVATE_MENU);
    EXPECT_TRUE(m_probe.GrabButton3());
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ActivationTest, HotKeyHeldElsewhereOrAbsent) {
    ASSERT_TRUE(m_probe.GrabKey(XK_F9, ShiftMask, true));
    WriteSettings("VKCode=120\nModifiers=1\n"); // Shift+F9
    ASSERT_TRUE(Start());
    EXPECT_EQ(Messages(), std::vector<std::string>{"Failed to set hot key"});
    EXPECT_EQ(Doc()->m_bHotKeyRegistered, 0);
    m_probe.Release();
    Stop();

    WriteSettings("VKCode=0\nModifiers=6\n");
    ASSERT_TRUE(Start());
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Doc()->m_bHotKeyRegistered, 0);
}
