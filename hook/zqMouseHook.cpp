#include "hook/zqMouseHook.h"

#include "hook/HookThread.h"

#define ZQ_EXPORT __attribute__((visibility("default")))

namespace {
// At namespace scope: built when the library loads, before the program's own
// statics, and so destroyed after them; its destructor ends the thread.
CHookThread g_hook;
} // namespace

// No exception may cross into C callers.
extern "C" {

ZQ_EXPORT void SetHwndClient(unsigned long window) {
    g_hook.SetClient(window);
}

ZQ_EXPORT int StartHook(void) {
    try {
        return g_hook.Start() == ZQ_HOOK_OK ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

ZQ_EXPORT void StopHook(void) {
    try {
        g_hook.Stop();
    } catch (...) {
    }
}

ZQ_EXPORT int GetHookLastError(void) {
    return g_hook.LastError();
}
}
