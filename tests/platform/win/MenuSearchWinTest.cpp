// Type to find in the snippet menu on Windows: which keys typed in the open
// menu start a search, and the grab that then hands every key to the search's
// field until the search ends or another window takes the foreground.

#include "platform/DesktopWindows.h"
#include "platform/MenuKeyPacer.h"
#include "platform/PopupGrab.h"
#include "platform/win/MenuKeys.h"
#include "support/GuiTest.h"

#include <wx/frame.h>
#include <wx/textctrl.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::intptr_t MenuChar(wchar_t key, WORD flags = MF_POPUP, std::intptr_t toolkit = 0) {
    std::intptr_t answer = toolkit;
    return CMenuKeyPacer::AnswerMenuChar(WM_MENUCHAR, MAKEWPARAM(key, flags), answer) ? answer : -1;
}

void Keys(std::vector<WORD> keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        for (DWORD flags : {DWORD{0}, DWORD{KEYEVENTF_KEYUP}}) {
            INPUT input{INPUT_KEYBOARD, {}};
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

HWND Hwnd(wxWindow* window) {
    return static_cast<HWND>(window->GetHWND());
}

} // namespace

TEST(MenuSearchWin, AKeyThatIsNoAccessKeyClosesTheMenuAndSearchesOnceItHasClosed) {
    std::vector<std::string> started;
    // Without a search to start every key is the menu's.
    EXPECT_EQ(MenuChar(L'g'), -1);
    CMenuKeyPacer::SetTypeToFind([&](const std::string& typed) { started.push_back(typed); });
    // The toolkit found an access key, or the key is a control key, half a
    // surrogate pair or meant for the window menu: the menu keeps it.
    EXPECT_EQ(MenuChar(L'g', MF_POPUP, MAKELRESULT(2, MNC_EXECUTE)), -1);
    for (wchar_t key : {L'\x1B', L'\b', L'\x7F', L'\xD83D'})
        EXPECT_EQ(MenuChar(key), -1) << int(key);
    EXPECT_EQ(MenuChar(L'g', MF_SYSMENU), -1);
    std::intptr_t answer = 0;
    EXPECT_FALSE(CMenuKeyPacer::AnswerMenuChar(WM_CHAR, L'g', answer));
    // Any other printable key closes the menu; the search starts only once
    // it has closed, with every key the menu took.
    EXPECT_EQ(HIWORD(MenuChar(L'g')), MNC_CLOSE);
    EXPECT_EQ(HIWORD(MenuChar(L'\xFC')), MNC_CLOSE);
    EXPECT_EQ(HIWORD(MenuChar(L'\x6771')), MNC_CLOSE);
    EXPECT_TRUE(started.empty());
    CMenuKeyPacer::MenuClosed();
    EXPECT_EQ(started, std::vector<std::string>{"g\xC3\xBC\xE6\x9D\xB1"});
    // A menu that closed otherwise starts nothing, nor does one whose search
    // was switched off meanwhile.
    CMenuKeyPacer::MenuClosed();
    MenuChar(L'x');
    CMenuKeyPacer::SetTypeToFind(nullptr);
    CMenuKeyPacer::SetTypeToFind([&](const std::string& typed) { started.push_back(typed); });
    CMenuKeyPacer::MenuClosed();
    EXPECT_EQ(started.size(), 1u);
    CMenuKeyPacer::SetTypeToFind(nullptr);
}

TEST(MenuSearchWin, TheSearchGetsEveryKeyThenGivesTheKeyboardBackOrLosesItToAClickElsewhere) {
    // The clicked program, and our pop-up with the search's field.
    auto* clicked = new wxFrame(nullptr, wxID_ANY, "clicked", wxPoint(50, 50), wxSize(300, 200));
    auto* popup = new wxFrame(nullptr, wxID_ANY, "search", wxPoint(400, 50), wxSize(300, 200));
    auto* field = new wxTextCtrl(popup, wxID_ANY);
    int returns = 0, escapes = 0, outside = 0;
    field->Bind(wxEVT_KEY_DOWN, [&](wxKeyEvent& event) {
        returns += event.GetKeyCode() == WXK_RETURN;
        escapes += event.GetKeyCode() == WXK_ESCAPE;
        event.Skip();
    });
    clicked->Show();
    popup->Show();
    SetForegroundWindow(Hwnd(clicked));
    ASSERT_TRUE(WaitFor("the clicked program in front",
                        [&] { return GetForegroundWindow() == Hwnd(clicked); }));

    // The menu took the keyboard, then closed to start a search.
    desktop::TakeKeyboardForMenu(popup);
    ASSERT_TRUE(WaitFor("the menu's keyboard",
                        [] { return GetForegroundWindow() == menu_keys::Current(); }));
    CPopupGrab grab;
    ASSERT_TRUE(grab.Take(popup, field, [&] { ++outside; }));
    desktop::ReturnKeyboardAfterMenu(HandleToULong(Hwnd(clicked)));
    EXPECT_EQ(GetForegroundWindow(), menu_keys::Current()) << "the menu's end waits for the search";
    // Letters, and the keys the dialog manager would take as buttons.
    Keys({'A', 'B', VK_RETURN, VK_ESCAPE});
    EXPECT_TRUE(WaitFor("the keys in the field",
                        [&] { return field->GetValue() == "ab" && returns == 1 && escapes == 1; }))
        << field->GetValue() << " " << returns << " " << escapes;
    EXPECT_EQ(outside, 0);
    // Its end gives the clicked program the keyboard back.
    grab.Release();
    EXPECT_FALSE(grab.IsHeld());
    EXPECT_TRUE(WaitFor("the clicked program in front again",
                        [&] { return GetForegroundWindow() == Hwnd(clicked); }));
    EXPECT_EQ(menu_keys::Current(), nullptr);
    // Without the keyboard there is no search to hold.
    EXPECT_FALSE(grab.Take(popup, field, [&] { ++outside; }));

    // A click elsewhere ends the search; no key reaches the field after it.
    desktop::TakeKeyboardForMenu(popup);
    ASSERT_TRUE(WaitFor("the menu's keyboard again",
                        [] { return GetForegroundWindow() == menu_keys::Current(); }));
    ASSERT_TRUE(grab.Take(popup, field, [&] {
        ++outside;
        grab.Release();
    }));
    SetForegroundWindow(Hwnd(clicked));
    EXPECT_TRUE(WaitFor("the search to see the loss", [&] { return outside == 1; }));
    EXPECT_FALSE(grab.IsHeld());
    Keys({'C'});
    wxYield();
    EXPECT_EQ(field->GetValue(), "ab");
    desktop::ReturnKeyboardAfterMenu(0);
    clicked->Destroy();
    popup->Destroy();
}
