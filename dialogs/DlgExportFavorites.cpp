#include "dialogs/DlgExportFavorites.h"

#include "app/FilePrompt.h"
#include "app/MessageBox.h"
#include "app/StatusText.h"
#include "favorites/FavoritesExporter.h"
#include "res/CommandIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"

#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

namespace {

constexpr int IDC_BROWSE = 1013;
constexpr int IDC_EXPORT_PATH = 1014;

void RegisterIds() {
    wxXmlResource::GetXRCID("IDD_EXPORT_FAVORITES", ids::IDD_EXPORT_FAVORITES);
    wxXmlResource::GetXRCID("IDC_BROWSE", IDC_BROWSE);
    wxXmlResource::GetXRCID("IDC_EXPORT_PATH", IDC_EXPORT_PATH);
}

} // namespace

CDlgExportFavorites::CDlgExportFavorites(wxWindow* parent) {
    resources::Initialize();
    RegisterIds();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_EXPORT_FAVORITES");
    m_editPath = dynamic_cast<wxTextCtrl*>(FindWindow(IDC_EXPORT_PATH));
    if (m_editPath)
        m_editPath->SetMaxLength(kMaxPath);
    SetClientSize(ConvertDialogToPixels(wxSize(186, 94)));
    // Not resizable: the controls sit at fixed places.
    SetSizeHints(GetSize(), GetSize());
    CentreOnParent();
    Bind(wxEVT_BUTTON, &CDlgExportFavorites::OnBrowse, this, IDC_BROWSE);
    // The path field has the focus at opening, so a typed path lands there.
    Bind(wxEVT_INIT_DIALOG, [this](wxInitDialogEvent& event) {
        event.Skip();
        if (m_editPath)
            m_editPath->SetFocus();
    });
}

void CDlgExportFavorites::SetPathText(const wxString& path) {
    if (!m_editPath)
        return;
    // The field's limit would cut the path short, silently; a longer one
    // is refused with the message on OK instead.
    m_editPath->SetMaxLength(0);
    m_editPath->ChangeValue(path);
    if (path.length() <= kMaxPath)
        m_editPath->SetMaxLength(kMaxPath);
}

bool CDlgExportFavorites::TransferDataToWindow() {
    SetPathText(m_strPath);
    return true;
}

bool CDlgExportFavorites::TransferDataFromWindow() {
    if (!m_editPath)
        return true;
    const wxString text = m_editPath->GetValue();
    if (text.length() > kMaxPath) {
        CMessageBox::Show(wxString::Format(msg::kTooLong, int(kMaxPath)).utf8_string());
        m_editPath->SetFocus();
        m_editPath->SelectAll();
        return false;
    }
    m_strPath = text;
    return true;
}

void CDlgExportFavorites::OnBrowse(wxCommandEvent&) {
    SFilePromptRequest request;
    request.title = msg::kSaveFavoritesTitle;
    request.wildcard = file_filters::kXml;
    request.defaultName = "exportfav.xml";
    request.defaultExtension = "xml";
    request.save = true;
    const std::optional<std::string> chosen = CFilePrompt::Ask(request);
    if (!chosen)
        return;
    m_strPath = wxString::FromUTF8(*chosen);
    SetPathText(m_strPath);
}

void RunExportFavorites(wxWindow* parent) {
    CDlgExportFavorites dlg(parent);
    if (dlg.ShowModal() == wxID_OK) {
        CStatusText::Set(CStringTable::Load(strid::IDS_EXPORTING_FAVORITES));
        CFavoritesExporter exporter(dlg.m_strPath.utf8_string());
        const std::string message = CFavoritesExporter::Message(exporter.Run());
        if (!message.empty())
            CMessageBox::Show(message);
    }
    CStatusText::Set({});
}
