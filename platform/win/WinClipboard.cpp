#include "platform/win/WinClipboard.h"

#include "platform/RestoreSchedule.h"
#include "platform/Trace.h"
#include "platform/win/ClipboardCopy.h"
#include "platform/win/ClipboardText.h"
#include "platform/win/MessageWindow.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

namespace {

using Clock = std::chrono::steady_clock;

// Another program may hold the clipboard open for a moment.
constexpr int kClipboardTries = 20;
constexpr DWORD kClipboardRetryMs = 5;
constexpr UINT_PTR kRestoreTimer = 1;

bool OpenClipboardWithRetry(HWND owner) {
    for (int i = 0; i < kClipboardTries; ++i) {
        if (OpenClipboard(owner))
            return true;
        Sleep(kClipboardRetryMs);
    }
    return false;
}

long long MsSince(Clock::time_point then) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - then).count();
}

// A movable memory block holding the bytes, for SetClipboardData; null when
// out of memory.
HGLOBAL BlockOf(const void* bytes, std::size_t size) {
    // A block of no bytes cannot be locked.
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size ? size : 1);
    if (!block)
        return nullptr;
    void* to = GlobalLock(block);
    if (!to) {
        GlobalFree(block);
        return nullptr;
    }
    if (size)
        std::memcpy(to, bytes, size);
    GlobalUnlock(block);
    return block;
}

// Sets one format of the open clipboard; the system owns the block once set.
bool Put(UINT format, const void* bytes, std::size_t size) {
    HGLOBAL block = BlockOf(bytes, size);
    if (!block)
        return false;
    if (SetClipboardData(format, block))
        return true;
    GlobalFree(block);
    return false;
}

bool PutText(const std::wstring& text) {
    return Put(CF_UNICODETEXT, text.data(), text.size() * sizeof(wchar_t));
}

// One format of the open clipboard, when it is a memory block of at most
// maxBytes.
std::optional<std::string> ReadFormat(unsigned format, std::size_t maxBytes) {
    HANDLE data = GetClipboardData(format);
    if (!data)
        return std::nullopt;
    const SIZE_T size = GlobalSize(data);
    if (size == 0 || size > maxBytes)
        return std::nullopt;
    const void* from = GlobalLock(data);
    if (!from)
        return std::nullopt;
    std::string bytes(static_cast<const char*>(from), size);
    GlobalUnlock(data);
    return bytes;
}

// OLE's notes on the data object that held the clipboard: given back, they
// would speak for an object that is gone, and readers would ask it.
bool IsOleNote(UINT format) {
    wchar_t name[32];
    const int n = GetClipboardFormatNameW(format, name, static_cast<int>(std::size(name)));
    const std::wstring_view text(name, n > 0 ? static_cast<std::size_t>(n) : 0);
    return text == L"DataObject" || text == L"Ole Private Data";
}

// The formats of the open clipboard, in the order the system lists them.
std::vector<unsigned> OfferedFormats() {
    std::vector<unsigned> formats;
    for (UINT format = EnumClipboardFormats(0); format; format = EnumClipboardFormats(format))
        if (!IsOleNote(format))
            formats.push_back(format);
    return formats;
}

// What the open clipboard holds, within the limits; nothing when there is
// nothing to give back. A format rendered on request waits for its program
// (as EmptyClipboard does anyway); the time spent stops the formats after it.
std::optional<SClipboardCopy> CopyOpenClipboard() {
    const auto begun = Clock::now();
    SClipboardCopy read = clipboard_copy::Copy(OfferedFormats(), SSnapshotLimits{}, ReadFormat,
                                               [] { return Clock::now(); });
    trace::Line("clipboard copied before the paste: " + read.note + ", in " +
                std::to_string(MsSince(begun)) + " ms");
    if (read.formats.empty())
        return std::nullopt;
    return read;
}

} // namespace

struct CWinClipboard::SState {
    HWND owner = nullptr;
    // Our own EmptyClipboard tells us that the clipboard is emptied, too.
    bool setting = false;
    std::wstring snippet; // offered by delayed rendering until it is read
    bool rendered = false;
    std::optional<SClipboardCopy> copy; // to give back; none when none waits
    DWORD sequence = 0;                 // the clipboard's number after our last change
    CRestoreSchedule schedule;
    Clock::time_point started;

    ~SState() {
        if (owner) {
            KillTimer(owner, kRestoreTimer);
            // Renders a snippet not yet read (WM_RENDERALLFORMATS) while the
            // state is still there.
            DestroyWindow(owner);
        }
    }

    // The clipboard holds what we last put there: another program may have
    // changed it without emptying it, which leaves us its owner.
    bool StillOurs() const {
        return GetClipboardOwner() == owner && GetClipboardSequenceNumber() == sequence;
    }

    void StopWaiting() {
        copy.reset();
        schedule.Stop();
        if (owner)
            KillTimer(owner, kRestoreTimer);
    }

    void Arm() {
        const auto wait =
            std::chrono::ceil<std::chrono::milliseconds>(schedule.DueAt() - Clock::now());
        SetTimer(owner, kRestoreTimer, static_cast<UINT>(std::max<long long>(wait.count(), 1)),
                 nullptr);
    }

    // Copies what the open clipboard holds, then empties it for our contents.
    void TakeOpenClipboard(bool copyFirst) {
        if (copyFirst)
            copy = CopyOpenClipboard();
        setting = true;
        EmptyClipboard();
        setting = false;
    }

    void OnRenderFormat(UINT format) {
        if (format != CF_UNICODETEXT || rendered)
            return;
        rendered = PutText(snippet);
        sequence = GetClipboardSequenceNumber();
        if (!schedule.Running())
            return;
        // The first read after the keys brings the moment forward.
        schedule.Requested(Clock::now());
        Arm();
    }

    // The owner window goes while the snippet was never read: it stays.
    void OnRenderAllFormats() {
        if (rendered || !OpenClipboard(owner))
            return;
        if (GetClipboardOwner() == owner)
            rendered = PutText(snippet);
        CloseClipboard();
    }

    void OnDestroyClipboard() {
        if (setting)
            return;
        rendered = true; // nothing of ours is left to render
        if (copy)
            trace::Line("clipboard not given back: it was taken meanwhile, after " +
                        std::to_string(MsSince(started)) + " ms");
        StopWaiting();
    }

    void OnTimer() {
        KillTimer(owner, kRestoreTimer);
        if (!schedule.Running())
            return;
        // Requests since the timer was set move the moment on.
        if (schedule.Due(Clock::now()))
            GiveBack();
        else
            Arm();
    }

    void GiveBack() {
        const SClipboardCopy given = std::move(*copy);
        const int requests = schedule.Requests();
        StopWaiting();
        if (!StillOurs()) {
            trace::Line("clipboard not given back: another program changed it");
            return;
        }
        if (!OpenClipboardWithRetry(owner)) {
            trace::Line("clipboard not given back: it could not be opened");
            return;
        }
        TakeOpenClipboard(false);
        rendered = true;
        std::size_t put = 0;
        for (const SSavedFormat& format : given.formats)
            put += Put(format.format, format.bytes.data(), format.bytes.size());
        CloseClipboard();
        sequence = GetClipboardSequenceNumber();
        trace::Line("clipboard given back: " + std::to_string(put) + " of " +
                    std::to_string(given.formats.size()) + " formats, after " +
                    std::to_string(requests) + " requests for the snippet, " +
                    std::to_string(MsSince(started)) + " ms after the paste");
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<SState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self) {
            switch (message) {
            case WM_RENDERFORMAT:
                self->OnRenderFormat(static_cast<UINT>(wParam));
                return 0;
            case WM_RENDERALLFORMATS:
                self->OnRenderAllFormats();
                return 0;
            case WM_DESTROYCLIPBOARD:
                self->OnDestroyClipboard();
                return 0;
            case WM_TIMER:
                if (wParam == kRestoreTimer) {
                    self->OnTimer();
                    return 0;
                }
                break;
            default:
                break;
            }
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
};

CWinClipboard::CWinClipboard() : m_pState(std::make_unique<SState>()) {}

CWinClipboard::~CWinClipboard() = default;

bool CWinClipboard::SetText(const std::string& utf8, bool restore) {
    SState& state = *m_pState;
    if (!state.owner)
        state.owner =
            win_window::MakeMessageWindow(L"TessaryClipboardOwner", SState::Procedure, &state);
    if (!state.owner || !OpenClipboardWithRetry(state.owner))
        return false;
    // A second paste before the first was given back: that copy is the
    // user's, the clipboard now holds only our snippet (unless another
    // program added to it without emptying it).
    std::optional<SClipboardCopy> kept;
    if (restore && state.StillOurs())
        kept = std::move(state.copy);
    state.StopWaiting();
    state.copy = std::move(kept);
    state.TakeOpenClipboard(restore && !state.copy);
    state.snippet = clipboard_text::ToClipboard(utf8);
    // With nothing to give back the snippet simply stays, set at once as
    // without the restore.
    bool set = false;
    if (state.copy) {
        state.rendered = false;
        // Delayed rendering: success is a null handle with no error.
        SetLastError(ERROR_SUCCESS);
        set =
            SetClipboardData(CF_UNICODETEXT, nullptr) != nullptr || GetLastError() == ERROR_SUCCESS;
        // The clipboard is empty now: without the snippet the user's own
        // contents go straight back rather than being lost with the copy.
        if (!set)
            for (const SSavedFormat& format : state.copy->formats)
                Put(format.format, format.bytes.data(), format.bytes.size());
    } else {
        state.rendered = true;
        set = PutText(state.snippet);
    }
    CloseClipboard();
    state.sequence = GetClipboardSequenceNumber();
    if (!set || !state.copy) {
        state.StopWaiting();
        return set;
    }
    state.started = Clock::now();
    state.schedule.Start(state.started);
    state.Arm();
    return true;
}

void CWinClipboard::NoteKeysSent() {
    SState& state = *m_pState;
    if (!state.schedule.Running())
        return;
    state.schedule.KeysSent(Clock::now());
    state.Arm();
}
