#include "dialogs/DlgOpenUrl.h"

#include "res/CommandIds.h"
#include "res/Resources.h"

#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/xrc/xmlres.h>

CDlgOpenUrl::CDlgOpenUrl(wxWindow* parent) {
    resources::Initialize();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_OPEN_URL");
    if (auto* edit = dynamic_cast<wxTextCtrl*>(FindWindow(ids::IDC_URL))) {
        edit->SetMaxLength(255);
        edit->SetValidator(wxGenericValidator(&m_strUrl));
    }
    Fit();
    CentreOnParent();
}

bool CDlgOpenUrl::TransferDataFromWindow() {
    if (!wxDialog::TransferDataFromWindow())
        return false;
    m_strUrl.Trim(true).Trim(false);
    return true;
}

bool CDlgOpenUrl::Run(wxWindow* parent, std::string& url) {
    CDlgOpenUrl dialog(parent);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    url = dialog.m_strUrl.utf8_string();
    return true;
}
