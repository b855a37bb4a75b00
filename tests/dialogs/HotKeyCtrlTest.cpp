// The hot-key field under a real keyboard: keys typed into it come back as
// the stored pair, and a stored pair shows as the keys that make it.

#include "dialogs/HotKeyCtrl.h"
#include "app/MessageBox.h"
#include "platform/VirtualKeyCodes.h"
#include "support/GuiTest.h"

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

using namespace vk;

namespace {

// A modeless dialog with a text field, the hot-key field and a default
// button whose clicks are counted.
class HotKeyField : public ::testing::Test {
protected:
    void SetUp() override {
        CMessageBox::EnableTestMode();
        m_pDialog = new wxDialog(nullptr, wxID_ANY, "Hot key");
        m_pBefore = new wxTextCtrl(m_pDialog, wxID_ANY, "", wxPoint(10, 10), wxSize(200, -1));
        m_pField = new CHotKeyCtrl(m_pDialog, 1007, wxPoint(10, 60), wxSize(220, 30));
        m_pOk = new wxButton(m_pDialog, wxID_OK, "OK", wxPoint(10, 110));
        m_pOk->SetDefault();
        m_pDialog->Bind(
            wxEVT_BUTTON, [this](wxCommandEvent&) { ++m_nOkClicks; }, wxID_OK);
        m_pDialog->SetClientSize(300, 160);
        m_pDialog->Show();
        ASSERT_TRUE(WaitFor([this] { return m_pDialog->IsShownOnScreen(); }));
        Settle(400);
        ASSERT_TRUE(FocusField());
        // Without a window manager the keyboard follows the pointer: rest it
        // on the dialog. The first keys of a new simulator can go missing
        // while the server switches input devices; a lone Shift settles it.
        m_sim.MouseMove(m_pDialog->GetScreenRect().GetPosition() + wxPoint(5, 5));
        m_sim.KeyDown(WXK_SHIFT);
        m_sim.KeyUp(WXK_SHIFT);
        Settle(100);
    }
    void TearDown() override {
        CMessageBox::DisableTestMode();
        m_pDialog->Destroy();
        Settle(20);
    }

    bool FocusField() {
        m_pField->SetFocus();
        return WaitFor([this] { return wxWindow::FindFocus() == m_pField; });
    }
    void Press(int key, int modifiers = wxMOD_NONE) {
        m_sim.Char(key, modifiers);
        Settle(60);
    }
    std::pair<int, int> Pair() const {
        return {m_pField->GetVirtualKey(), m_pField->GetModifiers()};
    }
    std::string Text() const { return m_pField->GetText().utf8_string(); }

    wxDialog* m_pDialog = nullptr;
    wxTextCtrl* m_pBefore = nullptr;
    CHotKeyCtrl* m_pField = nullptr;
    wxButton* m_pOk = nullptr;
    int m_nOkClicks = 0;
    wxUIActionSimulator m_sim;
};

} // namespace

TEST_F(HotKeyField, TypedCombinationsComeBackAsThePairAndThePairAsTheText) {
    EXPECT_EQ(Text(), "None");
    const struct {
        int key;
        int modifiers;
        int vk;
        int flags;
        const char* text;
    } cases[] = {
        {'K', wxMOD_CONTROL | wxMOD_ALT, 0x4B, HOTKEYF_CONTROL | HOTKEYF_ALT, "Ctrl + Alt + K"},
        {'7', wxMOD_SHIFT | wxMOD_CONTROL, 0x37, HOTKEYF_SHIFT | HOTKEYF_CONTROL,
         "Ctrl + Shift + 7"},
        {'Q', wxMOD_ALT, 0x51, HOTKEYF_ALT, "Alt + Q"},
        {'Z', wxMOD_CONTROL | wxMOD_SHIFT | wxMOD_ALT, 0x5A,
         HOTKEYF_CONTROL | HOTKEYF_SHIFT | HOTKEYF_ALT, "Ctrl + Shift + Alt + Z"},
        {WXK_F5, wxMOD_NONE, VK_F1 + 4, 0, "F5"},
        {WXK_F12, wxMOD_CONTROL | wxMOD_SHIFT, VK_F1 + 11, HOTKEYF_CONTROL | HOTKEYF_SHIFT,
         "Ctrl + Shift + F12"},
        {WXK_F1, wxMOD_ALT, VK_F1, HOTKEYF_ALT, "Alt + F1"},
        {WXK_PAGEUP, wxMOD_CONTROL, VK_PRIOR, HOTKEYF_CONTROL | HOTKEYF_EXT, "Ctrl + Page Up"},
        {';', wxMOD_CONTROL, VK_OEM_1, HOTKEYF_CONTROL, "Ctrl + ;"},
    };
    CHotKeyCtrl other(m_pDialog, wxID_ANY);
    for (const auto& c : cases) {
        Press(c.key, c.modifiers);
        EXPECT_EQ(Pair(), std::make_pair(c.vk, c.flags)) << c.text;
        EXPECT_EQ(Text(), c.text);
        other.SetHotKey(static_cast<std::uint16_t>(c.vk), static_cast<std::uint16_t>(c.flags));
        EXPECT_EQ(other.GetText().utf8_string(), c.text);
    }
    EXPECT_EQ(m_nOkClicks, 0);

    // Only the low byte of each half is the key's, as in the stored encoding.
    other.SetHotKey(0x141, 0x102);
    EXPECT_EQ(other.GetVirtualKey(), 0x41);
    EXPECT_EQ(other.GetModifiers(), HOTKEYF_CONTROL);
}

TEST_F(HotKeyField, ModifiersAloneMakeNoKey) {
    Press('K', wxMOD_CONTROL | wxMOD_ALT);
    m_sim.KeyDown(WXK_CONTROL);
    Settle(60);
    EXPECT_EQ(Text(), "Ctrl + ");
    m_sim.KeyDown(WXK_SHIFT);
    Settle(60);
    EXPECT_EQ(Text(), "Ctrl + Shift + ");
    m_sim.KeyUp(WXK_SHIFT);
    Settle(60);
    EXPECT_EQ(Text(), "Ctrl + ");
    m_sim.KeyUp(WXK_CONTROL);
    Settle(60);
    // Let go without a key: the stored key stands and shows again.
    EXPECT_EQ(Text(), "Ctrl + Alt + K");
    EXPECT_EQ(Pair(), std::make_pair(0x4B, HOTKEYF_CONTROL | HOTKEYF_ALT));
    // Lock keys are no hot keys either.
    Press(WXK_CAPITAL);
    Press(WXK_CAPITAL);
    EXPECT_EQ(Pair(), std::make_pair(0x4B, HOTKEYF_CONTROL | HOTKEYF_ALT));
}

TEST_F(HotKeyField, BackspaceAndDeleteClearTabAndEnterBelongToTheDialog) {
    Press('K', wxMOD_CONTROL);
    Press(WXK_BACK);
    EXPECT_EQ(Pair(), std::make_pair(0, 0));
    EXPECT_EQ(Text(), "None");
    Press('K', wxMOD_CONTROL);
    Press(WXK_DELETE);
    EXPECT_EQ(Pair(), std::make_pair(0, 0));
    // With a modifier, Delete is a key like any other.
    Press(WXK_DELETE, wxMOD_CONTROL | wxMOD_ALT);
    EXPECT_EQ(Text(), "Ctrl + Alt + Delete");

    // Tab and Shift+Tab move on and leave the key as it was.
    Press(WXK_TAB);
    EXPECT_TRUE(WaitFor([this] { return wxWindow::FindFocus() == m_pOk; }));
    ASSERT_TRUE(FocusField());
    Press(WXK_TAB, wxMOD_SHIFT);
    EXPECT_TRUE(WaitFor([this] { return wxWindow::FindFocus() == m_pBefore; }));
    // Enter presses the default button, once.
    ASSERT_TRUE(FocusField());
    Press(WXK_RETURN);
    EXPECT_EQ(m_nOkClicks, 1);
    EXPECT_EQ(Text(), "Ctrl + Alt + Delete");
}

TEST_F(HotKeyField, TypingKeysWithoutCtrlOrAltAreRefusedWithAMessage) {
    Press('K', wxMOD_CONTROL);
    // A stray Space once took the space bar from every program.
    const std::pair<int, int> typing[] = {
        {WXK_SPACE, wxMOD_NONE}, {'A', wxMOD_NONE}, {'A', wxMOD_SHIFT},
        {'7', wxMOD_NONE},       {';', wxMOD_NONE}, {WXK_NUMPAD_MULTIPLY, wxMOD_NONE}};
    for (const auto& [key, modifiers] : typing) {
        Press(key, modifiers);
        EXPECT_EQ(Pair(), std::make_pair(0x4B, int(HOTKEYF_CONTROL))) << key;
        const auto shown = CMessageBox::TakeShown();
        ASSERT_EQ(shown.size(), 1u) << key;
        EXPECT_NE(shown[0].find("cannot be the hot key"), std::string::npos);
    }
    EXPECT_EQ(Text(), "Ctrl + K");
    // Function keys alone, and typing keys with Alt, are still taken.
    Press(WXK_F9);
    EXPECT_EQ(Text(), "F9");
    Press('A', wxMOD_ALT);
    EXPECT_EQ(Text(), "Alt + A");
    EXPECT_TRUE(CMessageBox::TakeShown().empty());
}
