#include "app/MessageBox.h"

#include "res/StringTable.h"

#include <wx/app.h>
#include <wx/msgdlg.h>
#include <wx/window.h>

namespace {
struct TestState {
    bool enabled = false;
    std::deque<Answer> answers;
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

Answer CMessageBox::AskYesNoCancel(const std::string& text) {
    if (State().enabled) {
        State().shown.push_back(text);
        if (State().answers.empty())
            return Answer::Cancel;
        const Answer a = State().answers.front();
        State().answers.pop_front();
        return a;
    }
    switch (wxMessageBox(wxString::FromUTF8(text), msg::kAppTitle,
                         wxYES_NO | wxCANCEL | wxICON_EXCLAMATION, Parent())) {
    case wxYES:
        return Answer::Yes;
    case wxNO:
        return Answer::No;
    default:
        return Answer::Cancel;
    }
}

void CMessageBox::EnableTestMode() {
    State() = TestState{};
    State().enabled = true;
}

void CMessageBox::DisableTestMode() {
    State() = TestState{};
}

void CMessageBox::QueueAnswer(Answer answer) {
    State().answers.push_back(answer);
}

std::vector<std::string> CMessageBox::TakeShown() {
    std::vector<std::string> out;
    out.swap(State().shown);
    return out;
}
