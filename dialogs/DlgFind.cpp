#include "dialogs/DlgFind.h"

#include "res/Resources.h"

#include <wx/textctrl.h>
#include <wx/valgen.h>
#include <wx/xrc/xmlres.h>

CDlgFind::CDlgFind(wxWindow* parent, const std::string& text)
    : m_strText(wxString::FromUTF8(text)) {
    resources::Initialize();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_FIND");
    if (auto* edit = XRCCTRL(*this, "IDC_FIND_TEXT", wxTextCtrl)) {
        edit->SetValidator(wxGenericValidator(&m_strText));
        // Typing replaces the last search; an arrow key keeps it.
        edit->SetValue(m_strText);
        edit->SelectAll();
        edit->SetFocus();
    }
    Fit();
    CentreOnParent();
}

bool CDlgFind::Run(wxWindow* parent, std::string& text) {
    CDlgFind dialog(parent, text);
    if (dialog.ShowModal() != wxID_OK)
        return false;
    text = dialog.m_strText.utf8_string();
    return true;
}
