// CHookClient on Windows, for now a stand-in that never starts: the snippet
// menu reports that the hook is missing. The real one loads the hook DLL
// (hook/win/) and points it at the main frame's HWND; the DLL's WH_MOUSE_LL
// hook posts a registered window message for each right-click.

#include "platform/HookClient.h"

#include "res/Messages.h"

// The X event watch of the other systems; nothing to watch here.
class CGdkEventWatch {};

CHookClient::CHookClient() = default;

CHookClient::~CHookClient() = default;

bool CHookClient::Attach(wxWindow*, std::function<void(const SHookClick&)> onClick) {
    m_fnOnClick = std::move(onClick);
    return true;
}

void CHookClient::Detach() {
    Stop();
    m_fnOnClick = nullptr;
}

bool CHookClient::Start(std::string& error) {
    error = "not available on Windows yet";
    return false;
}

void CHookClient::Stop() {
    m_bStarted = false;
}
