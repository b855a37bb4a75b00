#pragma once
// A key combination that reaches this program wherever the keyboard focus is:
// a passive grab of the key on the X root window.

#include <cstdint>
#include <functional>
#include <memory>

class CGlobalHotKey {
public:
    CGlobalHotKey();
    ~CGlobalHotKey();
    CGlobalHotKey(const CGlobalHotKey&) = delete;
    CGlobalHotKey& operator=(const CGlobalHotKey&) = delete;

    // Grabs the key of Windows virtual-key code `vk` with the HOTKEYF flags,
    // whatever the lock keys' states. false when the code has no key on the
    // keyboard, there is no X11 display, or another client holds the
    // combination; nothing stays grabbed then. A key held before is released
    // first. `onPressed` runs on the GUI thread, once per press.
    bool Register(std::uint16_t vk, std::uint16_t hotkeyFlags, std::function<void()> onPressed);

    // Releases the key; false when none was registered.
    bool Unregister();

    // A registration stands. It follows keyboard mapping changes: the key is
    // grabbed again at its new place, and should that fail, at the next change.
    bool IsRegistered() const;

private:
    class CImpl;
    std::unique_ptr<CImpl> m_pImpl;
};
