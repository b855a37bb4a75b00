// The snippet menu in the program: switching it on and off (commands 159, 160
// and 1000, the sounds, a refused grab, the hot key, as another X client sees
// the grabs), the menu built from the open library, what choosing its entries
// puts on the clipboard, the click that opens it and a paste not made, on a
// fake desktop; keys into the open menu come from another X client.

#include "menu/HookMenu.h"
#include "menu/PasteEngine.h"
#include "menu/SnippetCommandMap.h"
#include "platform/HookClient.h"
#include "platform/Sound.h"
#include "platform/Trace.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/AppFixture.h"
#include "support/FakeDesktop.h"
#include "support/GuiTest.h"
#include "view/SnippetFinder.h"

#include <wx/fileconf.h>
#include <wx/frame.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <regex>

#include "support/XClient.h"

#include <X11/keysym.h>

namespace {

const char* kMail = "<level0 header=\"Mail\">\n  <level1 header=\"&amp;Greetings\">\n"
                    "    <level2 header=\"Hello\"><![CDATA[Hello there]]></level2>\n"
                    "    <level2 header=\"Thanks\"><![CDATA[Thank you]]></level2>\n  </level1>\n"
                    "  <level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>\n</level0>";

class HookMenuTest : public CAppFixture {
protected:
    // The program with these options on a library, its pastes going to a
    // fake desktop, its sounds heard (the sink replaced at every start).
    void StartWith(const std::string& options, const std::string& xml = kMail) {
        // The settings the last run left are written before the file is.
        delete wxConfigBase::Set(nullptr);
        CTempDir::Write(m_configPath, "[Options]\n" + options + "[Settings]\nTipoftheday=0\n");
        wxConfigBase::Set(new wxFileConfig("Tessary", "MorvekLtd", wxString::FromUTF8(m_configPath),
                                           wxString(), wxCONFIG_USE_LOCAL_FILE));
        ASSERT_TRUE(Start(Write("lib.xml", xml)));
        m_pDesktop = new CFakeDesktop;
        Doc()->PasteEngine().SetDesktop(std::unique_ptr<CDesktop>(m_pDesktop));
        m_strSounds.clear();
        sound::SetTestSink([this](const std::string& what) { m_strSounds += what + " "; });
    }
    // What the window shows, and whether the right button is the program's:
    // "on", "off", or a disagreement.
    std::string State() {
        Frame()->UpdateWindowUI();
        const bool on = View()->m_bMenuActive;
        const bool items = Frame()->GetMenuBar()->IsEnabled(ids::ID_ACTIVATE_MENU) == !on &&
                           Frame()->GetMenuBar()->IsEnabled(ids::ID_DEACTIVATE_MENU) == on;
        return items && m_x.CanGrabButton(0) == !on ? (on ? "on" : "off") : "inconsistent";
    }
    wxMenu* Popup() const { return View()->HookMenu().HookPopup(); }
    // Labels of a menu as "label=id" or "label{...}", filling submenus as a
    // person highlighting them would.
    std::string Outline(wxMenu* menu) {
        std::string out;
        for (wxMenuItem* item : menu->GetMenuItems()) {
            out += (out.empty() ? "" : ",") +
                   (item->IsSeparator() ? "-" : item->GetItemLabel().utf8_string());
            if (wxMenu* sub = item->GetSubMenu()) {
                wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, item->GetId(), menu);
                menu->ProcessEvent(highlight);
                out += "{" + Outline(sub) + "}";
            } else if (CSnippetCommandMap::IsSnippetId(item->GetId())) {
                out += "=" + std::to_string(item->GetId() - CSnippetCommandMap::kFirstSnippetId);
            }
        }
        return out;
    }
    // A right-click reported on target; once the menu has the keyboard,
    // another client types the keys all at once, as a held key's auto-repeat
    // does when it outruns the menu. Returns when the menu has closed.
    void ClickAndType(unsigned long target, std::vector<KeySym> keys) {
        wxTimer typist;
        typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            for (const KeySym key : keys)
                m_x.Chord({key});
        });
        // The grab is taken right after the menu is mapped.
        auto start = [&](wxMenuEvent& event) {
            event.Skip();
            if (event.GetMenu() == Popup() && !typist.IsRunning())
                typist.StartOnce(1);
        };
        Popup()->Bind(wxEVT_MENU_OPEN, start);
        View()->OnCopyData(SHookClick{target, 300, 300, 0});
        Popup()->Unbind(wxEVT_MENU_OPEN, start);
    }

    CXClient m_x;
    CFakeDesktop* m_pDesktop = nullptr;
    std::string m_strSounds;
};

} // namespace

TEST_F(HookMenuTest, CommandsSwitchTheGrabTheStateAndTheSounds) {
    // The hot key Ctrl+Alt+K, as the Options dialog stores it.
    StartWith("SoundHook=1\nActivateWavFile=/no/such/on.wav\nDeactivateWavFile=off.wav\n"
              "VKCode=75\nModifiers=6\n");
    EXPECT_EQ(State(), "off");
    // Command 1000 follows the state, with tones instead of the files.
    for (const int command : {ids::ID_ACTIVATE_MENU, ids::ID_DEACTIVATE_MENU, ids::ID_TOGGLE_MENU,
                              ids::ID_TOGGLE_MENU}) {
        const std::string before = State();
        Command(command);
        EXPECT_EQ(State(), before == "on" ? "off" : "on") << command;
    }
    EXPECT_EQ(m_strSounds, "play:/no/such/on.wav play:off.wav beep:700:50 beep:400:50 ");
    // A new or opened library leaves a running menu on, and the window shows
    // it on: right-clicks go on bringing up the menu, built from that library.
    Command(ids::ID_ACTIVATE_MENU);
    CFilePrompt::QueueAnswer(Write("other.xml", "<level0 header=\"Other\"/>"));
    for (int command : {ids::ID_FILE_NEW, ids::ID_FILE_OPEN}) {
        Command(command);
        EXPECT_EQ(State(), "on") << command;
    }
    EXPECT_EQ(TreeLabels(), std::vector<std::string>{"Other"});
    EXPECT_TRUE(Messages().empty());
    // The hot key is held through them, until the window closes (held
    // exactly: the hot key's test).
    EXPECT_FALSE(m_x.CanGrabKey(XK_k, ControlMask | Mod1Mask));
    CloseFrame();
    EXPECT_TRUE(m_x.CanGrabKey(XK_k, ControlMask | Mod1Mask)) << "released at close";
    // Sounds only when SoundHook is exactly 1; no hot key stored, none taken.
    Stop();
    StartWith("SoundHook=2\nActivateWavFile=on.wav\nVKCode=0\nModifiers=6\n");
    Command(ids::ID_ACTIVATE_MENU);
    Command(ids::ID_TOGGLE_MENU);
    EXPECT_TRUE(m_strSounds.empty() && Messages().empty() && Doc()->m_bHotKeyRegistered == 0)
        << m_strSounds;
}

TEST_F(HookMenuTest, ARefusedGrabIsSaidTracedAndTheMenuStaysOff) {
    // The right button and the stored hot key Shift+F9, with Caps Lock on,
    // held by another program: the plain variants, taken first, are let go.
    ASSERT_TRUE(m_x.CanGrabButton(LockMask, true) &&
                m_x.CanGrabKey(XK_F9, ShiftMask | LockMask, true));
    StartWith("SoundHook=1\nVKCode=120\nModifiers=1\n");
    EXPECT_EQ(Messages(), std::vector<std::string>{msg::kHotKeyFailed});
    EXPECT_TRUE(Doc()->m_bHotKeyRegistered == 0 && m_x.CanGrabKey(XK_F9, ShiftMask));
    std::string trace; // and no sound
    trace::SetSink([&](const std::string& line) { trace += line + "\n"; });
    Command(ids::ID_ACTIVATE_MENU);
    trace::SetSink(nullptr);
    EXPECT_EQ(Messages(), std::vector<std::string>{msg::kHookRefused});
    EXPECT_EQ(trace + m_strSounds,
              "mouse hook not started (reason 2): " + std::string(msg::kHookRefused) + "\n");
    EXPECT_EQ(State(), "off");
    m_x.ReleaseGrabs();
    Command(ids::ID_ACTIVATE_MENU);
    EXPECT_EQ(State(), "on");
}

TEST_F(HookMenuTest, BuiltFromTheLibraryAtEachRebuildAndItsEntriesPutTheirText) {
    StartWith("");
    // Deeper levels only when opened, and their snippet entries take their
    // ids then; every save rebuilds the menu, the ids starting afresh.
    for (int save = 0; save < 3; ++save) {
        Command(ids::ID_FILE_SAVE);
        EXPECT_FALSE(View()->HookMenu().IsFilled(Popup()->FindItemByPosition(3)->GetSubMenu()));
        EXPECT_EQ(Outline(Popup()),
                  "Close Menu,Paste All,-,Mail{&Greetings{Hello=1,Thanks=2},Sign-off=0}");
    }
    EXPECT_TRUE(Messages().empty());
    // No window was clicked: the text goes to the clipboard, no keys are sent.
    Command(Popup()->FindItem("Thanks"));
    EXPECT_EQ(m_pDesktop->m_strClipboard, "Thank you");
    Command(ids::ID_HOOK_CLOSE_MENU);
    Command(CSnippetCommandMap::kLastSnippetId);
    // Paste All: every snippet's text with the whitespace between them.
    Command(ids::ID_HOOK_PASTE_ALL);
    EXPECT_EQ(m_pDesktop->m_strClipboard, "\n  \n    Hello there\n    Thank you\n  \n  Regards\n");
    EXPECT_EQ(m_pDesktop->m_strCalls, "clipboard clipboard");
    // Until the next rebuild an entry pastes the text its element holds now.
    const int thanks = Popup()->FindItem("Thanks");
    Doc()->SnippetCommands().FindSnippet(thanks).FirstChild().SetNodeValue("✓");
    Command(thanks);
    EXPECT_EQ(m_pDesktop->m_strClipboard, "✓");
    // A branch removed after the rebuild, before its level was read: its
    // submenu shows what the element holds, and pastes it.
    Command(ids::ID_FILE_SAVE);
    CXmlNode root = Doc()->Library().Root();
    root.RemoveChild(root.FirstChildElement());
    EXPECT_EQ(Outline(Popup()),
              "Close Menu,Paste All,-,Mail{&Greetings{Hello=1,Thanks=2},Sign-off=0}");
    Command(Popup()->FindItem("Hello"));
    EXPECT_EQ(m_pDesktop->m_strClipboard, "Hello there");
    // Missing captions: told at every rebuild, with the markup as it was
    // before the items were numbered; a root without one gives the template
    // alone and keeps its tree, to mend it.
    StartWith("", "<level0 header=\"R\"><a>x</a><level1 header=\"B\">b</level1></level0>");
    EXPECT_EQ(Messages(), std::vector<std::string>{"<a>x</a>"});
    EXPECT_EQ(Outline(Popup()), "Close Menu,Paste All,-,R{B=0}");
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Messages(), std::vector<std::string>{"<a iid=\"1\">x</a>"});
    StartWith("", "<level0><level1 header=\"A\">a</level1></level0>");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Outline(Popup()), "Close Menu,Paste All,-");
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"", "  A"}));
}

// Key events that reach nested menus back to back once made the toolkit's
// accessibility code abort the program; they are taken one at a time, in
// order, none lost: to "Lib", Right held through "A" and "B" to "one", Down
// held an odd number of times between the two entries, Return.
TEST_F(HookMenuTest, HeldArrowKeysInNestedMenusAreFollowedInOrder) {
    StartWith("", "<level0 header=\"Lib\"><level1 header=\"A\"><level2 header=\"B\"><level3 "
                  "header=\"one\">first</level3><level3 header=\"two\">second</level3></level2>"
                  "</level1></level0>");
    ClickAndType(0, {XK_Down, XK_Down, XK_Down, XK_Right, XK_Right, XK_Right, XK_Right, XK_Right,
                     XK_Right, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down, XK_Down,
                     XK_Down, XK_Down, XK_Return});
    EXPECT_EQ(m_pDesktop->m_strClipboard, "second");
}

// A closed submenu lets its entries go and is filled again at its next
// opening: choices made after going in and out of submenus, over two menus,
// paste the right text, and the ids in use stay those of the open submenus.
TEST_F(HookMenuTest, ClosedSubmenusAreLetGoAndBuiltAgain) {
    std::string xml = "<level0 header=\"Lib\">";
    for (const char* area : {"A", "B", "C"}) {
        xml += std::string("<level1 header=\"") + area + "\">";
        for (int n = 1; n <= 3; ++n)
            xml += std::string("<level2 header=\"") + area + std::to_string(n) + "\">" + area +
                   std::to_string(n) + " text</level2>";
        xml +=
            std::string("</level1>") + (*area == 'A' ? "<level1 header=\"Loose\">l</level1>" : "");
    }
    StartWith("", xml + "</level0>");
    wxMenu* lib = Popup()->FindItemByPosition(3)->GetSubMenu();
    // Into A and out, past Loose, into B and out, into C, its second entry.
    const std::vector<KeySym> keys = {XK_Down, XK_Down,  XK_Down, XK_Right, XK_Right,
                                      XK_Left, XK_Down,  XK_Down, XK_Right, XK_Left,
                                      XK_Down, XK_Right, XK_Down, XK_Return};
    for (const char* chosen : {"C2 text", "C2 text"}) {
        m_pDesktop->m_strClipboard.clear();
        ClickAndType(0, keys);
        EXPECT_EQ(m_pDesktop->m_strClipboard, chosen);
        EXPECT_LE(Doc()->SnippetCommands().Count(), 4u) << "ids of closed submenus reused";
        ASSERT_TRUE(WaitFor("the closed menu's entries to go",
                            [&] { return !View()->HookMenu().IsFilled(lib); }));
    }
    // Built again from the model, the entries are those of the library, in
    // its order.
    EXPECT_EQ(std::regex_replace(Outline(Popup()), std::regex("=[0-9]+"), ""),
              "Close Menu,Paste All,-,Lib{A{A1,A2,A3},Loose,B{B1,B2,B3},C{C1,C2,C3}}");
}

// Typing in the menu: "t" is no access key in Mail (only "g" is), so the
// menu closes and the search takes it and the keys typed on, all at once;
// Down and Return paste the second snippet found. A rebuild ends a search
// left open, whose entries it would otherwise paste from the new library.
TEST_F(HookMenuTest, TypingInTheMenuFindsAndPastesAsAChoiceDoes) {
    StartWith("", std::string(kMail).insert(std::string(kMail).find("</level0>"),
                                            "<level1 header=\"Thoughts\">T</level1>"));
    const auto rows = [&] {
        wxListBox* list = View()->MenuHost()->List();
        std::string out;
        for (unsigned i = 0; i < list->GetCount(); ++i)
            out += (i == static_cast<unsigned>(list->GetSelection()) ? "*" : "") +
                   list->GetString(i).utf8_string() + "|";
        return out;
    };
    ClickAndType(55, {XK_Down, XK_Down, XK_Down, XK_Right, XK_t, XK_h});
    ASSERT_TRUE(WaitFor("the search's field", [&] {
        return View()->MenuHost()->IsFinding() && View()->MenuHost()->Field()->GetValue() == "th";
    }));
    EXPECT_TRUE(View()->IsMenuShown()) << "no other menu while it is open";
    // "Hello there" holds it in its text alone: after the headers.
    EXPECT_EQ(rows(), "*Mail › Greetings › Thanks|Mail › Thoughts|Mail › Greetings › Hello|");
    m_x.Chord({XK_Down});
    m_x.Chord({XK_Return});
    ASSERT_TRUE(WaitFor("the search to end", [&] { return !View()->IsMenuShown(); }));
    EXPECT_EQ(m_pDesktop->m_strClipboard, "T");
    EXPECT_EQ(Doc()->m_hTargetWnd, 55ul);
    // Escape ends it with nothing pasted; so does a rebuild.
    m_pDesktop->m_strClipboard.clear();
    for (const bool rebuild : {false, true}) {
        ClickAndType(55, {XK_Down, XK_Down, XK_Down, XK_Right, XK_t});
        ASSERT_TRUE(WaitFor("the search", [&] { return View()->MenuHost()->IsFinding(); }));
        if (rebuild)
            Command(ids::ID_FILE_SAVE);
        else
            m_x.Chord({XK_Escape});
        ASSERT_TRUE(WaitFor("the search to end", [&] { return !View()->IsMenuShown(); }));
    }
    EXPECT_EQ(m_pDesktop->m_strClipboard, "");
}

// A click that lands on one of the program's own pop-ups keeps the last
// target and brings that one forward, not the pop-up.
TEST_F(HookMenuTest, AClickOnOurOwnPopupBringsTheLastTargetForward) {
    StartWith("");
    m_pDesktop->m_popups = {66};
    ClickAndType(55, {XK_Escape});
    ClickAndType(66, {XK_Escape});
    EXPECT_EQ(Doc()->m_hTargetWnd, 55ul);
    EXPECT_EQ(m_pDesktop->m_strCalls, "activate 55 activate 55");
}

// A paste given up (the window never took the keyboard) says so in the status
// bar, the text staying on the clipboard; the next paste takes the message
// away. The other outcomes' texts are the paste sequence's test's.
TEST_F(HookMenuTest, APasteNotMadeIsToldInTheStatusBar) {
    StartWith("");
    m_pDesktop->m_windows = {55};
    Doc()->PasteEngine().Paste({"kept", 55});
    ASSERT_TRUE(WaitFor("the paste's end", [&] { return !Doc()->PasteEngine().IsPending(); }));
    EXPECT_EQ(m_status.back() + "|" + m_pDesktop->m_strClipboard,
              msg::kPasteNoFocus + std::string("|kept"));
    Doc()->PasteEngine().Paste({"next", 0});
    EXPECT_EQ(m_status.back(), "");
}
