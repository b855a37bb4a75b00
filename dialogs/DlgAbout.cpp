#include "dialogs/DlgAbout.h"

#include "platform/Browser.h"
#include "res/CommandIds.h"
#include "res/Resources.h"
#include "res/StringTable.h"

#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/xrc/xmlres.h>

namespace {

constexpr int IDC_VISIT_WEBSITE = 1019;

void RegisterIds() {
    wxXmlResource::GetXRCID("IDD_ABOUT", ids::IDD_ABOUT);
    wxXmlResource::GetXRCID("IDC_VISIT_WEBSITE", IDC_VISIT_WEBSITE);
}

} // namespace

CDlgAbout::CDlgAbout(wxWindow* parent) {
    resources::Initialize();
    RegisterIds();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_ABOUT");
    if (auto* icon = dynamic_cast<wxStaticBitmap*>(FindWindow("IDC_ABOUT_ICON"))) {
        const wxSize size = icon->GetSize();
        icon->SetBitmap(resources::Icon("app.svg", size.x, size.y));
    }
    if (auto* version = dynamic_cast<wxStaticText*>(FindWindow("IDC_ABOUT_VERSION")))
        version->SetLabelText(kVersionLine);
    if (auto* address = dynamic_cast<wxStaticText*>(FindWindow("IDC_ABOUT_ADDRESS")))
        address->SetLabelText(AddressLine());
    SetClientSize(ConvertDialogToPixels(wxSize(235, 63)));
    // Not resizable: the controls sit at fixed places.
    SetSizeHints(GetSize(), GetSize());
    CentreOnParent();
    Bind(wxEVT_BUTTON, &CDlgAbout::OnVisitWebsite, this, IDC_VISIT_WEBSITE);
}

void CDlgAbout::Run(wxWindow* parent) {
    CDlgAbout dlg(parent);
    dlg.ShowModal();
}

wxString CDlgAbout::AddressLine() {
    wxString page = wxString::FromUTF8(CStringTable::Load(strid::IDS_HOME_PAGE));
    if (page.EndsWith("/"))
        page.RemoveLast();
    return page;
}

void CDlgAbout::OnVisitWebsite(wxCommandEvent&) {
    // Opened again on every press; the dialog stays.
    CBrowser::Open(CStringTable::Load(strid::IDS_HOME_PAGE));
}
