// CHookClient on Windows: the hook DLL (hook/win/) reports each right-click
// with WM_COPYDATA to a message-only window of the client's own. The report
// is taken at once, so the hook's thread never waits on a menu; the click is
// handed on through the window's queue, from the event loop.

#include "platform/HookClient.h"

#include "hook/zqMouseHook.h"
#include "platform/Trace.h"
#include "platform/win/HookReport.h"
#include "res/Messages.h"

#include <wx/window.h>

#include <windows.h>

#include "platform/win/MessageWindow.h"

#include <deque>

namespace {

// Posted to the report window for each click taken: run the oldest.
constexpr UINT kRunClick = WM_APP + 1;
constexpr wchar_t kClassName[] = L"TessaryHookReports";

} // namespace

// The window the reports arrive on.
class CHookClient::CWatch {
public:
    explicit CWatch(std::function<void(const SHookClick&)> onClick)
        : m_fnOnClick(std::move(onClick)) {
        m_hWnd = win_window::MakeMessageWindow(kClassName, &CWatch::WindowProc, this);
    }
    ~CWatch() {
        // Clicks still queued go with the window.
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    CWatch(const CWatch&) = delete;
    CWatch& operator=(const CWatch&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CWatch*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self && message == WM_COPYDATA) {
            const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            const auto click = hook_report::Decode(copy->dwData, copy->lpData, copy->cbData);
            if (!click)
                return FALSE;
            self->m_clicks.push_back(*click);
            PostMessageW(window, kRunClick, 0, 0);
            return TRUE;
        }
        if (self && message == kRunClick && !self->m_clicks.empty()) {
            const SHookClick click = self->m_clicks.front();
            self->m_clicks.pop_front();
            // Copies: the handler may detach the client, and so end this window.
            if (const auto onClick = self->m_fnOnClick)
                onClick(click);
            return 0;
        }
        if (message == WM_NCDESTROY)
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    std::function<void(const SHookClick&)> m_fnOnClick;
    std::deque<SHookClick> m_clicks;
};

CHookClient::CHookClient() = default;

CHookClient::~CHookClient() {
    Stop();
    Detach();
}

bool CHookClient::Attach(wxWindow* window, std::function<void(const SHookClick&)> onClick) {
    Detach();
    if (!window)
        return false;
    auto watch = std::make_unique<CWatch>([this](const SHookClick& click) {
        if (const auto handler = m_fnOnClick)
            handler(click);
    });
    if (!watch->Handle())
        return false;
    m_fnOnClick = std::move(onClick);
    m_pWatch = std::move(watch);
    SetHwndClient(HandleToULong(m_pWatch->Handle()));
    return true;
}

void CHookClient::Detach() {
    if (!m_pWatch)
        return;
    SetHwndClient(0);
    m_pWatch.reset();
    m_fnOnClick = nullptr;
}

bool CHookClient::Start(std::string& error) {
    if (StartHook()) {
        m_bStarted = true;
        return true;
    }
    const int reason = GetHookLastError();
    // No X display here: every other failure is the system's refusal.
    error = reason == ZQ_HOOK_NO_CLIENT ? msg::kHookNoClient : msg::kHookFailed;
    trace::Line("mouse hook not started (reason " + std::to_string(reason) + "): " + error);
    return false;
}

void CHookClient::Stop() {
    if (!m_bStarted)
        return;
    StopHook();
    m_bStarted = false;
}
