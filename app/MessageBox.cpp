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

namespace {
Answer TakeQueued(const std::string& text, Answer whenNone) {
    State().shown.push_back(text);
    if (State().answers.empty())
        return whenNone;
    const Answer a = State().answers.front();
    State().answers.pop_front();
    return a;
}
} // namespace

Answer CMessageBox::AskYesNo(const std::string& text) {
    if (State().enabled)
        return TakeQueued(text, Answer::No);
    return wxMessageBox(wxString::FromUTF8(text), msg::kAppTitle, wxYES_NO | wxICON_QUESTION,
                        Parent()) == wxYES
               ? Answer::Yes
               : Answer::No;
}

Answer CMessageBox::AskYesNoCancel(const std::string& text) {
    if (State().enabled)
        return TakeQueued(text, Answer::Cancel);
    switch (wxMessageBox(wxString::FromUTF8(text), msg::kAppTitle,
                         wxYES_NO | wxCANCEL | wxICON_QUESTION, Parent())) {
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
