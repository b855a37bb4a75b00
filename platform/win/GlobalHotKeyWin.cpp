// The global hot key on Windows, for now a stand-in that never registers.
// The real one is RegisterHotKey on a hidden window (the stored key already
// is a virtual-key code with HOTKEYF flags, mapped to MOD_ flags) and
// WM_HOTKEY.

#include "platform/GlobalHotKey.h"

class CGlobalHotKey::CImpl {};

CGlobalHotKey::CGlobalHotKey() = default;

CGlobalHotKey::~CGlobalHotKey() = default;

bool CGlobalHotKey::Register(std::uint16_t, std::uint16_t, std::function<void()>) {
    return false;
}

bool CGlobalHotKey::Unregister() {
    return true;
}

bool CGlobalHotKey::IsRegistered() const {
    return false;
}
