#pragma once
// The help book behind the Help menu, F1 and context help. Failures show
// nothing. Tests switch the service to a recorder, so no help window opens.

#include <memory>
#include <ostream>
#include <string>
#include <vector>

class wxHtmlHelpController;
class wxHtmlHelpData;
class wxWindow;

struct CHelpRequest {
    bool m_bContents = false; // the table of contents rather than a topic
    int m_nContext = 0;
    bool operator==(const CHelpRequest&) const = default;
};

// For test failures: "{contents}" or "{topic N}".
inline std::ostream& operator<<(std::ostream& out, const CHelpRequest& r) {
    return r.m_bContents ? out << "{contents}" : out << "{topic " << r.m_nContext << "}";
}

class CHelpService {
public:
    // Contexts are a command's or control's number plus this; 0 is the
    // book's default topic.
    static constexpr int kContextBase = 0x10000;

    explicit CHelpService(wxWindow* parent);
    ~CHelpService();
    CHelpService(const CHelpService&) = delete;
    CHelpService& operator=(const CHelpService&) = delete;

    // The book's .hhp file: the program's own unless one was set.
    static void SetBookFile(const std::string& path);
    static std::string BookFile();

    // The context of a command or control id, from its 16-bit number.
    static int ContextOf(int id);

    void ShowContents();
    void ShowContext(int context);
    // The topic of a window's command or control id where the book has one,
    // else the default topic.
    void ShowContextHelp(int id);
    bool BookMaps(int context);

    // Closes the help window, if one is open.
    void Close();

    // The help window's controller; null until help was first shown.
    wxHtmlHelpController* Controller() const { return m_pController.get(); }

    static void EnableTestMode();
    static void DisableTestMode();
    static std::vector<CHelpRequest> TakeRequests();

private:
    bool EnsureController();

    wxWindow* m_pParent;
    std::unique_ptr<wxHtmlHelpController> m_pController;
    std::unique_ptr<wxHtmlHelpData> m_pMap;
    std::string m_strMapBook;
};
