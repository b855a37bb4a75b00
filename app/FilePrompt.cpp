#include "app/FilePrompt.h"

#include <wx/app.h>
#include <wx/filedlg.h>

#include <deque>

namespace {
struct TestState {
    bool enabled = false;
    std::deque<std::string> answers;
    FilePromptRequest last;
};
TestState& State() {
    static TestState state;
    return state;
}
} // namespace

std::optional<std::string> CFilePrompt::Ask(const FilePromptRequest& request) {
    if (State().enabled) {
        State().last = request;
        if (State().answers.empty())
            return std::nullopt;
        std::string answer = State().answers.front();
        State().answers.pop_front();
        if (answer.empty())
            return std::nullopt;
        return answer;
    }
    const long style =
        request.save ? (wxFD_SAVE | wxFD_OVERWRITE_PROMPT) : (wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    wxFileDialog dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr,
                        wxString::FromUTF8(request.title), wxString::FromUTF8(request.directory),
                        wxString::FromUTF8(request.defaultName),
                        wxString::FromUTF8(request.wildcard), style);
    if (dialog.ShowModal() != wxID_OK)
        return std::nullopt;
    return dialog.GetPath().utf8_string();
}

void CFilePrompt::EnableTestMode() {
    State() = TestState{};
    State().enabled = true;
}

void CFilePrompt::DisableTestMode() {
    State() = TestState{};
}

void CFilePrompt::QueueAnswer(const std::string& path) {
    State().answers.push_back(path);
}

const FilePromptRequest& CFilePrompt::LastRequest() {
    return State().last;
}
