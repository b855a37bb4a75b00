// The X11 desktop of the paste against the real server, with the test run's
// window manager: windows brought forward and focused, gone and hidden ones
// harmless (their errors trapped, and traced), our own pop-ups told apart, a
// manager that died, the clipboard held for other programs, and Ctrl+V in
// every keyboard layout.

#include "platform/DesktopWindows.h"
#include "platform/Trace.h"
#include "platform/X11Desktop.h"
#include "support/GuiTest.h"

#include <wx/frame.h>
#include <wx/popupwin.h>
#include <wx/textctrl.h>

#include "platform/X11Property.h"
#include "support/XClient.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <gdk/gdkx.h>

#include <cstdlib>

namespace {

class DesktopTest : public ::testing::Test {
protected:
    void TearDown() override {
        trace::SetSink(nullptr);
        EXPECT_EQ(std::system("setxkbmap -layout us"), 0);
        for (wxFrame* frame : m_frames)
            frame->Destroy();
        wxYield(); // deletes them
    }
    // A frame with a text box, shown: its X window.
    unsigned long Show(const char* title, int x) {
        m_frames.push_back(new wxFrame(nullptr, wxID_ANY, title, wxPoint(x, 60), wxSize(300, 200)));
        m_pText = new wxTextCtrl(m_frames.back(), wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                 wxTE_MULTILINE);
        m_frames.back()->Show();
        const unsigned long xid = XidOf(m_frames.back());
        EXPECT_TRUE(WaitFor(title, [&] { return m_x.Viewable(xid); }));
        return xid;
    }
    bool Focuses(unsigned long xid) {
        m_desktop.Activate(xid, 0);
        return WaitFor("the focus", [&] { return m_desktop.HasFocus(xid); });
    }

    CXClient m_x;
    CX11Desktop m_desktop;
    std::vector<wxFrame*> m_frames;
    wxTextCtrl* m_pText = nullptr;
};

} // namespace

// A manager that died leaves _NET_SUPPORTING_WM_CHECK on the root naming a
// window that is gone: then there is none, and activation focuses directly.
TEST_F(DesktopTest, WindowsComeForwardTheClipboardHoldsTheTextAndCtrlVPastesInEveryLayout) {
    const unsigned long first = Show("first", 60);
    const unsigned long second = Show("second", 400);
    Display* x = m_x.Get();
    const Atom check = XInternAtom(x, "_NET_SUPPORTING_WM_CHECK", False);
    const auto running = CXProperty(x, m_x.Root(), check, XA_WINDOW).Items();
    std::string managers; // seen after each change
    const auto point = [&](Window on, Window to) {
        XChangeProperty(x, on, check, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&to), 1);
        XSync(x, False);
        managers += desktop::HasWindowManager() ? "y" : "n";
    };
    // A check window without its own pointer, pointing elsewhere, right, and gone.
    const Window fake = m_x.CreateWindow();
    point(m_x.Root(), fake);
    point(fake, m_x.Root());
    point(fake, fake);
    XDestroyWindow(x, fake);
    point(m_x.Root(), fake);
    EXPECT_EQ(managers, "nnyn");
    // Focused directly while the stale pointer stays, then through the running
    // manager, put back: the focus lands on GDK's focus window inside the
    // frame (its answer to WM_TAKE_FOCUS), which counts as the frame's.
    for (int round = 0; round < 4; ++round) {
        if (round == 2)
            running.empty() ? (void)XDeleteProperty(x, m_x.Root(), check)
                            : point(m_x.Root(), running[0]);
        ASSERT_TRUE(Focuses(round % 2 ? first : second)) << round;
        EXPECT_FALSE(m_desktop.HasFocus(round % 2 ? second : first));
    }
    std::string trace;
    trace::SetSink([&](const std::string& line) { trace += line + "\n"; });
    for (unsigned long window : {fake, 0x3ffffff0ul, 0ul}) { // gone, never given out, none
        m_desktop.Activate(window, 0);
        EXPECT_FALSE(m_desktop.HasFocus(window) || m_desktop.WindowExists(window) ||
                     m_desktop.IsOwnPopup(window));
    }
    EXPECT_NE(trace.find("X error 3 (BadWindow"), std::string::npos) << trace;
    // Unmapped: without a manager XSetInputFocus answers BadMatch.
    m_frames[1]->Hide();
    ASSERT_TRUE(WaitFor("the frame hidden", [&] { return !m_x.Viewable(second); }));
    m_desktop.Activate(second, 0);
    EXPECT_TRUE(!m_desktop.HasFocus(second) && m_desktop.HasFocus(first))
        << "the connection survived, and the focus stayed";
    // A click can land on the one-pixel window a menu opened on, never on a
    // frame taken for one.
    auto* popup = new wxPopupWindow(m_frames[0]);
    popup->SetSize(10, 10, 1, 1);
    popup->Show();
    EXPECT_TRUE(m_desktop.IsOwnPopup(XidOf(popup)) && !m_desktop.IsOwnPopup(first) &&
                !m_desktop.IsOwnPopup(m_x.CreateWindow()));
    popup->Destroy();

    // Other programs read the clipboard's exact text; Ctrl+V pastes in every
    // layout.
    const auto clipboard = [&] { return m_x.ReadSelection("CLIPBOARD", "UTF8_STRING"); };
    for (const std::string text : {"plain ascii", "Gr\u00fc\u00dfe \u2014 \u6f22\u5b57 \U0001F600",
                                   "line one\r\n\ttwo\n", ""}) {
        ASSERT_TRUE(m_desktop.SetClipboardText(text, {}));
        EXPECT_EQ(clipboard(), text);
    }
    // Taken by another program, then back.
    XSetSelectionOwner(m_x.Get(), XInternAtom(m_x.Get(), "CLIPBOARD", False), m_x.CreateWindow(),
                       CurrentTime);
    XSync(m_x.Get(), False);
    XSync(GDK_DISPLAY_XDISPLAY(gdk_display_get_default()), False);
    wxYield();
    ASSERT_TRUE(m_desktop.SetClipboardText("ours again", {}));
    EXPECT_EQ(clipboard(), "ours again");

    ASSERT_TRUE(Focuses(Show("target", 100)));
    m_pText->SetFocus();
    const auto pastes = [&](const std::string& text) {
        m_pText->Clear();
        return m_desktop.SetClipboardText(text, {}) &&
               m_desktop.SendPasteKeys(*SKeyChord::Parse("Ctrl+V")) &&
               WaitFor(text.c_str(), [&] { return m_pText->GetValue().utf8_string() == text; });
    };
    const KeyCode v = XKeysymToKeycode(x, XK_v);
    const auto keysMakingV = [&] { // counted in every column of the core map
        int width = 0;
        KeySym* syms = XGetKeyboardMapping(x, 8, 248, &width);
        const auto count = std::count(syms, syms + 248 * width, XK_v);
        XFree(syms);
        return count;
    };
    const auto usual = keysMakingV();
    EXPECT_TRUE(pastes("pasted \u2713 \U0001F600\nsecond line"));
    // A second group without V, and that group active.
    ASSERT_EQ(std::system("setxkbmap -layout us,ru"), 0);
    XkbLockGroup(x, XkbUseCoreKbd, 1);
    XkbStateRec state{};
    ASSERT_TRUE(XkbGetState(x, XkbUseCoreKbd, &state) == Success && state.group == 1);
    EXPECT_TRUE(pastes("from the Cyrillic group"));
    // No V anywhere: a spare key stands in for a while, then is blank again.
    ASSERT_EQ(std::system("setxkbmap -layout us"), 0);
    int width = 0;
    KeySym* saved = XGetKeyboardMapping(x, v, 1, &width);
    const std::vector<KeySym> blank(width, NoSymbol);
    XChangeKeyboardMapping(x, v, width, const_cast<KeySym*>(blank.data()), 1);
    ASSERT_EQ(keysMakingV(), 0);
    EXPECT_TRUE(pastes("without a V key"));
    XChangeKeyboardMapping(x, v, width, saved, 1);
    XFree(saved);
    EXPECT_TRUE(WaitFor("the spare key blank again", [&] { return keysMakingV() == usual; }));
    EXPECT_TRUE(pastes("V key back"));

    // Another program's paste key (GTK fields paste with Shift+Insert too); a
    // key name the keyboard does not know types nothing.
    m_pText->Clear();
    ASSERT_TRUE(m_desktop.SetClipboardText("by Shift+Insert", {true, false}));
    EXPECT_EQ(m_x.ReadSelection("PRIMARY", "UTF8_STRING"), "by Shift+Insert");
    ASSERT_TRUE(m_desktop.SendPasteKeys(*SKeyChord::Parse("Shift+Insert")));
    EXPECT_TRUE(
        WaitFor("Shift+Insert's paste", [&] { return m_pText->GetValue() == "by Shift+Insert"; }));
    EXPECT_FALSE(m_desktop.SendPasteKeys(*SKeyChord::Parse("Ctrl+NoSuchKey")));
    // A modifier the user still holds is seen, and let go of on request, so
    // that Ctrl+V is not typed as Ctrl+Shift+V.
    const KeyCode shift = XKeysymToKeycode(x, XK_Shift_R);
    XTestFakeKeyEvent(x, shift, True, CurrentTime);
    XSync(x, False);
    EXPECT_TRUE(m_desktop.ModifiersHeld());
    m_desktop.ReleaseModifiers();
    EXPECT_FALSE(m_desktop.ModifiersHeld());
    EXPECT_TRUE(pastes("no Shift stuck"));
}
