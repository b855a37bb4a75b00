#pragma once
// A hidden message-only window of this program, for what arrives by window
// message (hook reports, commands, the hot key).

#include <windows.h>

namespace win_window {

// Registers the class once (a second registration fails harmlessly) and makes
// the window; `self`, when given, is its GWLP_USERDATA. Null on failure.
HWND MakeMessageWindow(const wchar_t* className, WNDPROC procedure, void* self = nullptr);

} // namespace win_window
