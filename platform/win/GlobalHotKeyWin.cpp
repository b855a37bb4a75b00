// The global hot key on Windows: RegisterHotKey on a hidden message-only
// window of its own; the system posts WM_HOTKEY to it, which the GUI thread's
// message loop dispatches. The stored key already is a virtual-key code with
// HOTKEYF flags.

#include "platform/GlobalHotKey.h"

#include "platform/Trace.h"
#include "platform/VirtualKeyCodes.h"

#include <windows.h>

#include "platform/win/MessageWindow.h"

#include <string>

namespace {

constexpr const wchar_t* kWindowClass = L"TessaryHotKeyWindow";
constexpr int kHotKeyId = 1; // one hot key per window

// RegisterHotKey's modifiers for the HOTKEYF flags. HOTKEYF_EXT adds none:
// the system tells no navigation key from its keypad twin for a hot key.
UINT ModifiersFor(std::uint16_t flags) {
    UINT modifiers = MOD_NOREPEAT; // one call per press, not one per repeat
    if (flags & vk::HOTKEYF_SHIFT)
        modifiers |= MOD_SHIFT;
    if (flags & vk::HOTKEYF_CONTROL)
        modifiers |= MOD_CONTROL;
    if (flags & vk::HOTKEYF_ALT)
        modifiers |= MOD_ALT;
    return modifiers;
}

} // namespace

class CGlobalHotKey::CImpl {
public:
    ~CImpl() {
        Unregister();
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }

    bool Register(std::uint16_t vk, std::uint16_t flags, std::function<void()> onPressed) {
        Unregister();
        if (!CreateWindowOnce())
            return false;
        if (!RegisterHotKey(m_hWnd, kHotKeyId, ModifiersFor(flags), vk)) {
            // Another program (or another copy of this one) holds it.
            trace::Line("hot key " + std::to_string(vk) + " refused, error " +
                        std::to_string(GetLastError()));
            return false;
        }
        m_fnOnPressed = std::move(onPressed);
        m_bRegistered = true;
        return true;
    }

    bool Unregister() {
        if (!m_bRegistered)
            return false;
        UnregisterHotKey(m_hWnd, kHotKeyId);
        m_bRegistered = false;
        // A WM_HOTKEY still queued finds nothing registered.
        m_fnOnPressed = nullptr;
        return true;
    }

    bool IsRegistered() const { return m_bRegistered; }

private:
    bool CreateWindowOnce() {
        if (m_hWnd)
            return true;
        m_hWnd = win_window::MakeMessageWindow(kWindowClass, &CImpl::WindowProc, this);
        return m_hWnd != nullptr;
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_HOTKEY && wParam == kHotKeyId) {
            auto* self = reinterpret_cast<CImpl*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
            // A copy: the callback may unregister, which clears the member.
            if (self && self->m_bRegistered)
                if (const std::function<void()> onPressed = self->m_fnOnPressed)
                    onPressed();
            return 0;
        }
        return DefWindowProcW(hWnd, message, wParam, lParam);
    }

    HWND m_hWnd = nullptr;
    bool m_bRegistered = false;
    std::function<void()> m_fnOnPressed;
};

CGlobalHotKey::CGlobalHotKey() : m_pImpl(std::make_unique<CImpl>()) {}

CGlobalHotKey::~CGlobalHotKey() = default;

bool CGlobalHotKey::Register(std::uint16_t vk, std::uint16_t hotkeyFlags,
                             std::function<void()> onPressed) {
    return m_pImpl->Register(vk, hotkeyFlags, std::move(onPressed));
}

bool CGlobalHotKey::Unregister() {
    return m_pImpl->Unregister();
}

bool CGlobalHotKey::IsRegistered() const {
    return m_pImpl->IsRegistered();
}
