// The clipboard as other programs read it (xclip), and Ctrl+V reaching a
// focused text control through the real clipboard, in several keyboard
// layouts.

#include "platform/DesktopWindows.h"
#include "tests/platform/XPeer.h"

#include <wx/frame.h>
#include <wx/textctrl.h>

#include <X11/XKBlib.h>

#include <algorithm>

namespace {

std::string ReadClipboard(const std::string& target = "UTF8_STRING") {
    const SRunResult result = RunPumping("xclip -o -selection clipboard -t " + target);
    EXPECT_EQ(result.m_nStatus, 0) << target;
    return result.m_strOut;
}

TEST(ClipboardTest, OtherProgramsReadTheExactText) {
    for (const std::string text :
         {"plain ascii", "Gr\u00fc\u00dfe, caf\u00e9 \u2014 na\u00efve",
          "\u6f22\u5b57\u304b\u306a\u4ea4\u3058\u308a\u6587", "emoji \U0001F600\U0001F389",
          "line one\nline two\r\n\ttabbed\n"}) {
        ASSERT_TRUE(desktop::SetClipboardText(text));
        EXPECT_EQ(ReadClipboard(), text);
    }

    // Older programs ask for STRING (Latin-1) or TEXT.
    ASSERT_TRUE(desktop::SetClipboardText("caf\u00e9 na\u00efve"));
    EXPECT_EQ(ReadClipboard("STRING"), "caf\xe9 na\xefve");
    EXPECT_FALSE(ReadClipboard("TEXT").empty());
    const std::string targets = ReadClipboard("TARGETS");
    for (const char* target :
         {"UTF8_STRING", "STRING", "TEXT", "COMPOUND_TEXT", "text/plain;charset=utf-8"})
        EXPECT_NE(targets.find(target), std::string::npos) << target << " in\n" << targets;

    // Empty text is still text: what was there before is gone.
    ASSERT_TRUE(desktop::SetClipboardText(""));
    EXPECT_EQ(ReadClipboard(), "");

    // Taken by another program, then back.
    ASSERT_EQ(
        RunPumping("sh -c 'printf other | xclip -selection clipboard >/dev/null 2>&1'").m_nStatus,
        0);
    EXPECT_EQ(ReadClipboard(), "other");
    ASSERT_TRUE(desktop::SetClipboardText("ours again"));
    EXPECT_EQ(ReadClipboard(), "ours again");
}

class PasteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(m_peer.Get(), nullptr);
        m_pFrame = new wxFrame(nullptr, wxID_ANY, "target", wxPoint(100, 100), wxSize(400, 300));
        m_pText = new wxTextCtrl(m_pFrame, wxID_ANY, "", wxDefaultPosition, wxDefaultSize,
                                 wxTE_MULTILINE);
        m_pFrame->Show();
        const unsigned long frame = XidOf(m_pFrame);
        ASSERT_TRUE(WaitFor([&] { return m_peer.Viewable(frame); }));
        desktop::ActivateWindow(frame, 0);
        ASSERT_TRUE(WaitFor([&] { return desktop::HasFocus(frame); }));
        m_pText->SetFocus();
        ASSERT_TRUE(WaitFor([&] { return m_pText->HasFocus(); }));
    }
    void TearDown() override {
        RunPumping("setxkbmap -layout us");
        m_pFrame->Destroy();
        Settle(50);
    }

    bool Pastes(const std::string& text) {
        m_pText->Clear();
        if (!desktop::SetClipboardText(text) || !desktop::SendCtrlV())
            return false;
        return WaitFor([&] { return m_pText->GetValue() == wxString::FromUTF8(text); }, 3000);
    }

    int KeysMakingV() {
        int minKey = 0, maxKey = 0, width = 0;
        XDisplayKeycodes(m_peer.Get(), &minKey, &maxKey);
        KeySym* syms = XGetKeyboardMapping(m_peer.Get(), minKey, maxKey - minKey + 1, &width);
        int count = 0;
        for (int key = 0; key <= maxKey - minKey; ++key)
            count += std::count(syms + key * width, syms + (key + 1) * width, XK_v) > 0;
        XFree(syms);
        return count;
    }

    CXPeer m_peer;
    wxFrame* m_pFrame = nullptr;
    wxTextCtrl* m_pText = nullptr;
};

TEST_F(PasteTest, CtrlVPastesInEveryLayout) {
    EXPECT_TRUE(Pastes("pasted \u2713 \u6f22\u5b57 \U0001F600\nsecond line"));

    // A second group without V, and that group active.
    Display* x = m_peer.Get();
    ASSERT_EQ(RunPumping("setxkbmap -layout us,ru").m_nStatus, 0);
    XkbLockGroup(x, XkbUseCoreKbd, 1);
    XSync(x, False);
    XkbStateRec state{};
    ASSERT_TRUE(XkbGetState(x, XkbUseCoreKbd, &state) == Success && state.group == 1);
    EXPECT_TRUE(Pastes("from the Cyrillic group"));

    // No V anywhere: a spare key stands in for a while, then is blank again.
    ASSERT_EQ(RunPumping("setxkbmap -layout us").m_nStatus, 0);
    const KeyCode v = XKeysymToKeycode(x, XK_v);
    ASSERT_NE(v, 0);
    int width = 0;
    KeySym* saved = XGetKeyboardMapping(x, v, 1, &width);
    std::vector<KeySym> blank(width, NoSymbol);
    XChangeKeyboardMapping(x, v, width, blank.data(), 1);
    XSync(x, False);
    ASSERT_EQ(KeysMakingV(), 0);
    EXPECT_TRUE(Pastes("without a V key"));
    XChangeKeyboardMapping(x, v, width, saved, 1);
    XFree(saved);
    XSync(x, False);
    EXPECT_TRUE(WaitFor([&] { return KeysMakingV() == 1; })) << "spare key left mapped";
    EXPECT_TRUE(Pastes("V key back"));
}

} // namespace
