#include "app/MessageBox.h"

#include "res/StringTable.h"

#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/window.h>
#include <wx/xrc/xmlres.h>

namespace {
struct TestState {
    bool enabled = false;
    std::deque<EAnswer> answers;
    std::vector<std::string> shown;
};
TestState& State() {
    static TestState state;
    return state;
}
wxWindow* Parent() {
    wxWindow* top = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    return top && top->IsShown() ? top : nullptr;
}
} // namespace

void CMessageBox::Show(const std::string& text) {
    if (State().enabled) {
        State().shown.push_back(text);
        return;
    }
    wxMessageBox(wxString::FromUTF8(text), msg::kAppTitle, wxOK | wxICON_EXCLAMATION, Parent());
}

namespace {
EAnswer TakeQueued(const std::string& text, EAnswer whenNone) {
    State().shown.push_back(text);
    if (State().answers.empty())
        return whenNone;
    const EAnswer a = State().answers.front();
    State().answers.pop_front();
    return a;
}
} // namespace

EAnswer CMessageBox::AskYesNo(const std::string& text) {
    if (State().enabled)
        return TakeQueued(text, EAnswer::No);
    return wxMessageBox(wxString::FromUTF8(text), msg::kAppTitle, wxYES_NO | wxICON_QUESTION,
                        Parent()) == wxYES
               ? EAnswer::Yes
               : EAnswer::No;
}

EAnswer CMessageBox::AskYesNo(const std::string& text, const std::string& yes,
                              const std::string& no) {
    if (State().enabled)
        return TakeQueued(text, EAnswer::No);
    wxMessageDialog dlg(Parent(), wxString::FromUTF8(text), msg::kAppTitle,
                        wxYES_NO | wxICON_QUESTION);
    dlg.SetYesNoLabels(wxString::FromUTF8(yes), wxString::FromUTF8(no));
    return dlg.ShowModal() == wxID_YES ? EAnswer::Yes : EAnswer::No;
}

bool CMessageBox::ShowWithCheckBox(const std::string& text, const std::string& checkBox) {
    if (State().enabled)
        return TakeQueued(text, EAnswer::No) == EAnswer::Yes;
    // A dialog of fixed layout: the toolkit's message box squeezes long
    // lines and then leaves the box unpainted.
    wxDialog dlg;
    if (!wxXmlResource::Get()->LoadDialog(&dlg, Parent(), "IDD_NOTICE"))
        return false;
    auto* label = dynamic_cast<wxStaticText*>(dlg.FindWindow(XRCID("IDC_NOTICE_TEXT")));
    auto* box = dynamic_cast<wxCheckBox*>(dlg.FindWindow(XRCID("IDC_DO_NOT_SHOW")));
    if (label)
        label->SetLabel(wxString::FromUTF8(text));
    if (box)
        box->SetLabel(wxString::FromUTF8(checkBox));
    if (wxWindow* ok = dlg.FindWindow(wxID_OK))
        ok->SetFocus();
    dlg.CentreOnScreen();
    dlg.ShowModal();
    return box && box->GetValue();
}

EAnswer CMessageBox::AskYesNoCancel(const std::string& text) {
    if (State().enabled)
        return TakeQueued(text, EAnswer::Cancel);
    switch (wxMessageBox(wxString::FromUTF8(text), msg::kAppTitle,
                         wxYES_NO | wxCANCEL | wxICON_QUESTION, Parent())) {
    case wxYES:
        return EAnswer::Yes;
    case wxNO:
        return EAnswer::No;
    default:
        return EAnswer::Cancel;
    }
}

void CMessageBox::EnableTestMode() {
    State() = TestState{};
    State().enabled = true;
}

void CMessageBox::DisableTestMode() {
    State() = TestState{};
}

void CMessageBox::QueueAnswer(EAnswer answer) {
    State().answers.push_back(answer);
}

std::vector<std::string> CMessageBox::TakeShown() {
    std::vector<std::string> out;
    out.swap(State().shown);
    return out;
}
