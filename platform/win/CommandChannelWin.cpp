// The command channel on Windows. The running program owns a hidden
// message-only window of a class named for the channel; a second start finds
// it with FindWindowExW and sends it WM_COPYDATA (the command id, the
// argument's bytes) with SendMessageTimeoutW, so a hung program costs the
// sender a timeout, not its start. Window look-ups stay within the user's
// desktop, so each user session has a channel of its own.

#include "platform/CommandChannel.h"

#include "res/CommandIds.h"
#include "res/Messages.h"

#include <windows.h>

#include "platform/win/MessageWindow.h"

#include <algorithm>
#include <deque>
#include <iterator>
#include <utility>

namespace {

constexpr const wchar_t* kWindowClass = L"TessaryCommandReceiver";
// Taken by the listener for its life: of two copies started at once, exactly
// one gets it. "Local\" is the session's own name space; the system frees it
// when a program ends, crashed or not.
constexpr const wchar_t* kListenerMutex = L"Local\\TessaryCommandReceiver";
// Posted to the receiver's own window: the command is carried out once the
// sender has its answer, never inside the sent message.
constexpr UINT kRunPending = WM_APP + 1;
constexpr std::size_t kMaxArgumentBytes = 64 * 1024;

// Anyone in the session can send to the window: only the commands meant to
// be given from outside are carried out.
constexpr int kFromOutside[] = {ids::ID_TOGGLE_MENU, ids::ID_SHOW_WINDOW,
                                ids::ID_OPEN_FROM_OUTSIDE};

bool FromOutside(int id) {
    return std::find(std::begin(kFromOutside), std::end(kFromOutside), id) !=
           std::end(kFromOutside);
}

HWND FindReceiver() {
    return FindWindowExW(HWND_MESSAGE, nullptr, kWindowClass, nullptr);
}

enum class ESend { Done, Refused, NoWindow, NoAnswer };

// Sends the command and waits for the receiver's answer. wParam carries the
// tick by which the sender stops waiting: a message the receiver reaches
// later is dropped, since the sender has gone on without it.
ESend Send(int commandId, const std::string& argument, int timeoutMs) {
    const HWND receiver = FindReceiver();
    if (!receiver)
        return ESend::NoWindow;
    COPYDATASTRUCT data{};
    data.dwData = static_cast<ULONG_PTR>(commandId);
    data.cbData = static_cast<DWORD>(std::min(argument.size(), kMaxArgumentBytes));
    data.lpData = const_cast<char*>(argument.data());
    const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(std::max(timeoutMs, 0));
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(receiver, WM_COPYDATA, static_cast<WPARAM>(deadline),
                             reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG,
                             static_cast<UINT>(std::max(timeoutMs, 0)), &answer))
        return IsWindow(receiver) ? ESend::NoAnswer : ESend::NoWindow;
    return answer == TRUE ? ESend::Done : ESend::Refused;
}

} // namespace

// The header's event watch: here the receiver's window and what it has
// received, waiting to be carried out.
class CCommandReceiver::CWatch {
public:
    using Run = std::function<void(int, const std::string&)>;

    CWatch(HWND hWnd, HANDLE mutex, Run run)
        : m_hWnd(hWnd), m_hMutex(mutex), m_fnRun(std::move(run)) {
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~CWatch() {
        // Messages still queued for the window go with it.
        SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
        DestroyWindow(m_hWnd);
        CloseHandle(m_hMutex);
    }
    CWatch(const CWatch&) = delete;
    CWatch& operator=(const CWatch&) = delete;

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CWatch*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
        if (self && message == WM_COPYDATA)
            return self->OnCopyData(wParam, *reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        if (self && message == kRunPending) {
            self->RunPending();
            return 0;
        }
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

private:
    LRESULT OnCopyData(WPARAM deadline, const COPYDATASTRUCT& data) {
        if (GetTickCount64() > static_cast<ULONGLONG>(deadline))
            return FALSE;
        const int id = static_cast<int>(data.dwData);
        if (!FromOutside(id))
            return FALSE;
        const std::size_t size = std::min<std::size_t>(data.cbData, kMaxArgumentBytes);
        m_pending.emplace_back(id, data.lpData
                                       ? std::string(static_cast<const char*>(data.lpData), size)
                                       : std::string());
        PostMessageW(m_hWnd, kRunPending, 0, 0);
        return TRUE;
    }

    void RunPending() {
        if (m_pending.empty())
            return;
        auto [id, argument] = std::move(m_pending.front());
        m_pending.pop_front();
        // The handler may end the receiver: nothing of this is used after it.
        const Run run = m_fnRun;
        run(id, argument);
    }

    HWND m_hWnd;
    HANDLE m_hMutex;
    Run m_fnRun;
    std::deque<std::pair<int, std::string>> m_pending;
};

CCommandReceiver::CCommandReceiver() = default;

CCommandReceiver::~CCommandReceiver() = default;

bool CCommandReceiver::Listen(Handler onCommand) {
    m_fnOnCommand = std::move(onCommand);
    if (m_pWatch)
        return true;
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, kListenerMutex);
    if (!mutex)
        return false;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        m_fnOnCommand = nullptr;
        return false;
    }
    const HWND window = win_window::MakeMessageWindow(kWindowClass, &CWatch::WindowProc);
    if (!window) {
        CloseHandle(mutex);
        m_fnOnCommand = nullptr;
        return false;
    }
    m_pWatch = std::make_unique<CWatch>(window, mutex, [this](int id, const std::string& argument) {
        if (const Handler onCommand = m_fnOnCommand)
            onCommand(id, argument);
    });
    return true;
}

bool SendCommand(int commandId, std::string& error) {
    switch (Send(commandId, {}, 3000)) {
    case ESend::Done:
    case ESend::Refused: // delivered; the receiver decides what it carries out
        return true;
    case ESend::NoAnswer:
        error = msg::kRunningProgramNoAnswer;
        return false;
    case ESend::NoWindow:
        break;
    }
    error = msg::kNoRunningProgram;
    return false;
}

EHandOver HandOver(int commandId, const std::string& argument, int timeoutMs) {
    switch (Send(commandId, argument, timeoutMs)) {
    case ESend::Done:
        return EHandOver::Done;
    case ESend::Refused:
    case ESend::NoAnswer:
        return EHandOver::NoAnswer;
    case ESend::NoWindow:
        break;
    }
    return EHandOver::NoProgram;
}
