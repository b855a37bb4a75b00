// The main frame under a real window manager: stored position, close order,
// status bar, dockable toolbar and its tooltips, help and web commands.

#include "app/HelpService.h"
#include "platform/Browser.h"
#include "platform/KeyboardLocks.h"
#include "res/CommandIds.h"
#include "res/StringTable.h"
#include "support/AppFixture.h"

#include <wx/aui/auibar.h>
#include <wx/config.h>
#include <wx/display.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/tooltip.h>

namespace {

class MainFrameTest : public CAppFixture {
protected:
    void SetUp() override {
        CAppFixture::SetUp();
        CHelpService::SetBookFile(TESSARY_HELP_BOOK);
    }
    static std::string Stored() { return CSettingsStore::ReadPosition(*wxConfigBase::Get()); }
    static void Store(const std::string& text) {
        CSettingsStore::WritePosition(*wxConfigBase::Get(), text);
    }
    void Restart() {
        CloseFrame();
        StartShown();
    }
    wxPoint ToolCentre(int id) const {
        const wxRect r = Frame()->ToolBar()->GetToolRect(id);
        return Frame()->ToolBar()->ClientToScreen(r.GetPosition() + r.GetSize() / 2);
    }
};

} // namespace

TEST_F(MainFrameTest, TheNormalRectangleIsStoredAndComesBackExactly) {
#ifdef _WIN32
    GTEST_SKIP() << "Wine places a frame by its own non-client area, not the window manager's, so "
                    "the stored rectangle cannot come back to the pixel";
#endif
    Store("0100 0100 0740 0580 ");
    StartShown();
    EXPECT_TRUE(Placed(wxRect(100, 100, 640, 480)));
    // Moved, then maximised: it keeps the normal rectangle to store.
    Frame()->Move(137, 123);
    ASSERT_TRUE(WaitFor("the moved rectangle taken",
                        [this] { return Frame()->PositionText() == "0137 0123 0777 0603 "; }));
    Frame()->Maximize(true);
    ASSERT_TRUE(WaitFor("the maximised window", [this] { return Frame()->IsMaximized(); }));
    Restart();
    EXPECT_FALSE(Frame()->IsMaximized());
    EXPECT_TRUE(Placed(wxRect(137, 123, 640, 480)));
    // Made smaller than the minimum by its corner, as a person does.
    const wxRect r = Frame()->GetRect();
    Drag(r.GetBottomRight() - wxPoint(1, 1), {r.GetTopLeft() + wxPoint(60, 40)});
    const wxRect placed(137, 123, 350, 300);
    EXPECT_TRUE(Placed(placed));
    // Nothing drifts by the window manager's frame from one run to the next.
    for (int run = 0; run < 2; ++run) {
        Restart();
        EXPECT_TRUE(Placed(placed));
    }
    CloseFrame();
    EXPECT_EQ(Stored(), "0137 0123 0487 0423 ");
}

TEST_F(MainFrameTest, OnlyARectangleOverlappingThePrimaryScreenIsApplied) {
    // One column at the primary screen's right is on it; one more, as on a
    // second monitor, is not.
    const int right = wxDisplay().GetGeometry().GetRight();
    for (const int left : {right, right + 1}) {
        Store(CSettingsStore::FormatPosition(left, 100, left + 500, 500));
        StartShown();
        const auto stored = [this] { return Frame()->GetSize() == wxSize(500, 400); };
        EXPECT_TRUE(left == right ? WaitFor("the stored size", stored) : !stored()) << Stored();
        CloseFrame();
    }
}

TEST_F(MainFrameTest, CloseWritesSettingsAndPositionBeforeTheSaveQuestion) {
    StartShown();
    Doc()->Settings().m_nCurrentTip = 7;
    Doc()->Modify(true);
    Frame()->SetSize(wxRect(120, 60, 700, 500));
    ASSERT_TRUE(Placed(wxRect(120, 60, 700, 500)));
    CMessageBox::QueueAnswer(EAnswer::Cancel);
    CloseFrame(false);
    EXPECT_EQ(Messages(), Strings{"Save changes to Untitled?"});
    // Written before the question, and kept although the close was cancelled.
    EXPECT_EQ(Stored() + std::to_string(CSettingsStore::Load(*wxConfigBase::Get()).m_nCurrentTip),
              "0120 0060 0820 0560 7");
    ASSERT_NE(Frame(), nullptr);
    EXPECT_TRUE(Doc()->IsModified() && !Frame()->IsBeingDeleted());
    CMessageBox::QueueAnswer(EAnswer::No);
    CloseFrame(false);
    EXPECT_EQ(Frame(), nullptr);
}

TEST_F(MainFrameTest, TheStatusBarShowsOnlyTheProgramsTextsAndTheLocks) {
    StartShown();
    wxStatusBar* bar = Frame()->StatusBar();
    // No prompt reaches it from the pointer on the toolbar, whose tooltips
    // are the short prompts.
    Frame()->SetStatusText("Constructing tree...");
    m_sim.MouseMove(ToolCentre(ids::ID_FILE_SAVE));
    EXPECT_TRUE(WaitFor("the tooltip", [&] {
        return Frame()->ToolBar()->GetToolTip() &&
               Frame()->ToolBar()->GetToolTip()->GetTip() == "Save";
    }));
    EXPECT_EQ(bar->GetStatusText(0), "Constructing tree...");
    // The indicator follows its lock, pressed as a person does.
    const bool caps = CKeyboardLocks::Query().m_bCaps;
    for (const bool on : {!caps, caps}) {
        Press(WXK_CAPITAL);
        EXPECT_TRUE(WaitFor("CAP", [&] { return bar->GetStatusText(1) == (on ? "CAP" : ""); }));
    }
}

TEST_F(MainFrameTest, HelpAndWebCommandsAskForTheirTopicsAndPages) {
    StartShown();
    for (int id : {ids::ID_HELP_TOPICS, ids::ID_TECH_SUPPORT, ids::ID_HELP})
        Command(id);
    // F1 is Help. The book knows commands from 0x8000 up by their full
    // number; a help click on the toolbar asks about the button under the
    // pointer; a window the book has no topic for gets the default one.
    ASSERT_TRUE(FocusOn(Tree()));
    Press(WXK_F1);
    Frame()->Help().ShowContextHelp(ids::ID_FILE_NEW);
    for (wxWindow* window : std::initializer_list<wxWindow*>{Frame()->ToolBar(), Tree()}) {
        wxHelpEvent click(wxEVT_HELP, window->GetId(), ToolCentre(ids::ID_ADD_MENU_ITEM));
        click.SetEventObject(window);
        window->GetEventHandler()->ProcessEvent(click);
    }
    const std::vector<CHelpRequest> want = {
        {true, 0},  {false, 98320},           {false, 0},
        {false, 0}, {false, 0x10000 + 57600}, {false, 0x10000 + 162},
        {false, 0}};
    EXPECT_EQ(CHelpService::TakeRequests(), want);
    Command(ids::ID_HELP_FAQ);
    Command(ids::ID_HELP_EXAMPLES);
    EXPECT_EQ(CBrowser::TakeOpened(), (Strings{CStringTable::Load(strid::IDS_FAQ_PAGE),
                                               CStringTable::Load(strid::IDS_EXAMPLES_PAGE)}));
    EXPECT_TRUE(Messages().empty() && Frame()->StatusBar()->GetStatusText(0).empty());
}

// The real help window on the real book goes with the main window; a missing
// book shows and says nothing.
TEST_F(MainFrameTest, TheRealBookOpensItsTopicsAndGoesWithTheMainWindow) {
    CHelpService::DisableTestMode();
    StartShown();
    Command(ids::ID_TECH_SUPPORT);
    ASSERT_NE(Frame()->Help().Controller(), nullptr);
    EXPECT_TRUE(
        Frame()->Help().Controller()->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage().EndsWith(
            "troubleshooting.html#support"));
    CloseFrame();
    EXPECT_TRUE(WaitFor("every window to go", [] { return wxTopLevelWindows.empty(); }));
    CHelpService::SetBookFile("/nonexistent/tessary.hhp");
    StartShown();
    Command(ids::ID_TECH_SUPPORT);
    EXPECT_TRUE(Frame()->Help().Controller() == nullptr && Messages().empty());
}
