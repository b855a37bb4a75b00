// The small desktop services on Windows, each the system's own call: the
// keyboard's lock lights (GetKeyState), whether the clipboard holds text
// (CF_UNICODETEXT), the toggle sounds (PlaySound for a file, Beep for a
// tone), window placement (Windows keeps a requested position), and menu
// keys, which need no pacing outside GTK.

#include "platform/ClipboardWatch.h"
#include "platform/DesktopWindows.h"
#include "platform/KeyboardLocks.h"
#include "platform/MenuKeyPacer.h"
#include "platform/Sound.h"
#include "platform/WindowPlacement.h"

#include "library/WindowsText.h"

#include <wx/toplevel.h>
#include <wx/window.h>

#include <windows.h>

#include <mmsystem.h>

#include <mutex>
#include <thread>

CLockStates CKeyboardLocks::Query() {
    CLockStates states;
    states.m_bCaps = (GetKeyState(VK_CAPITAL) & 1) != 0;
    states.m_bNum = (GetKeyState(VK_NUMLOCK) & 1) != 0;
    states.m_bScroll = (GetKeyState(VK_SCROLL) & 1) != 0;
    return states;
}

struct CClipboardWatch::SState {};

CClipboardWatch::CClipboardWatch() = default;

CClipboardWatch::~CClipboardWatch() = default;

bool CClipboardWatch::HasText() const {
    // Asks the system, not the clipboard's owner: it never blocks.
    return IsClipboardFormatAvailable(CF_UNICODETEXT) != 0;
}

void CMenuKeyPacer::Attach(wxMenu*) {}

void CMenuKeyPacer::SetTypeToFind(std::function<void(const std::string&)>) {}

void CWindowPlacement::KeepRequestedPosition(wxTopLevelWindow* window, const wxPoint& position) {
    window->Move(position);
}

void CWindowPlacement::CallWhenMapped(wxTopLevelWindow* window, std::function<void()> call) {
    window->CallAfter(std::move(call));
}

void CWindowPlacement::BringForward(wxTopLevelWindow* window) {
    if (!window)
        return;
    if (window->IsIconized())
        window->Iconize(false);
    window->Show();
    window->Raise();
}

namespace desktop {

// Not told apart yet: a right-click on the icon while the menu is active
// opens the snippet menu over the taskbar.
bool IsOwnTrayIconAt(int, int) {
    return false;
}

namespace {

// The window the menu opens on is a child of the desktop, which can never be
// in the foreground: this pixel of the same thread takes the foreground
// instead, and the menu's loop reads the thread's keys.
HWND MenuKeysWindow() {
    static const HWND keys = [] {
        const HINSTANCE module = GetModuleHandleW(nullptr);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = module;
        windowClass.lpszClassName = L"TessaryMenuKeys";
        RegisterClassExW(&windowClass);
        return CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, windowClass.lpszClassName, L"",
                               WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, module, nullptr);
    }();
    return keys;
}

// Joined to the foreground's input, the system lets this program hand the
// foreground on.
void SetForeground(HWND window) {
    const DWORD own = GetCurrentThreadId();
    const HWND foreground = GetForegroundWindow();
    const DWORD other = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
    const bool attached = other && other != own && AttachThreadInput(own, other, TRUE);
    SetForegroundWindow(window);
    if (attached)
        AttachThreadInput(own, other, FALSE);
}

} // namespace

void TakeKeyboardForMenu(wxWindow* host) {
    const HWND keys = MenuKeysWindow();
    if (!keys || !host)
        return;
    const wxPoint at = host->GetScreenPosition();
    SetWindowPos(keys, HWND_TOPMOST, at.x, at.y, 1, 1, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetForeground(keys);
}

void ReturnKeyboardAfterMenu(unsigned long target) {
    const HWND keys = MenuKeysWindow();
    if (!keys || !IsWindowVisible(keys))
        return;
    // A choice that brought a window of ours forward keeps it there.
    const HWND foreground = GetForegroundWindow();
    const bool menuHadIt = !foreground || foreground == keys;
    ShowWindow(keys, SW_HIDE);
    const HWND window = static_cast<HWND>(LongToHandle(static_cast<LONG>(target)));
    if (menuHadIt && target && IsWindow(window))
        SetForeground(window);
}

bool IsHelpKeyEcho(const void* message) {
    constexpr UINT kKeyF1 = 0x004D; // WM_KEYF1, which the SDK headers leave out
    return message && static_cast<const MSG*>(message)->message == kKeyF1;
}

} // namespace desktop

namespace {

std::mutex g_sinkMutex;
std::function<void(const std::string&)> g_sink;

// True when a test takes the sound instead of the speaker.
bool ToSink(const std::string& what) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard lock(g_sinkMutex);
        sink = g_sink;
    }
    if (sink)
        sink(what);
    return static_cast<bool>(sink);
}

} // namespace

namespace sound {

void PlayFile(const std::string& path) {
    if (!ToSink("play:" + path))
        PlaySoundW(windows_text::Wide(path).c_str(), nullptr,
                   SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
}

void Beep(unsigned frequencyHz, unsigned durationMs) {
    // Beep blocks for its length; the caller returns at once.
    if (!ToSink("beep:" + std::to_string(frequencyHz) + ":" + std::to_string(durationMs)))
        std::thread([frequencyHz, durationMs] { ::Beep(frequencyHz, durationMs); }).detach();
}

void SetTestSink(std::function<void(const std::string& what)> sink) {
    std::lock_guard lock(g_sinkMutex);
    g_sink = std::move(sink);
}

} // namespace sound
