// The mouse hook's library on Windows: a WH_MOUSE_LL hook on a thread of its
// own. The hook procedure only decides, so the system's mouse never waits on
// a program: the report goes out from the thread's message loop, with a
// bounded SendMessageTimeout, while further clicks are still decided.

#include "hook/zqMouseHook.h"

#include <windows.h>

#include <atomic>
#include <mutex>

namespace {

// Posted to the hook's thread for each click to report: x and y in wParam,
// the tick count in lParam.
constexpr UINT kReportClick = WM_APP + 1;
// A program that does not take a report within this long loses it.
constexpr UINT kReportTimeoutMs = 1000;

std::atomic<unsigned long> g_client{0};
std::atomic<int> g_lastError{ZQ_HOOK_OK};

std::mutex g_startMutex; // StartHook and StopHook
HANDLE g_thread = nullptr;
DWORD g_threadId = 0;

// The hook's thread alone.
HHOOK g_hook = nullptr;
bool g_pressed = false; // the press was taken, so its release is too

HWND ToHwnd(unsigned long window) {
    return static_cast<HWND>(LongToHandle(static_cast<LONG>(window)));
}

bool ModifierHeld() {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU})
        if (GetAsyncKeyState(key) & 0x8000)
            return true;
    return false;
}

// The client's thread has a menu up or the mouse captured: that click is its
// own, as an active X grab of the program keeps it from the passive one.
bool ClientHoldsMouse(HWND client) {
    const DWORD thread = GetWindowThreadProcessId(client, nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!thread || !GetGUIThreadInfo(thread, &info))
        return false;
    return info.hwndCapture || info.hwndMenuOwner ||
           (info.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE | GUI_INMOVESIZE));
}

LRESULT CALLBACK OnMouse(int code, WPARAM message, LPARAM data) {
    if (code == HC_ACTION) {
        const auto* info = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
        const HWND client = ToHwnd(g_client);
        if (message == WM_RBUTTONDOWN) {
            g_pressed = client && !ModifierHeld() && !ClientHoldsMouse(client);
            if (g_pressed)
                return 1;
        } else if (message == WM_RBUTTONUP && g_pressed) {
            g_pressed = false;
            const auto x = static_cast<DWORD>(info->pt.x);
            const auto y = static_cast<DWORD>(info->pt.y);
            PostThreadMessageW(GetCurrentThreadId(), kReportClick,
                               (static_cast<WPARAM>(y) << 32) | x, static_cast<LPARAM>(info->time));
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, message, data);
}

void Report(WPARAM point, LPARAM time) {
    const HWND client = ToHwnd(g_client);
    if (!client)
        return;
    const POINT at{static_cast<LONG>(static_cast<DWORD>(point)),
                   static_cast<LONG>(static_cast<DWORD>(point >> 32))};
    HWND top = nullptr;
    if (const HWND under = WindowFromPoint(at))
        top = GetAncestor(under, GA_ROOT);
    // The desktop itself is no window to paste into.
    if (top == GetDesktopWindow() || top == GetShellWindow())
        top = nullptr;
    SHookReport report{HandleToULong(top), at.x, at.y, static_cast<unsigned>(time)};
    COPYDATASTRUCT copy{ZQ_MOUSEHOOK_COPYDATA, sizeof report, &report};
    DWORD_PTR answer = 0;
    // Not SMTO_BLOCK: the hook procedure runs meanwhile, as a sent message.
    SendMessageTimeoutW(client, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG,
                        kReportTimeoutMs, &answer);
}

struct SThreadStart {
    HANDLE ready;
    int result;
};

DWORD WINAPI HookThread(void* param) {
    auto* start = static_cast<SThreadStart*>(param);
    MSG message;
    // The thread's queue, before anyone posts to it.
    PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&OnMouse), &module);
    g_pressed = false;
    g_hook = SetWindowsHookExW(WH_MOUSE_LL, OnMouse, module, 0);
    start->result = g_hook ? ZQ_HOOK_OK : ZQ_HOOK_GRAB_REFUSED;
    SetEvent(start->ready);
    if (!g_hook)
        return 1;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!message.hwnd && message.message == kReportClick)
            Report(message.wParam, message.lParam);
        else
            DispatchMessageW(&message);
    }
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
    return 0;
}

} // namespace

extern "C" {

__declspec(dllexport) void SetHwndClient(unsigned long window) {
    g_client = window;
}

__declspec(dllexport) int StartHook(void) {
    std::lock_guard lock(g_startMutex);
    if (g_thread) {
        g_lastError = ZQ_HOOK_OK;
        return 1;
    }
    if (!g_client) {
        g_lastError = ZQ_HOOK_NO_CLIENT;
        return 0;
    }
    SThreadStart start{CreateEventW(nullptr, TRUE, FALSE, nullptr), ZQ_HOOK_NO_DISPLAY};
    if (!start.ready) {
        g_lastError = ZQ_HOOK_NO_DISPLAY;
        return 0;
    }
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, HookThread, &start, 0, &id);
    if (thread)
        WaitForSingleObject(start.ready, INFINITE);
    CloseHandle(start.ready);
    if (thread && start.result != ZQ_HOOK_OK) {
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
        thread = nullptr;
    }
    g_lastError = start.result;
    if (!thread)
        return 0;
    g_thread = thread;
    g_threadId = id;
    return 1;
}

__declspec(dllexport) void StopHook(void) {
    std::lock_guard lock(g_startMutex);
    if (!g_thread)
        return;
    PostThreadMessageW(g_threadId, WM_QUIT, 0, 0);
    // The hook is gone when StopHook returns. A report the thread is sending
    // to this one meanwhile is taken, so neither waits for the other.
    while (MsgWaitForMultipleObjects(1, &g_thread, FALSE, INFINITE, QS_SENDMESSAGE) ==
           WAIT_OBJECT_0 + 1) {
        MSG message;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
    CloseHandle(g_thread);
    g_thread = nullptr;
    g_threadId = 0;
}

__declspec(dllexport) int GetHookLastError(void) {
    return g_lastError;
}
}
