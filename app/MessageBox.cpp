#include "app/MessageBox.h"

#include "res/StringTable.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/richmsgdlg.h>
#include <wx/window.h>

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
    wxRichMessageDialog dlg(Parent(), wxString::FromUTF8(text), msg::kAppTitle,
                            wxOK | wxICON_INFORMATION);
    dlg.ShowCheckBox(wxString::FromUTF8(checkBox));
    dlg.ShowModal();
    return dlg.IsCheckBoxChecked();
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
