#include "support/AppFixture.h"

#include "app/HelpService.h"
#include "app/NativePath.h"
#include "platform/Browser.h"
#include "res/Resources.h"
#include "res/StringTable.h"

#include <wx/app.h>
#include <wx/fileconf.h>

void CAppFixture::SetUp() {
    CMessageBox::EnableTestMode();
    CFilePrompt::EnableTestMode();
    CHelpService::EnableTestMode();
    CBrowser::EnableTestMode();
    m_configPath = m_dir.File("Tessary.conf");
    delete wxConfigBase::Set(new wxFileConfig("Tessary", "MorvekLtd",
                                              wxString::FromUTF8(m_configPath), wxString(),
                                              wxCONFIG_USE_LOCAL_FILE));
    ASSERT_TRUE(resources::Initialize());
}

void CAppFixture::TearDown() {
    Stop();
    delete wxConfigBase::Set(nullptr);
    CFilePrompt::DisableTestMode();
    CMessageBox::DisableTestMode();
    CHelpService::DisableTestMode();
    CHelpService::SetBookFile({});
    CBrowser::DisableTestMode();
    CStringTable::SetVariant(EStringVariant::EnglishUS);
}

bool CAppFixture::Start(const std::string& file) {
    m_pManager = new CTessaryDocManager;
    new wxDocTemplate(m_pManager, "XML", "*.xml", wxString(), "xml", "Tessary.Document",
                      "Tessary View", CLASSINFO(CTessaryDoc), CLASSINFO(CTessaryView));
    m_pFrame = new CMainFrame(m_pManager);
    wxTheApp->SetTopWindow(m_pFrame);
    CStatusText::SetSink([this](const std::string& text) {
        m_status.push_back(text);
        m_pFrame->SetStatusText(wxString::FromUTF8(text));
    });
    if (!(file.empty() ? m_pManager->CreateDocument(wxString(), wxDOC_NEW)
                       : m_pManager->CreateDocument(native_path::ToWx(file), wxDOC_SILENT)))
        return false;
    m_pFrame->ActivateFrame();
    m_pFrame->Show();
    wxYield();
    return true;
}

void CAppFixture::StartShown(const std::string& file) {
    ASSERT_TRUE(Start(file));
    Frame()->Raise();
    ASSERT_TRUE(WaitFor("the main window to take the keyboard",
                        [this] { return Frame()->IsShownOnScreen() && Frame()->IsActive(); }));
}

bool CAppFixture::Placed(const wxRect& rect) {
    // The form takes its place below the toolbar once the frame has its size.
    return WaitFor("the window's place", [&] {
        const wxRect form = View()->Form()->GetRect();
        return Frame()->GetRect() == rect && form.GetRight() + 1 == Frame()->GetClientSize().x &&
               form.GetBottom() + 1 == Frame()->GetClientSize().y;
    });
}

void CAppFixture::Stop() {
    if (Doc())
        Doc()->Modify(false);
    CloseFrame();
    delete m_pManager;
    m_pManager = nullptr;
}

void CAppFixture::CloseFrame(bool force) {
    wxWindow* frame = m_pFrame;
    if (frame && frame->Close(force)) {
        m_pFrame = nullptr;
        WaitFor("the main window to go", [frame] { return !wxTopLevelWindows.Find(frame); });
    }
}

void CAppFixture::Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(m_pFrame);
    m_pFrame->GetEventHandler()->ProcessEvent(event);
}

Strings CAppFixture::TreeLabels() const {
    Strings out;
    std::function<void(wxTreeItemId, size_t)> walk = [&](wxTreeItemId item, size_t depth) {
        out.push_back(std::string(depth * 2, ' ') + Tree()->GetItemText(item).utf8_string());
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = Tree()->GetFirstChild(item, cookie); c.IsOk();
             c = Tree()->GetNextChild(item, cookie))
            walk(c, depth + 1);
    };
    if (Tree()->GetRootItem().IsOk())
        walk(Tree()->GetRootItem(), 0);
    return out;
}

bool CAppFixture::FocusOn(wxWindow* window) {
    window->SetFocus();
    return WaitFor("the focus", [window] { return wxWindow::FindFocus() == window; });
}

// The simulator waits for the server to take each event and lets the loop
// handle it; one more turn handles what the handlers queued in turn.
void CAppFixture::Press(int key, int modifiers) {
    m_sim.Char(key, modifiers);
    wxYield();
}

void CAppFixture::Type(const std::string& text) {
    m_sim.Text(text.c_str());
    wxYield();
}

void CAppFixture::Click(wxWindow* window) {
    m_sim.MouseMove(window->GetScreenRect().GetPosition() + window->GetSize() / 2);
    m_sim.MouseClick();
    wxYield();
}

void CAppFixture::Drag(const wxPoint& from, const std::vector<wxPoint>& path,
                       const std::function<void()>& held) {
    // A person does not press again before the last drop is over; the tree
    // may still hold the pointer or lay itself out after a drop.
    WaitFor("the last drag to end",
            [this] { return !View() || (!View()->IsDragging() && !Tree()->HasCapture()); });
    m_sim.MouseMove(from);
    wxYield();
    m_sim.MouseDown();
    wxPoint at = from;
    for (const wxPoint& to : path) {
        constexpr int kSteps = 6;
        for (int i = 1; i <= kSteps; ++i)
            m_sim.MouseMove(at + (to - at) * i / kSteps);
        at = to;
    }
    wxYield();
    if (held)
        held();
    m_sim.MouseUp();
    wxYield();
}

void CAppFixture::TakeKeyboard(wxDialog& dlg) {
    // Without a window manager the keyboard follows the pointer: rest it on
    // the dialog. The first keys of a new simulator can go missing while the
    // server switches input devices; a lone Shift settles it.
    m_sim.MouseMove(dlg.GetScreenRect().GetPosition() + wxPoint(5, 5));
    m_sim.KeyDown(WXK_SHIFT);
    m_sim.KeyUp(WXK_SHIFT);
    wxYield();
    if (!dlg.IsActive())
        dlg.Raise();
    WaitFor("the dialog to take the keyboard", [&dlg] { return dlg.IsActive(); });
}
