// The pop-up grab on Windows. The hidden pixel that held the foreground for
// the menu keeps it and hands every key to the pop-up's field, so no key
// reaches the clicked program. The foreground passing to any other window (a
// click elsewhere, Alt+Tab) ends the grab, as a click outside does on X11.

#include "platform/PopupGrab.h"

#include "platform/DesktopWindows.h"
#include "platform/Trace.h"
#include "platform/win/MenuKeys.h"

#include <wx/timer.h>
#include <wx/window.h>

namespace {

// Windows tells a window that loses the foreground, not one that never had
// it; the pixel is not a toolkit window, so its loss is looked for.
constexpr int kWatchMs = 50;

// Wine answers no foreground for a moment while it passes; that is no loss.
bool HoldsForeground() {
    const HWND keys = menu_keys::Current();
    const HWND foreground = GetForegroundWindow();
    return keys && (foreground == keys || !foreground);
}

} // namespace

struct CPopupGrab::SState {
    wxTimer watch;
    std::function<void()> outside;
    bool held = false;
};

CPopupGrab::CPopupGrab() : m_pState(std::make_unique<SState>()) {
    m_pState->watch.Bind(wxEVT_TIMER, [state = m_pState.get()](wxTimerEvent&) {
        if (state->held && !HoldsForeground()) {
            // A copy: the call releases the grab, which may take a new one.
            const auto outside = state->outside;
            if (outside)
                outside();
        }
    });
}

CPopupGrab::~CPopupGrab() {
    Release();
}

bool CPopupGrab::Take(wxWindow* popup, wxWindow* field, std::function<void()> outside) {
    Release();
    // Without the foreground no key would come.
    if (!popup || !field || !HoldsForeground()) {
        trace::Line("search: no keys, the foreground is elsewhere");
        return false;
    }
    const HWND fieldWindow = static_cast<HWND>(field->GetHWND());
    menu_keys::Forward(fieldWindow);
    // Told it has the focus, the field shows its caret, though Windows' focus
    // stays on the pixel that gets the keys.
    SendMessageW(fieldWindow, WM_SETFOCUS, reinterpret_cast<WPARAM>(menu_keys::Current()), 0);
    m_pState->outside = std::move(outside);
    m_pState->held = true;
    m_pState->watch.Start(kWatchMs);
    return true;
}

void CPopupGrab::Release() {
    if (!m_pState->held)
        return;
    m_pState->held = false;
    m_pState->watch.Stop();
    m_pState->outside = nullptr;
    if (const HWND field = menu_keys::ForwardedTo(); field && IsWindow(field))
        SendMessageW(field, WM_KILLFOCUS, 0, 0);
    menu_keys::Forward(nullptr);
    // The menu's end was put off while the keys were held here.
    unsigned long target = 0;
    if (menu_keys::TakeDeferredReturn(target))
        desktop::ReturnKeyboardAfterMenu(target);
}

bool CPopupGrab::IsHeld() const {
    return m_pState->held;
}
