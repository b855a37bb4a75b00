#include "platform/win/MenuKeys.h"

namespace menu_keys {

namespace {

constexpr const wchar_t* kClass = L"TessaryMenuKeys";
HWND g_keys = nullptr;
HWND g_field = nullptr;
bool g_bDeferred = false;
unsigned long g_deferredTarget = 0;

LRESULT CALLBACK KeysProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The toolkit's loop runs a window not its own through the dialog
    // manager, which would take Return, Escape and Tab as dialog buttons.
    if (message == WM_GETDLGCODE)
        return DLGC_WANTALLKEYS | DLGC_WANTCHARS;
    if (g_field && message >= WM_KEYFIRST && message <= WM_KEYLAST) {
        if (IsWindow(g_field))
            return SendMessageW(g_field, message, wParam, lParam);
        g_field = nullptr;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

HWND Window() {
    if (g_keys && IsWindow(g_keys))
        return g_keys;
    const HINSTANCE module = GetModuleHandleW(nullptr);
    static const bool registered = [module] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = KeysProc;
        windowClass.hInstance = module;
        windowClass.lpszClassName = kClass;
        return RegisterClassExW(&windowClass) != 0;
    }();
    g_keys = registered ? CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClass, L"", WS_POPUP,
                                          0, 0, 1, 1, nullptr, nullptr, module, nullptr)
                        : nullptr;
    return g_keys;
}

HWND Current() {
    return g_keys && IsWindow(g_keys) ? g_keys : nullptr;
}

void Drop() {
    if (const HWND keys = Current())
        DestroyWindow(keys);
    g_keys = nullptr;
}

void Forward(HWND field) {
    g_field = field;
}

HWND ForwardedTo() {
    return g_field;
}

void DeferReturn(unsigned long target) {
    g_bDeferred = true;
    g_deferredTarget = target;
}

bool TakeDeferredReturn(unsigned long& target) {
    target = g_deferredTarget;
    const bool deferred = g_bDeferred;
    g_bDeferred = false;
    g_deferredTarget = 0;
    return deferred;
}

void SetForeground(HWND window) {
    const DWORD own = GetCurrentThreadId();
    const HWND foreground = GetForegroundWindow();
    const DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = other && other != own && AttachThreadInput(own, other, TRUE);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(own, other, FALSE);
}

} // namespace menu_keys
