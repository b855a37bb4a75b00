#include "app/FilePrompt.h"

#include "app/MessageBox.h"
#include "res/StringTable.h"

#include <wx/app.h>
#include <wx/filedlg.h>
#include <wx/filename.h>

#include <deque>

namespace {
struct TestState {
    bool enabled = false;
    std::deque<std::string> answers;
    SFilePromptRequest last;
};
TestState& State() {
    static TestState state;
    return state;
}
} // namespace

namespace {

// One answer of the dialog itself, or of the test queue.
std::optional<std::string> AskOnce(const SFilePromptRequest& request) {
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

} // namespace

std::optional<std::string> CFilePrompt::Ask(const SFilePromptRequest& request) {
    for (;;) {
        std::optional<std::string> chosen = AskOnce(request);
        if (!chosen || !request.save || request.defaultExtension.empty())
            return chosen;
        wxFileName name(wxString::FromUTF8(*chosen));
        if (name.HasExt())
            return chosen; // the dialog itself asked about this very name
        // The dialog checked the name as typed; the file written carries the
        // extension, so the question is asked here for that name.
        name.SetExt(wxString::FromUTF8(request.defaultExtension));
        const std::string path = name.GetFullPath().utf8_string();
        if (!name.Exists())
            return path;
        const wxString question =
            wxString::Format(wxString::FromUTF8(msg::kReplaceExisting), name.GetFullName());
        if (CMessageBox::AskYesNo(question.utf8_string()) == EAnswer::Yes)
            return path;
    }
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

const SFilePromptRequest& CFilePrompt::LastRequest() {
    return State().last;
}
