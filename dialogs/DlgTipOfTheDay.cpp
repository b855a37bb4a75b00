#include "dialogs/DlgTipOfTheDay.h"

#include "app/Settings.h"
#include "res/CommandIds.h"
#include "res/Messages.h"
#include "res/Resources.h"

#include <wx/checkbox.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>
#include <wx/xrc/xmlres.h>

namespace {

constexpr int IDC_NEXT_TIP = 1033;
constexpr int IDC_SHOW_TIPS = 1034;
constexpr int IDC_TIP_TEXT = 1036;

void RegisterIds() {
    wxXmlResource::GetXRCID("IDD_TIP", ids::IDD_TIP);
    wxXmlResource::GetXRCID("IDC_NEXT_TIP", IDC_NEXT_TIP);
    wxXmlResource::GetXRCID("IDC_SHOW_TIPS", IDC_SHOW_TIPS);
    wxXmlResource::GetXRCID("IDC_TIP_TEXT", IDC_TIP_TEXT);
}

void RunTip(wxWindow* parent, SSettings& settings, std::int32_t showTips) {
    CDlgTip dlg(parent);
    dlg.m_nTip = settings.m_nCurrentTip;
    dlg.m_bShowTips = showTips;
    dlg.ShowModal();
    settings.m_nShowTips = dlg.m_bShowTips;
    // Wraps rather than overflows should the dialog never have shown a tip.
    settings.m_nCurrentTip = static_cast<std::int32_t>(static_cast<std::uint32_t>(dlg.m_nTip) + 1u);
}

} // namespace

const std::array<const char*, CDlgTip::kTipCount>& CDlgTip::Tips() {
    static const std::array<const char*, kTipCount> tips = {
        msg::kTip0, msg::kTip1, msg::kTip2, msg::kTip3, msg::kTip4,
        msg::kTip5, msg::kTip6, msg::kTip7, msg::kTip8,
    };
    return tips;
}

CDlgTip::CDlgTip(wxWindow* parent) {
    resources::Initialize();
    RegisterIds();
    wxXmlResource::Get()->LoadDialog(this, parent, "IDD_TIP");
    m_chkShowTips = dynamic_cast<wxCheckBox*>(FindWindow(IDC_SHOW_TIPS));
    m_editTip = dynamic_cast<wxTextCtrl*>(FindWindow(IDC_TIP_TEXT));
    if (m_editTip)
        // Read-only text on the dialog's own face, as a box without a border shows it.
        m_editTip->SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
    if (auto* icon = dynamic_cast<wxStaticBitmap*>(FindWindow("IDC_TIP_ICON"))) {
        const wxSize size = icon->GetSize();
        icon->SetBitmap(resources::Icon("tip.svg", size.x, size.y));
    }
    SetClientSize(ConvertDialogToPixels(wxSize(209, 81)));
    // Not resizable: the controls sit at fixed places.
    SetSizeHints(GetSize(), GetSize());
    CentreOnParent();

    Bind(wxEVT_BUTTON, &CDlgTip::OnNextTip, this, IDC_NEXT_TIP);
    Bind(wxEVT_CHAR_HOOK, &CDlgTip::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CDlgTip::OnCloseWindow, this);
}

void CDlgTip::ShowTip() {
    if (m_nTip < 0 || m_nTip >= kTipCount)
        m_nTip = 0;
    if (!m_editTip)
        return;
    // The text control of this toolkit breaks lines at LF alone.
    wxString text = wxString::FromUTF8(Tips()[static_cast<std::size_t>(m_nTip)]);
    text.Replace("\r\n", "\n");
    m_editTip->ChangeValue(text);
}

bool CDlgTip::TransferDataToWindow() {
    if (m_chkShowTips)
        m_chkShowTips->SetValue(m_bShowTips != 0);
    ShowTip();
    return true;
}

bool CDlgTip::TransferDataFromWindow() {
    if (m_chkShowTips)
        m_bShowTips = m_chkShowTips->GetValue() ? 1 : 0;
    return true;
}

void CDlgTip::OnNextTip(wxCommandEvent&) {
    ++m_nTip;
    ShowTip();
}

void CDlgTip::OnCharHook(wxKeyEvent& event) {
    // Escape cancels: the check box is not read. The framework would press
    // the only button there is, Close.
    if (event.GetKeyCode() == WXK_ESCAPE) {
        Cancel();
        return;
    }
    // Return in the tip box presses Close, as in a box that does not want Return.
    if ((event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) &&
        FindFocus() == m_editTip) {
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        click.SetEventObject(FindWindow(wxID_OK));
        ProcessWindowEvent(click);
        return;
    }
    event.Skip();
}

void CDlgTip::OnCloseWindow(wxCloseEvent&) {
    // The title bar's close button cancels, as Escape does.
    Cancel();
}

void CDlgTip::Cancel() {
    if (IsModal())
        EndModal(wxID_CANCEL);
    else
        Hide();
}

void RunTipOfTheDay(wxWindow* parent, SSettings& settings) {
    RunTip(parent, settings, settings.m_nShowTips);
}

void ShowStartupTip(wxWindow* parent, SSettings& settings) {
    if (settings.m_nShowTips != 1)
        return;
    RunTip(parent, settings, 1);
}
