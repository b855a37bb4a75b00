#pragma once
// File and text prompts of the program. Tests queue answers instead of
// showing a dialog.

#include <optional>
#include <string>

struct SFilePromptRequest {
    std::string title;
    std::string wildcard;  // e.g. "XML (*.xml)|*.xml"
    std::string directory; // empty: the system's choice
    std::string defaultName;
    // Added to a name typed without an extension, e.g. "xml".
    std::string defaultExtension;
    bool save = false; // a save dialog asks before overwriting
};

// Filters of the libraries' dialogs; files written on Windows often end in .XML.
namespace file_filters {
inline constexpr const char* kXml = "(*.xml)|*.xml;*.XML";
inline constexpr const char* kXmlDocument = "XML (*.xml)|*.xml;*.XML";
} // namespace file_filters

class CFilePrompt {
public:
    // The chosen full path, or nothing when the user cancels. A save prompt
    // asks before replacing the file that is really written, default
    // extension included, and asks again for a name when the answer is No.
    static std::optional<std::string> Ask(const SFilePromptRequest& request);

    static void EnableTestMode();
    static void DisableTestMode();
    // An empty answer stands for Cancel.
    static void QueueAnswer(const std::string& path);
    static const SFilePromptRequest& LastRequest();
};
