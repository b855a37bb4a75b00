#include "support/AppFixture.h"

#include "app/NativePath.h"
#include "res/Resources.h"
#include "support/GuiTest.h"

#include <wx/app.h>
#include <wx/fileconf.h>

void CAppFixture::SetUp() {
    CMessageBox::EnableTestMode();
    CFilePrompt::EnableTestMode();
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
    wxDocument* doc = file.empty()
                          ? m_pManager->CreateDocument(wxString(), wxDOC_NEW)
                          : m_pManager->CreateDocument(native_path::ToWx(file), wxDOC_SILENT);
    if (!doc)
        return false;
    m_pFrame->ActivateFrame();
    m_pFrame->Show();
    Settle(50);
    return true;
}

void CAppFixture::Stop() {
    if (m_pFrame) {
        if (Doc())
            Doc()->Modify(false);
        m_pFrame->Close(true);
        m_pFrame = nullptr;
        Settle(20);
    }
    delete m_pManager;
    m_pManager = nullptr;
}

void CAppFixture::CloseFrame(bool force) {
    if (!m_pFrame)
        return;
    wxWindow* frame = m_pFrame;
    const bool closed = frame->Close(force);
    if (closed) {
        m_pFrame = nullptr;
        Settle(20);
    }
}

CTessaryView* CAppFixture::View() const {
    CTessaryDoc* doc = Doc();
    return doc ? dynamic_cast<CTessaryView*>(doc->GetFirstView()) : nullptr;
}

void CAppFixture::Command(int id) {
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(m_pFrame);
    m_pFrame->GetEventHandler()->ProcessEvent(event);
}

std::vector<std::string> CAppFixture::TreeLabels() const {
    std::vector<std::string> out;
    wxTreeCtrl* tree = View()->Tree();
    std::function<void(const wxTreeItemId&, int)> walk = [&](const wxTreeItemId& item, int depth) {
        out.push_back(std::string(static_cast<size_t>(depth) * 2, ' ') +
                      tree->GetItemText(item).utf8_string());
        wxTreeItemIdValue cookie;
        for (wxTreeItemId c = tree->GetFirstChild(item, cookie); c.IsOk();
             c = tree->GetNextChild(item, cookie))
            walk(c, depth + 1);
    };
    if (tree->GetRootItem().IsOk())
        walk(tree->GetRootItem(), 0);
    return out;
}

std::string CAppFixture::Write(const std::string& name, const std::string& bytes) const {
    const std::string path = m_dir.File(name);
    CTempDir::Write(path, bytes);
    return path;
}
