// The small desktop services on Windows, each the system's own call: the
// keyboard's lock lights (GetKeyState), whether the clipboard holds text
// (CF_UNICODETEXT), the toggle sounds (PlaySound for a file, Beep for a
// tone), window placement (Windows keeps a requested position), and the
// menu's keys: no pacing outside GTK, but a key that is no access key starts
// a search.

#include "platform/ClipboardWatch.h"
#include "platform/DesktopWindows.h"
#include "platform/KeyboardLocks.h"
#include "platform/MenuKeyPacer.h"
#include "platform/Sound.h"
#include "platform/WindowPlacement.h"

#include "library/WindowsText.h"
#include "platform/Trace.h"
#include "platform/win/MenuKeys.h"

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

namespace {

std::function<void(const std::string&)> g_typeToFind;
std::string g_typed; // what started the search, until the menu has closed

} // namespace

void CMenuKeyPacer::Attach(wxMenu*) {}

void CMenuKeyPacer::SetTypeToFind(std::function<void(const std::string&)> start) {
    g_typeToFind = std::move(start);
    g_typed.clear();
}

bool CMenuKeyPacer::AnswerMenuChar(unsigned message, std::uintptr_t wParam, std::intptr_t& answer) {
    // The toolkit's answer stands when it found the key as an access key.
    if (message != WM_MENUCHAR || !g_typeToFind || (HIWORD(wParam) & MF_SYSMENU) ||
        HIWORD(answer) == MNC_EXECUTE)
        return false;
    const wchar_t key = LOWORD(wParam);
    // Control characters are the menu's; half of a surrogate pair is no text.
    if (key < 0x20 || key == 0x7F || (key >= 0xD800 && key <= 0xDFFF))
        return false;
    g_typed += windows_text::Utf8(std::wstring_view(&key, 1));
    answer = MAKELRESULT(0, MNC_CLOSE);
    return true;
}

void CMenuKeyPacer::MenuClosed() {
    std::string typed;
    typed.swap(g_typed);
    // A copy: the call may replace the function.
    if (const auto start = g_typeToFind; start && !typed.empty())
        start(typed);
}

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

void TakeKeyboardForMenu(wxWindow* host) {
    const HWND keys = menu_keys::Window();
    if (!keys || !host)
        return;
    const wxPoint at = host->GetScreenPosition();
    SetWindowPos(keys, HWND_TOPMOST, at.x, at.y, 1, 1, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    menu_keys::SetForeground(keys);
}

void ReturnKeyboardAfterMenu(unsigned long target) {
    // A search typed in the menu holds the keys: its end gives them back.
    if (menu_keys::ForwardedTo()) {
        menu_keys::DeferReturn(target);
        return;
    }
    const HWND keys = menu_keys::Current();
    if (!keys)
        return;
    // A choice that brought a window of ours forward keeps it there.
    const HWND foreground = GetForegroundWindow();
    const bool menuHadIt = !foreground || foreground == keys;
    const HWND window = static_cast<HWND>(LongToHandle(static_cast<LONG>(target)));
    if (menuHadIt && target && IsWindow(window))
        menu_keys::SetForeground(window);
    menu_keys::Drop();
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
