#include "platform/Browser.h"

#include <wx/log.h>
#include <wx/utils.h>

#include <utility>

namespace {
bool g_bTestMode = false;
std::vector<std::string> g_opened;
} // namespace

void CBrowser::Open(const std::string& url) {
    if (g_bTestMode) {
        g_opened.push_back(url);
        return;
    }
    wxLogNull quiet;
    wxLaunchDefaultBrowser(wxString::FromUTF8(url));
}

void CBrowser::EnableTestMode() {
    g_bTestMode = true;
    g_opened.clear();
}

void CBrowser::DisableTestMode() {
    g_bTestMode = false;
    g_opened.clear();
}

std::vector<std::string> CBrowser::TakeOpened() {
    return std::exchange(g_opened, {});
}
