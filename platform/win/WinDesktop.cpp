#include "platform/win/WinDesktop.h"

#include "library/WindowsText.h"

#include <windows.h>

#include <cwctype>
#include <filesystem>

namespace {

// A program that does not answer a question about its field within this long
// keeps its own focus.
constexpr UINT kFieldAnswerMs = 50;

HWND ToHwnd(unsigned long window) {
    return static_cast<HWND>(LongToHandle(static_cast<LONG>(window)));
}

std::wstring ClassNameOf(HWND window) {
    wchar_t name[256];
    const int n = GetClassNameW(window, name, static_cast<int>(std::size(name)));
    return n > 0 ? std::wstring(name, static_cast<std::size_t>(n)) : std::wstring();
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

// The keyboard focus of the window's thread, null when it has none.
HWND FocusOfThreadOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return thread && GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

bool IsWithin(HWND inner, HWND outer) {
    return inner && (inner == outer || IsChild(outer, inner));
}

// The deepest visible, enabled child of top at the screen point; top when none.
HWND ChildAt(HWND top, POINT screen) {
    HWND parent = top;
    for (;;) {
        POINT client = screen;
        ScreenToClient(parent, &client);
        const HWND child = ChildWindowFromPointEx(
            parent, client, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED | CWP_SKIPTRANSPARENT);
        if (!child || child == parent)
            return parent;
        parent = child;
    }
}

// A control that takes typed text: the system's edit and rich edit classes
// and those named after them by other toolkits; not read-only ones.
bool IsEditField(HWND window) {
    const std::wstring name = Lower(ClassNameOf(window));
    if (name.find(L"edit") == std::wstring::npos)
        return false;
    return !(GetWindowLongW(window, GWL_STYLE) & ES_READONLY);
}

// Runs call with this thread's input joined to the window's thread, so that
// SetFocus and SetForegroundWindow reach another program.
template <typename Call> void WithInputOf(HWND window, Call call) {
    const DWORD own = GetCurrentThreadId();
    const DWORD other = GetWindowThreadProcessId(window, nullptr);
    const bool attached = other && other != own && AttachThreadInput(own, other, TRUE);
    call();
    if (attached)
        AttachThreadInput(own, other, FALSE);
}

// Puts the caret of a plain edit control at the point unless the point lies
// on its selection; false when the control did not answer in time.
bool PlaceCaret(HWND edit, POINT screen) {
    if (Lower(ClassNameOf(edit)) != L"edit")
        return true;
    POINT client = screen;
    ScreenToClient(edit, &client);
    DWORD_PTR at = 0;
    DWORD_PTR selection = 0;
    // Both answers travel in the return value, no pointer crosses processes.
    if (!SendMessageTimeoutW(edit, EM_CHARFROMPOS, 0, MAKELPARAM(client.x, client.y),
                             SMTO_ABORTIFHUNG, kFieldAnswerMs, &at) ||
        !SendMessageTimeoutW(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, kFieldAnswerMs, &selection))
        return false;
    const WORD position = LOWORD(at);
    if (position >= LOWORD(selection) && position < HIWORD(selection))
        return true;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(edit, EM_SETSEL, position, position, SMTO_ABORTIFHUNG,
                               kFieldAnswerMs, &ignored) != 0;
}

} // namespace

bool CWinDesktop::WindowExists(unsigned long window) {
    return window && IsWindow(ToHwnd(window));
}

bool CWinDesktop::HasFocus(unsigned long window) {
    const HWND hwnd = ToHwnd(window);
    if (!window || !IsWindow(hwnd))
        return false;
    // The foreground window, with its thread's focus inside it or on none.
    if (GetForegroundWindow() != hwnd)
        return false;
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(0, &info))
        return true;
    return info.hwndActive == hwnd && (!info.hwndFocus || IsWithin(info.hwndFocus, hwnd));
}

void CWinDesktop::Activate(unsigned long window, unsigned long) {
    const HWND hwnd = ToHwnd(window);
    if (!window || !IsWindow(hwnd))
        return;
    if (IsIconic(hwnd))
        ShowWindow(hwnd, SW_RESTORE);
    // Joined to the foreground's input, the system lets this program hand the
    // foreground on.
    const HWND foreground = GetForegroundWindow();
    WithInputOf(foreground ? foreground : hwnd, [hwnd] {
        SetForegroundWindow(hwnd);
        BringWindowToTop(hwnd);
    });
}

bool CWinDesktop::IsOwnPopup(unsigned long window) {
    const HWND hwnd = ToHwnd(window);
    DWORD process = 0;
    if (!window || !GetWindowThreadProcessId(hwnd, &process) || process != GetCurrentProcessId())
        return false;
    // A menu, or a window without a title bar: the one the menu opens on
    // (wxMSW makes it a child of the desktop), the menu's keyboard pixel.
    if (ClassNameOf(hwnd) == L"#32768")
        return true;
    return (GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) != WS_CAPTION;
}

SWindowClass CWinDesktop::WindowClass(unsigned long window) {
    SWindowClass names;
    const HWND hwnd = ToHwnd(window);
    if (!window || !IsWindow(hwnd))
        return names;
    names.className = windows_text::Utf8(ClassNameOf(hwnd));
    // The program's file name without ".exe", as X11's instance names it.
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (HANDLE handle = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process)) {
        wchar_t path[MAX_PATH * 2];
        DWORD size = static_cast<DWORD>(std::size(path));
        if (QueryFullProcessImageNameW(handle, 0, path, &size))
            names.instance = windows_text::Utf8(
                std::filesystem::path(std::wstring(path, size)).stem().wstring());
        CloseHandle(handle);
    }
    return names;
}

EFieldFocus CWinDesktop::FocusFieldAt(unsigned long window, int x, int y) {
    m_hField = 0;
    const HWND top = ToHwnd(window);
    if (!window || !IsWindow(top))
        return EFieldFocus::NoField;
    // Once the program has taken in its activation, which may move its
    // focus to a control of its choice: only then is ours the last word.
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kFieldAnswerMs, &ignored))
        return EFieldFocus::NoAnswer;
    const POINT at{x, y};
    const HWND field = ChildAt(top, at);
    if (field == top || !IsEditField(field))
        return EFieldFocus::NoField;
    if (FocusOfThreadOf(top) == field)
        return EFieldFocus::AlreadyFocused;
    bool focused = false;
    WithInputOf(top, [&] {
        SetFocus(field);
        focused = GetFocus() == field;
    });
    if (!focused)
        return EFieldFocus::NoField;
    m_hField = HandleToULong(field);
    return PlaceCaret(field, at) ? EFieldFocus::Moved : EFieldFocus::NoAnswer;
}

bool CWinDesktop::FieldFocusArrived() {
    const HWND field = ToHwnd(m_hField);
    return m_hField && FocusOfThreadOf(field) == field;
}

bool CWinDesktop::SetClipboardText(const std::string& utf8, const SClipboardFill& fill) {
    // Windows has no primary selection.
    return m_clipboard.SetText(utf8, fill.restorePrevious);
}

bool CWinDesktop::ModifiersHeld() {
    return CPasteKeys::ModifiersHeld();
}

void CWinDesktop::ReleaseModifiers() {
    CPasteKeys::ReleaseModifiers();
}

bool CWinDesktop::SendPasteKeys(const SKeyChord& chord) {
    const bool sent = m_keys.Send(chord);
    if (sent)
        m_clipboard.NoteKeysSent();
    return sent;
}
