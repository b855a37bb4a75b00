#include "platform/win/MessageWindow.h"

namespace win_window {

HWND MakeMessageWindow(const wchar_t* className, WNDPROC procedure, void* self) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    const HWND window =
        CreateWindowExW(0, className, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, module, nullptr);
    if (window && self)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    return window;
}

} // namespace win_window
