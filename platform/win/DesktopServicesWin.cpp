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

// No right-click reaches the program through the stand-in hook, so none can
// be one on the tray icon.
bool IsOwnTrayIconAt(int, int) {
    return false;
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
