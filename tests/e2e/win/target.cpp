// A plain Win32 program for the paste tests under Wine: one window with two
// edit fields and nothing of the toolkit's. `target <file>` writes to file,
// in UTF-8, a line "at <x> <y>" with the screen centre of the second field
// once it is shown, then after every change one line per field, the first
// line "fields". Each writing replaces the file whole.

#include <windows.h>

#include <string>

namespace {

constexpr int kFirstId = 101;
constexpr int kSecondId = 102;

std::wstring g_outPath;
HWND g_fields[2] = {};

std::string Utf8(const std::wstring& wide) {
    if (wide.empty())
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, nullptr);
    return text;
}

std::wstring TextOf(HWND field) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(field)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(field, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Through a temporary file, so that a reader never sees half of it.
void Write(const std::string& contents) {
    const std::wstring temp = g_outPath + L".tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr);
    CloseHandle(file);
    MoveFileExW(temp.c_str(), g_outPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

void WriteFields() {
    Write("fields\n" + Utf8(TextOf(g_fields[0])) + "\n" + Utf8(TextOf(g_fields[1])) + "\n");
}

void WritePlace() {
    RECT rect{};
    GetWindowRect(g_fields[1], &rect);
    Write("at " + std::to_string((rect.left + rect.right) / 2) + " " +
          std::to_string((rect.top + rect.bottom) / 2) + "\n");
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        for (int i = 0; i < 2; ++i)
            g_fields[i] = CreateWindowExW(
                WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL,
                20, 20 + 60 * i, 360, 28, window, reinterpret_cast<HMENU>(INT_PTR{kFirstId + i}),
                GetModuleHandleW(nullptr), nullptr);
        return 0;
    case WM_SETFOCUS:
        // The first field has the keyboard, as in a dialog.
        SetFocus(g_fields[0]);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE &&
            (LOWORD(wParam) == kFirstId || LOWORD(wParam) == kSecondId))
            WriteFields();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR command, int) {
    g_outPath = command;
    if (g_outPath.size() >= 2 && g_outPath.front() == L'"' && g_outPath.back() == L'"')
        g_outPath = g_outPath.substr(1, g_outPath.size() - 2);
    if (g_outPath.empty())
        return 2;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TessaryPasteTarget";
    RegisterClassExW(&windowClass);
    HWND window =
        CreateWindowExW(0, windowClass.lpszClassName, L"Paste target", WS_OVERLAPPEDWINDOW, 680,
                        520, 420, 200, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    WritePlace();
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
