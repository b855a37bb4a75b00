// The main frame under a real window manager: stored position, close order,
// minimum size, status bar, dockable toolbar, help and web commands. Pointer
// and keys go through XTest, as a person's would.

#include "app/HelpService.h"
#include "app/Settings.h"
#include "platform/Browser.h"
#include "platform/KeyboardLocks.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"
#include "support/AppFixture.h"
#include "support/GuiTest.h"

#include <wx/aui/auibar.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/evtloop.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

namespace {

class MainFrameTest : public CAppFixture {
protected:
    void SetUp() override {
        CAppFixture::SetUp();
        CHelpService::EnableTestMode();
        CHelpService::SetBookFile(TESSARY_HELP_BOOK);
        CBrowser::EnableTestMode();
    }
    void TearDown() override {
        CAppFixture::TearDown();
        CBrowser::DisableTestMode();
        CHelpService::SetBookFile({});
        CHelpService::DisableTestMode();
    }

    std::string StoredPosition() const {
        return CSettingsStore::ReadPosition(*wxConfigBase::Get());
    }
    void StorePosition(const std::string& text) const {
        CSettingsStore::WritePosition(*wxConfigBase::Get(), text);
    }
    static std::string Text(const wxRect& r) {
        return CSettingsStore::FormatPosition(r.GetLeft(), r.GetTop(), r.GetRight() + 1,
                                              r.GetBottom() + 1);
    }
    // Starts and waits until the window manager has placed the window.
    void StartShown() {
        ASSERT_TRUE(Start());
        ASSERT_TRUE(WaitFor([this] { return Frame()->IsShownOnScreen(); }));
        Settle(400);
    }
    void Restart() {
        CloseFrame();
        StartShown();
    }
    // A left-button drag from one screen point to another, in small steps.
    static void Drag(wxPoint from, wxPoint to) {
        wxUIActionSimulator sim;
        sim.MouseMove(from);
        Settle(100);
        sim.MouseDown();
        Settle(100);
        for (int i = 1; i <= 10; ++i) {
            sim.MouseMove(from + (to - from) * i / 10);
            Settle(30);
        }
        sim.MouseUp();
        Settle(400);
    }
    std::string StatusPane(int n) const {
        return Frame()->StatusBar()->GetStatusText(n).utf8_string();
    }
    bool StatusBarChecked() const {
        Frame()->GetMenuBar()->UpdateMenus();
        return Frame()->GetMenuBar()->FindItem(ids::ID_VIEW_STATUS_BAR)->IsChecked();
    }
    wxPoint ToolCentre(int id) const {
        const wxRect r = Frame()->ToolBar()->GetToolRect(id);
        return Frame()->ToolBar()->ClientToScreen(r.GetPosition() + r.GetSize() / 2);
    }
};

// Runs action once the frame holds the mouse, as it does in context-help mode.
class CWhenCaptured : public wxTimer {
public:
    explicit CWhenCaptured(std::function<void()> action) : m_action(std::move(action)) {
        Start(50);
    }
    void Notify() override {
        if (!wxWindow::GetCapture())
            return;
        Stop();
        m_action();
    }

private:
    std::function<void()> m_action;
};

} // namespace

TEST_F(MainFrameTest, PositionSurvivesCloseAndRestartExactly) {
    StorePosition("0100 0100 0740 0580 ");
    StartShown();
    EXPECT_EQ(Frame()->GetRect(), wxRect(100, 100, 640, 480));
    // Move it by its title bar and make it smaller by its corner, as a person does.
    const wxRect before = Frame()->GetRect();
    Drag(wxPoint(before.x + before.width / 2, before.y + 8),
         wxPoint(before.x + before.width / 2 + 37, before.y + 8 + 23));
    const wxRect moved = Frame()->GetRect();
    EXPECT_EQ(moved.GetPosition(), before.GetPosition() + wxPoint(37, 23));
    Drag(moved.GetBottomRight() - wxPoint(1, 1), moved.GetBottomRight() - wxPoint(41, 29));
    const wxRect placed = Frame()->GetRect();
    EXPECT_EQ(placed.GetSize(), moved.GetSize() - wxSize(40, 28));

    CloseFrame();
    EXPECT_EQ(StoredPosition(), Text(placed));
    StartShown();
    EXPECT_EQ(Frame()->GetRect(), placed);
    // Nothing drifts by the window manager's frame from one run to the next.
    Restart();
    EXPECT_EQ(Frame()->GetRect(), placed);
    CloseFrame();
    EXPECT_EQ(StoredPosition(), Text(placed));
}

TEST_F(MainFrameTest, MaximisedWindowStoresAndRestoresItsNormalRectangle) {
    StorePosition("0100 0050 0900 0650 ");
    StartShown();
    EXPECT_EQ(Frame()->GetRect(), wxRect(100, 50, 800, 600));
    Frame()->Maximize(true);
    ASSERT_TRUE(WaitFor([this] { return Frame()->IsMaximized(); }));
    Settle(300);
    EXPECT_NE(Frame()->GetRect(), wxRect(100, 50, 800, 600));
    CloseFrame();
    EXPECT_EQ(StoredPosition(), "0100 0050 0900 0650 ");
    StartShown();
    EXPECT_FALSE(Frame()->IsMaximized());
    EXPECT_EQ(Frame()->GetRect(), wxRect(100, 50, 800, 600));
}

TEST_F(MainFrameTest, StoredValuesOfOtherShapes) {
    // What the window is given when nothing applies.
    StartShown();
    const wxSize standard = Frame()->GetSize();
    CloseFrame();

    // Negative coordinates round-trip through their zero-padded form.
    StorePosition(CSettingsStore::FormatPosition(-8, 40, 692, 540));
    EXPECT_EQ(StoredPosition(), "-008 0040 0692 0540 ");
    StartShown();
    EXPECT_EQ(Frame()->GetSize(), wxSize(700, 500));
    CloseFrame();
    int l = 0, t = 0, r = 0, b = 0;
    ASSERT_TRUE(CSettingsStore::ParsePosition(StoredPosition(), l, t, r, b));
    EXPECT_EQ(r - l, 700);
    EXPECT_EQ(b - t, 500);

    // A five-character field shifts the others: read at the fixed offsets,
    // the right edge lands left of the left one and nothing is applied.
    StorePosition("10000 0050 0900 0650 ");
    StartShown();
    EXPECT_EQ(Frame()->GetSize(), standard);
    CloseFrame();

    // Too short to hold a rectangle; and empty.
    for (const char* text : {"0100 0050", "0100 0050 0900 06", ""}) {
        StorePosition(text);
        StartShown();
        EXPECT_EQ(Frame()->GetSize(), standard) << '"' << text << '"';
        CloseFrame();
    }
}

TEST_F(MainFrameTest, OnlyARectangleOverlappingThePrimaryScreenIsApplied) {
    const wxRect screen = wxDisplay().GetGeometry();
    const int w = 500, h = 400;
    struct Case {
        int left, top;
        bool applied;
    };
    const Case cases[] = {
        {screen.GetLeft() - w + 1, 100, true}, // one column left of the edge
        {100, screen.GetBottom(), true},       // one row at the bottom
        {screen.GetLeft() - w, 100, false},    // wholly to the left
        {100, screen.GetBottom() + 1, false},  // wholly below
        {screen.GetRight() + 1, 100, false},   // wholly to the right, a second monitor
    };
    for (const Case& c : cases) {
        StorePosition(CSettingsStore::FormatPosition(c.left, c.top, c.left + w, c.top + h));
        StartShown();
        const bool applied = Frame()->GetSize() == wxSize(w, h);
        EXPECT_EQ(applied, c.applied) << StoredPosition();
        if (!applied) {
            EXPECT_TRUE(screen.Contains(Frame()->GetPosition())) << StoredPosition();
        }
        CloseFrame();
    }
}

TEST_F(MainFrameTest, CloseWritesSettingsAndPositionBeforeTheSaveQuestion) {
    StorePosition("0100 0050 0900 0650 ");
    StartShown();
    const std::vector<std::string> tree = TreeLabels();
    Doc()->Settings().m_nCurrentTip = 7;
    Doc()->Modify(true);
    Frame()->SetSize(wxRect(120, 60, 700, 500));
    Settle(400);

    CMessageBox::QueueAnswer(Answer::Cancel);
    CloseFrame(false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Save changes to Untitled?"});
    // Written before the question, and kept although the close was cancelled.
    EXPECT_EQ(StoredPosition(), "0120 0060 0820 0560 ");
    EXPECT_EQ(CSettingsStore::Load(*wxConfigBase::Get()).m_nCurrentTip, 7);
    // Window, view and document as they were.
    ASSERT_NE(Frame(), nullptr);
    EXPECT_TRUE(Frame()->IsShown());
    EXPECT_FALSE(Frame()->IsBeingDeleted());
    EXPECT_TRUE(Doc()->IsModified());
    ASSERT_NE(View(), nullptr);
    EXPECT_EQ(TreeLabels(), tree);
    EXPECT_EQ(Frame()->GetRect(), wxRect(120, 60, 700, 500));

    // No: the window goes without saving.
    CMessageBox::QueueAnswer(Answer::No);
    CloseFrame(false);
    EXPECT_EQ(Messages(), std::vector<std::string>{"Save changes to Untitled?"});
    EXPECT_EQ(Frame(), nullptr);
}

TEST_F(MainFrameTest, WindowCannotBeDraggedSmallerThanTheMinimum) {
    StorePosition("0100 0100 0700 0600 ");
    StartShown();
    const wxRect r = Frame()->GetRect();
    Drag(r.GetBottomRight() - wxPoint(1, 1), r.GetTopLeft() + wxPoint(60, 40));
    EXPECT_EQ(Frame()->GetSize(), wxSize(350, 300));
    EXPECT_EQ(Frame()->GetPosition(), r.GetPosition());
    // And it is the smallest window that is stored.
    CloseFrame();
    EXPECT_EQ(StoredPosition(), "0100 0100 0450 0400 ");
}

TEST_F(MainFrameTest, StatusBarToggleHidesShowsAndChecks) {
    StartShown();
    wxWindow* form = View()->Form();
    const int tall = form->GetSize().y;
    ASSERT_TRUE(Frame()->StatusBar()->IsShown());
    EXPECT_TRUE(StatusBarChecked());

    Command(ids::ID_VIEW_STATUS_BAR);
    EXPECT_FALSE(Frame()->StatusBar()->IsShown());
    EXPECT_FALSE(StatusBarChecked());
    // The form takes the freed room.
    EXPECT_TRUE(WaitFor([&] { return form->GetSize().y > tall; }, 2000));

    Command(ids::ID_VIEW_STATUS_BAR);
    EXPECT_TRUE(Frame()->StatusBar()->IsShown());
    EXPECT_TRUE(StatusBarChecked());
    EXPECT_TRUE(WaitFor([&] { return form->GetSize().y == tall; }, 2000));
    EXPECT_EQ(Frame()->StatusBar()->GetScreenRect().GetTop(),
              form->GetScreenRect().GetBottom() + 1);

    // Not remembered: every run starts with the bar shown.
    Command(ids::ID_VIEW_STATUS_BAR);
    Restart();
    EXPECT_TRUE(Frame()->StatusBar()->IsShown());
}

TEST_F(MainFrameTest, StatusBarHasItsOwnIdAndLockIndicators) {
    StartShown();
    wxStatusBar* bar = Frame()->StatusBar();
    EXPECT_EQ(bar->GetId(), ids::IDW_STATUS_BAR);
    ASSERT_EQ(bar->GetFieldsCount(), 4);
    EXPECT_EQ(bar->GetStatusWidth(0), -1);

    // Each indicator follows its lock, pressed as a person does.
    const struct {
        int key;
        int pane;
        const char* text;
        bool CLockStates::*lock;
    } locks[] = {{WXK_CAPITAL, 1, "CAP", &CLockStates::m_bCaps},
                 {WXK_NUMLOCK, 2, "NUM", &CLockStates::m_bNum},
                 {WXK_SCROLL, 3, "SCRL", &CLockStates::m_bScroll}};
    wxUIActionSimulator sim;
    for (const auto& lock : locks) {
        const bool was = CKeyboardLocks::Query().*lock.lock;
        EXPECT_TRUE(WaitFor([&] { return StatusPane(lock.pane) == (was ? lock.text : ""); }));
        sim.Char(lock.key);
        Settle(100);
        if ((CKeyboardLocks::Query().*lock.lock) == was)
            continue; // this keymap has no such lock (Xvfb's Scroll Lock)
        EXPECT_TRUE(WaitFor([&] { return StatusPane(lock.pane) == (was ? "" : lock.text); }))
            << lock.text;
        sim.Char(lock.key);
        EXPECT_TRUE(WaitFor([&] { return StatusPane(lock.pane) == (was ? lock.text : ""); }))
            << lock.text;
    }
}

TEST_F(MainFrameTest, NoPromptTextReachesTheStatusBar) {
    StartShown();
    EXPECT_EQ(StatusPane(0), "");
    Frame()->SetStatusText("Constructing tree...");
    // Highlighting menu items, as the menu does while the pointer moves over it.
    for (int id : {ids::ID_FILE_OPEN, ids::ID_ADD_MENU_ITEM, ids::ID_VIEW_STATUS_BAR}) {
        wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, id);
        highlight.SetEventObject(Frame());
        Frame()->GetEventHandler()->ProcessEvent(highlight);
    }
    Settle(100);
    EXPECT_EQ(StatusPane(0), "Constructing tree...");
    // Resting the pointer on toolbar buttons.
    wxUIActionSimulator sim;
    for (int id : {ids::ID_FILE_SAVE, ids::ID_ACTIVATE_MENU}) {
        sim.MouseMove(ToolCentre(id));
        Settle(600);
        EXPECT_EQ(StatusPane(0), "Constructing tree...");
    }
    Frame()->SetStatusText("");
    EXPECT_EQ(StatusPane(0), "");
}

TEST_F(MainFrameTest, ToolbarDocksOnAnySideFloatsAndFramesTheForm) {
    StartShown();
    wxAuiManager& dock = Frame()->DockManager();
    wxAuiToolBar* bar = Frame()->ToolBar();
    const auto pane = [&]() -> wxAuiPaneInfo& { return dock.GetPane(bar); };
    ASSERT_TRUE(pane().IsOk());
    EXPECT_TRUE(pane().IsToolbar());
    EXPECT_EQ(pane().dock_direction, wxAUI_DOCK_TOP);
    EXPECT_GT(bar->GetSize().x, bar->GetSize().y);
    // The form fills what the toolbar leaves of the client area.
    wxWindow* form = View()->Form();
    const wxSize client = Frame()->GetClientSize();
    EXPECT_EQ(form->GetSize().x, client.x);
    EXPECT_GE(form->GetPosition().y, bar->GetRect().GetBottom());
    EXPECT_EQ(form->GetRect().GetBottom(), client.y - 1);

    pane().Left();
    dock.Update();
    Settle(300);
    EXPECT_GT(bar->GetSize().y, bar->GetSize().x) << "docked on the left it stands upright";
    EXPECT_GE(form->GetPosition().x, bar->GetRect().GetRight());

    // Dragged off by its gripper into the middle of the screen, it floats.
    pane().Top();
    dock.Update();
    Settle(300);
    const wxPoint grip = bar->ClientToScreen(wxPoint(3, bar->GetSize().y / 2));
    Drag(grip, grip + wxPoint(250, 300));
    EXPECT_TRUE(pane().IsFloating());
    EXPECT_NE(wxGetTopLevelParent(bar), Frame());
    EXPECT_EQ(form->GetPosition().y, 0) << "the form takes the whole client area";

    pane().Dock().Top();
    dock.Update();
    Settle(300);
    EXPECT_EQ(wxGetTopLevelParent(bar), Frame());
    EXPECT_GE(form->GetPosition().y, bar->GetRect().GetBottom());
}

TEST_F(MainFrameTest, HelpCommandsAskForTheirTopics) {
    StartShown();
    Command(ids::ID_HELP_TOPICS);
    Command(ids::ID_TECH_SUPPORT);
    EXPECT_EQ(CHelpService::TakeRequests(), (std::vector<CHelpRequest>{{true, 0}, {false, 98320}}));

    // F1, pressed in the tree.
    View()->Tree()->SetFocus();
    Settle(100);
    wxUIActionSimulator sim;
    sim.Char(WXK_F1);
    EXPECT_TRUE(WaitFor([] { return !CHelpService::TakeRequests().empty(); }));
    Command(ids::ID_HELP);
    EXPECT_EQ(CHelpService::TakeRequests(), (std::vector<CHelpRequest>{{false, 0}}));
    EXPECT_TRUE(Messages().empty());
}

TEST_F(MainFrameTest, ContextHelpShowsTheClickedWindowsTopic) {
    StartShown();
    // Context-help mode runs its own loop over the active event loop, as the
    // program's main loop is.
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    View()->Tree()->SetFocus();
    Settle(100);
    wxUIActionSimulator sim;
    // Shift+F1, then a click on the Add Menu Item button: its command's topic.
    {
        CWhenCaptured click([&] { sim.MouseClick(); });
        sim.MouseMove(ToolCentre(ids::ID_ADD_MENU_ITEM));
        Settle(100);
        sim.Char(WXK_F1, wxMOD_SHIFT);
        ASSERT_TRUE(WaitFor([] { return !wxWindow::GetCapture(); }));
        Settle(200);
    }
    EXPECT_EQ(CHelpService::TakeRequests(), (std::vector<CHelpRequest>{{false, 0x10000 + 162}}));

    // A click on the tree: the book has no topic for the control, so the default one.
    {
        CWhenCaptured click([&] { sim.MouseClick(); });
        sim.MouseMove(View()->Tree()->GetScreenRect().GetPosition() + wxPoint(40, 80));
        Settle(100);
        sim.Char(WXK_F1, wxMOD_SHIFT);
        ASSERT_TRUE(WaitFor([] { return !wxWindow::GetCapture(); }));
        Settle(200);
    }
    EXPECT_EQ(CHelpService::TakeRequests(), (std::vector<CHelpRequest>{{false, 0}}));
}

TEST_F(MainFrameTest, ContextsOfCommandsAndControls) {
    StartShown();
    CHelpService& help = Frame()->Help();
    // Commands from 0x8000 up are known to the book by their full number.
    EXPECT_EQ(CHelpService::ContextOf(ids::ID_FILE_NEW), 0x10000 + 57600);
    EXPECT_EQ(CHelpService::ContextOf(ids::ID_TECH_SUPPORT), 98320);
    EXPECT_EQ(CHelpService::ContextOf(ids::ID_ACTIVATE_MENU), 0x10000 + 159);
    EXPECT_EQ(CHelpService::ContextOf(ids::IDC_TREE), 0x10000 + 1031);
    for (int id : {ids::ID_FILE_NEW, ids::ID_EDIT_PASTE, ids::ID_TECH_SUPPORT, ids::ID_RELOAD}) {
        help.ShowContextHelp(id);
        EXPECT_EQ(CHelpService::TakeRequests(),
                  (std::vector<CHelpRequest>{{false, CHelpService::ContextOf(id)}}));
    }
    for (int id : {ids::IDC_TREE, ids::IDC_TEXT, ids::ID_APP_ABOUT, ids::IDW_STATUS_BAR}) {
        help.ShowContextHelp(id);
        EXPECT_EQ(CHelpService::TakeRequests(), (std::vector<CHelpRequest>{{false, 0}}));
    }
}

TEST_F(MainFrameTest, WebCommandsOpenTheMakersPagesQuietly) {
    StartShown();
    Command(ids::ID_HELP_FAQ);
    Command(ids::ID_HELP_EXAMPLES);
    const std::vector<std::string> opened = CBrowser::TakeOpened();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], CStringTable::Load(strid::IDS_FAQ_PAGE));
    EXPECT_EQ(opened[1], CStringTable::Load(strid::IDS_EXAMPLES_PAGE));
    EXPECT_TRUE(opened[0].ends_with("/tessary/faq.htm"));
    EXPECT_TRUE(opened[1].ends_with("/tessary/examples.htm"));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(StatusPane(0), "");
}

TEST_F(MainFrameTest, HelpWindowGoesWithTheMainWindow) {
    CHelpService::DisableTestMode();
    StartShown();
    Command(ids::ID_TECH_SUPPORT);
    ASSERT_NE(Frame()->Help().Controller(), nullptr);
    wxFrame* help = Frame()->Help().Controller()->GetFrame();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(WaitFor([help] { return help->IsShownOnScreen(); }));
    EXPECT_EQ(wxTopLevelWindows.size(), 2u);
    CloseFrame();
    EXPECT_TRUE(WaitFor([] { return wxTopLevelWindows.empty(); }));
    EXPECT_TRUE(Messages().empty());
}

// The real help window on the real book.
TEST(HelpBook, OpensTheNumberedTopicsOfTheBook) {
    CHelpService::DisableTestMode();
    CHelpService::SetBookFile(TESSARY_HELP_BOOK);
    auto* owner = new wxFrame(nullptr, wxID_ANY, "owner");
    {
        CHelpService help(owner);
        EXPECT_TRUE(help.BookMaps(98320));
        EXPECT_TRUE(help.BookMaps(0));
        EXPECT_FALSE(help.BookMaps(0x10000 + 1031));

        help.ShowContext(ids::HELP_CONTEXT_TECH_SUPPORT);
        ASSERT_NE(help.Controller(), nullptr);
        wxHtmlHelpWindow* window = help.Controller()->GetHelpWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(
            window->GetHtmlWindow()->GetOpenedPage().EndsWith("troubleshooting.html#support"));
        EXPECT_TRUE(help.Controller()->DisplaySection(98320));
        EXPECT_FALSE(help.Controller()->DisplaySection(0x10000 + 1031));

        help.ShowContext(0);
        EXPECT_TRUE(window->GetHtmlWindow()->GetOpenedPage().EndsWith("getting_started.html"));
        help.ShowContents();
        Settle(200);
    }
    // A missing book: nothing shows and nothing is said.
    CHelpService::SetBookFile("/nonexistent/tessary.hhp");
    {
        CHelpService help(owner);
        help.ShowContext(98320);
        help.ShowContents();
        EXPECT_EQ(help.Controller(), nullptr);
        EXPECT_FALSE(help.BookMaps(98320));
    }
    CHelpService::SetBookFile({});
    owner->Destroy();
    Settle(100);
}
