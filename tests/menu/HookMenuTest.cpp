// The snippet menu as the program builds it from the open library, and what
// choosing its entries does, short of typing into another program.

#include "menu/HookMenu.h"
#include "menu/PasteEngine.h"
#include "menu/SnippetCommandMap.h"
#include "platform/DesktopWindows.h"
#include "platform/HookClient.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"
#include "tests/platform/XPeer.h"

#include <wx/clipbrd.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/popupwin.h>
#include <wx/timer.h>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <future>

namespace {

const char* kMail = "<level0 header=\"Mail\">\n"
                    "  <level1 header=\"&amp;Greetings\">\n"
                    "    <level2 header=\"Hello\"><![CDATA[Hello there]]></level2>\n"
                    "    <level2 header=\"Thanks\"><![CDATA[Thank you]]></level2>\n"
                    "  </level1>\n"
                    "  <level1 header=\"Sign-off\"><![CDATA[Regards]]></level1>\n"
                    "</level0>";

// What another program reads from the clipboard. The program answers from
// its event loop, which runs meanwhile.
std::string ClipboardText() {
    auto reader = std::async(std::launch::async, [] {
        std::string out;
        FILE* pipe = popen("timeout 5 xclip -o -selection clipboard 2>/dev/null", "r");
        if (!pipe)
            return out;
        char buf[4096];
        std::size_t n;
        while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
            out.append(buf, n);
        pclose(pipe);
        return out;
    });
    WaitFor([&] { return reader.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
            8000);
    return reader.get();
}

class HookMenuTest : public CAppFixture {
protected:
    CHookMenu& Menu() const { return View()->HookMenu(); }
    wxMenu* Popup() const { return Menu().HookPopup(); }

    // Labels of a menu as "label=id" or "label{...}", filling submenus as a
    // person highlighting them would.
    std::string Outline(wxMenu* menu) {
        std::string out;
        for (wxMenuItem* item : menu->GetMenuItems()) {
            if (!out.empty())
                out += ",";
            if (item->IsSeparator()) {
                out += "-";
                continue;
            }
            out += item->GetItemLabel().utf8_string();
            if (wxMenu* sub = item->GetSubMenu()) {
                Highlight(menu, item);
                out += "{" + Outline(sub) + "}";
            } else if (CSnippetCommandMap::IsSnippetId(item->GetId())) {
                out += "=" + std::to_string(item->GetId() - CSnippetCommandMap::kFirstSnippetId);
            }
        }
        return out;
    }
    void Highlight(wxMenu* menu, wxMenuItem* item) {
        wxMenuEvent event(wxEVT_MENU_HIGHLIGHT, item->GetId(), menu);
        event.SetEventObject(menu);
        menu->ProcessEvent(event);
    }
    int IdOf(const std::string& label) {
        wxMenu* root = Popup()->FindItemByPosition(3)->GetSubMenu();
        Menu().FillSubmenu(root);
        for (wxMenu* menu : {root, root->FindItemByPosition(0)->GetSubMenu()}) {
            Menu().FillSubmenu(menu);
            for (wxMenuItem* item : menu->GetMenuItems())
                if (item->GetItemLabelText().utf8_string() == label)
                    return item->GetId();
        }
        return 0;
    }
    // Chooses an entry the way the pop-up delivers it: a menu command that
    // travels the view's routing.
    bool Choose(int id) {
        wxCommandEvent event(wxEVT_MENU, id);
        return View()->ProcessEvent(event);
    }
    // A right-click reported on `target`; once the menu has the keyboard,
    // another client types the keys all at once, as a held key's auto-repeat
    // does when it outruns the menu. Returns when the menu has closed.
    void ClickAndType(unsigned long target, const std::vector<std::pair<KeySym, int>>& keys) {
        wxTimer typist;
        typist.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
            Display* peer = XOpenDisplay(nullptr);
            for (const auto& [sym, times] : keys)
                for (int i = 0; i < times; ++i) {
                    XTestFakeKeyEvent(peer, XKeysymToKeycode(peer, sym), True, CurrentTime);
                    XTestFakeKeyEvent(peer, XKeysymToKeycode(peer, sym), False, CurrentTime);
                }
            XCloseDisplay(peer);
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
};

} // namespace

TEST_F(HookMenuTest, BuiltFromTheLibraryOnDemandWithIdsReusedAtEachRebuild) {
    ASSERT_TRUE(Start(Write("mail.xml", kMail)));
    ASSERT_TRUE(Popup());
    // The first level is there at once; deeper levels only when opened, and
    // their snippet entries take their ids then.
    wxMenu* root = Popup()->FindItemByPosition(3)->GetSubMenu();
    ASSERT_TRUE(root);
    EXPECT_FALSE(Menu().IsFilled(root));
    const std::string outline =
        "Close Menu,Paste All,-,Mail{&Greetings{Hello=1,Thanks=2},Sign-off=0}";
    EXPECT_EQ(Outline(Popup()), outline);
    EXPECT_EQ(Popup()->FindItemByPosition(0)->GetId(), ids::ID_HOOK_CLOSE_MENU);
    EXPECT_EQ(Popup()->FindItemByPosition(1)->GetId(), ids::ID_HOOK_PASTE_ALL);
    EXPECT_TRUE(Messages().empty());

    // Every save rebuilds the menu; the ids start again from the range's start.
    const std::string path = Doc()->GetFilename().utf8_string();
    for (int i = 0; i < 3; ++i) {
        Command(ids::ID_FILE_SAVE);
        ASSERT_TRUE(Popup());
        EXPECT_EQ(Outline(Popup()), outline);
    }
    EXPECT_EQ(Doc()->SnippetCommands().Count(), 3u);
}

TEST_F(HookMenuTest, MissingCaptionsAreReportedAtEveryRebuild) {
    ASSERT_TRUE(Start(Write("m.xml", "<level0 header=\"R\"><level1>no header</level1>"
                                     "<level1 header=\"B\">b</level1></level0>")));
    // The menu is built before the items are numbered.
    EXPECT_EQ(Messages(), std::vector<std::string>{"<level1>no header</level1>"});
    EXPECT_EQ(Outline(Popup()), "Close Menu,Paste All,-,R{B=0}");
    Command(ids::ID_FILE_SAVE);
    EXPECT_EQ(Messages(), std::vector<std::string>{"<level1 iid=\"1\">no header</level1>"});

    // A root without a caption: the template alone; the tree stays, to mend it.
    ASSERT_TRUE(Start(Write("n.xml", "<level0><level1 header=\"A\">a</level1></level0>")));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(Outline(Popup()), "Close Menu,Paste All,-");
    EXPECT_EQ(TreeLabels(), (std::vector<std::string>{"", "  A"}));
}

TEST_F(HookMenuTest, ChoosingEntriesPutsTheirTextOnTheClipboard) {
    ASSERT_TRUE(Start(Write("mail.xml", kMail)));
    // No window was clicked: the text goes to the clipboard, no keys are sent.
    std::vector<CPasteEngine::Outcome> outcomes;
    Doc()->PasteEngine().SetOutcomeSink([&](CPasteEngine::Outcome o) { outcomes.push_back(o); });

    const int hello = IdOf("Hello");
    ASSERT_NE(hello, 0);
    EXPECT_TRUE(Choose(hello));
    EXPECT_EQ(ClipboardText(), "Hello there");
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0], CPasteEngine::Outcome::NoTarget);

    // Paste All: every snippet's text with the whitespace between them.
    Choose(ids::ID_HOOK_PASTE_ALL);
    EXPECT_EQ(ClipboardText(), "\n  \n    Hello there\n    Thank you\n  \n  Regards\n");
    EXPECT_EQ(outcomes.size(), 2u);

    // Close Menu and ids no entry carries leave the clipboard alone.
    Choose(ids::ID_HOOK_CLOSE_MENU);
    EXPECT_FALSE(Choose(CSnippetCommandMap::kLastSnippetId));
    EXPECT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(ClipboardText(), "\n  \n    Hello there\n    Thank you\n  \n  Regards\n");

    // Until the next rebuild an entry pastes the text its element holds now,
    // even after the element left the library.
    const int signOff = IdOf("Sign-off");
    CXmlNode element = Doc()->SnippetCommands().FindSnippet(signOff);
    element.ParentNode().RemoveChild(element);
    Choose(signOff);
    EXPECT_EQ(ClipboardText(), "Regards");
    const int thanks = IdOf("Thanks");
    Doc()->SnippetCommands().FindSnippet(thanks).FirstChild().SetNodeValue("Many thanks ✓ 感谢 🎉");
    Choose(thanks);
    EXPECT_EQ(ClipboardText(), "Many thanks ✓ 感谢 🎉");
}

// Key events that reach nested menus back to back once made the toolkit's
// accessibility code abort the program; they are taken one at a time, in
// order, none lost.
TEST_F(HookMenuTest, HeldArrowKeysInNestedMenusAreFollowedInOrder) {
    ASSERT_TRUE(Start(Write("deep.xml", "<level0 header=\"Lib\"><level1 header=\"A\">"
                                        "<level2 header=\"B\"><level3 header=\"one\">first</level3>"
                                        "<level3 header=\"two\">second</level3></level2>"
                                        "</level1></level0>")));
    std::vector<CPasteEngine::Outcome> outcomes;
    Doc()->PasteEngine().SetOutcomeSink([&](CPasteEngine::Outcome o) { outcomes.push_back(o); });
    // To "Lib"; Right held through "A" and "B" to "one"; Down held an odd
    // number of times between the two entries; Return.
    ClickAndType(0, {{XK_Down, 3}, {XK_Right, 6}, {XK_Down, 9}, {XK_Return, 1}});
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(ClipboardText(), "second");
}

// A click that lands on one of the program's own pop-ups keeps the last
// target and brings that one forward, not the pop-up.
TEST_F(HookMenuTest, AClickOnOurOwnPopupBringsTheLastTargetForward) {
    ASSERT_TRUE(Start(Write("mail.xml", kMail)));
    auto* target = new wxFrame(nullptr, wxID_ANY, "target", wxPoint(500, 100), wxSize(300, 200));
    target->Show();
    const unsigned long targetId = XidOf(target);
    Doc()->m_hTargetWnd = targetId;
    const unsigned long frameId = XidOf(Frame());
    desktop::ActivateWindow(frameId, 0);
    ASSERT_TRUE(WaitFor([&] { return desktop::HasFocus(frameId); }));

    auto* popup = new wxPopupWindow(Frame());
    popup->SetSize(300, 300, 1, 1);
    popup->Show();
    ClickAndType(XidOf(popup), {{XK_Escape, 1}});
    EXPECT_EQ(Doc()->m_hTargetWnd, targetId);
    EXPECT_TRUE(WaitFor([&] { return desktop::HasFocus(targetId); }, 2000));
    popup->Destroy();
    target->Destroy();
}

// A paste that cannot be made says why in the status bar, the text staying on
// the clipboard; the next paste takes the message away.
TEST_F(HookMenuTest, APasteNotMadeIsToldInTheStatusBar) {
    ASSERT_TRUE(Start(Write("mail.xml", kMail)));
    std::vector<CPasteEngine::Outcome> outcomes;
    Doc()->PasteEngine().SetOutcomeSink([&](CPasteEngine::Outcome o) { outcomes.push_back(o); });
    // A window that exists but is never shown cannot take the keyboard.
    auto* hidden = new wxFrame(nullptr, wxID_ANY, "hidden");
    const struct {
        unsigned long target;
        CPasteEngine::Outcome outcome;
        const char* text;
    } cases[] = {{0x3ffffff0ul, CPasteEngine::Outcome::TargetGone, msg::kPasteTargetGone},
                 {XidOf(hidden), CPasteEngine::Outcome::NoFocus, msg::kPasteNoFocus}};
    for (const auto& c : cases) {
        m_status.clear();
        Doc()->PasteEngine().Paste("kept", c.target);
        ASSERT_TRUE(WaitFor([&] { return !Doc()->PasteEngine().IsPending(); }, 4000));
        ASSERT_FALSE(outcomes.empty());
        EXPECT_EQ(outcomes.back(), c.outcome);
        ASSERT_FALSE(m_status.empty());
        EXPECT_EQ(m_status.back(), c.text);
        EXPECT_EQ(ClipboardText(), "kept");
    }
    m_status.clear();
    Doc()->PasteEngine().Paste("next", 0);
    EXPECT_EQ(m_status, std::vector<std::string>{""});
    hidden->Destroy();
}
