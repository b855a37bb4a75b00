// The mouse hook's library on Windows, for now with its entry points only:
// StartHook reports that no hook can be set. The real one sets a WH_MOUSE_LL
// hook on a thread of its own, swallows right-clicks without Shift, Ctrl or
// Alt, and posts each to the window given to SetHwndClient (the clicked
// top-level window from WindowFromPoint and GetAncestor(GA_ROOT)).

#include "hook/zqMouseHook.h"

#include <atomic>

namespace {
std::atomic<unsigned long> g_client{0};
std::atomic<int> g_lastError{ZQ_HOOK_OK};
} // namespace

extern "C" {

__declspec(dllexport) void SetHwndClient(unsigned long window) {
    g_client = window;
}

__declspec(dllexport) int StartHook(void) {
    g_lastError = g_client ? ZQ_HOOK_NO_DISPLAY : ZQ_HOOK_NO_CLIENT;
    return g_lastError;
}

__declspec(dllexport) void StopHook(void) {}

__declspec(dllexport) int GetHookLastError(void) {
    return g_lastError;
}
}
