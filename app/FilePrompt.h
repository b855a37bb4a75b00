#pragma once
// File and text prompts of the program. Tests queue answers instead of
// showing a dialog.

#include <optional>
#include <string>

struct FilePromptRequest {
    std::string title;
    std::string wildcard;  // e.g. "XML (*.xml)|*.xml"
    std::string directory; // empty: the system's choice
    std::string defaultName;
    bool save = false; // a save dialog asks before overwriting
};

class CFilePrompt {
public:
    // The chosen full path, or nothing when the user cancels.
    static std::optional<std::string> Ask(const FilePromptRequest& request);

    static void EnableTestMode();
    static void DisableTestMode();
    // An empty answer stands for Cancel.
    static void QueueAnswer(const std::string& path);
    static const FilePromptRequest& LastRequest();
};
