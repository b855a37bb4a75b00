// The hot key on Windows, pressed through SendInput: the combination it holds
// (another holder is refused and keeps nothing), each press calling once, a
// near miss calling nothing, and the key free again once released.

#include "platform/GlobalHotKey.h"
#include "platform/VirtualKeyCodes.h"
#include "support/GuiTest.h"

#include <windows.h>

#include <vector>

namespace {

constexpr std::uint16_t kVkK = 0x4B;
constexpr std::uint16_t kCtrlAlt = vk::HOTKEYF_CONTROL | vk::HOTKEYF_ALT;

// The keys pressed in order, then released in reverse.
void Chord(std::vector<WORD> keys) {
    std::vector<INPUT> inputs(keys.size() * 2, INPUT{INPUT_KEYBOARD, {}});
    for (std::size_t i = 0; i < keys.size(); ++i) {
        inputs[i].ki.wVk = inputs[inputs.size() - 1 - i].ki.wVk = keys[i];
        inputs[inputs.size() - 1 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

} // namespace

TEST(HotKeyWin, HoldsItsCombinationAndCallsOncePerPress) {
    int calls = 0, stolen = 0;
    CGlobalHotKey hotKey, second;
    ASSERT_TRUE(hotKey.Register(kVkK, kCtrlAlt, [&] { ++calls; }));
    // Taken: a second holder is refused and holds nothing.
    EXPECT_FALSE(second.Register(kVkK, kCtrlAlt, [&] { ++stolen; }));
    EXPECT_TRUE(hotKey.IsRegistered() && !second.IsRegistered() && !second.Unregister());

    Chord({VK_CONTROL, VK_MENU, kVkK});
    ASSERT_TRUE(WaitFor("the first press", [&] { return calls == 1; }));
    // Shift as well is another combination; the next real press counts once.
    Chord({VK_SHIFT, VK_CONTROL, VK_MENU, kVkK});
    Chord({VK_CONTROL, VK_MENU, kVkK});
    ASSERT_TRUE(WaitFor("the second press", [&] { return calls >= 2; }));
    wxYield();
    EXPECT_EQ(calls, 2);

    // Released, the key is free for the next holder; the old callback is gone.
    EXPECT_TRUE(hotKey.Unregister());
    EXPECT_FALSE(hotKey.Unregister());
    ASSERT_TRUE(second.Register(kVkK, kCtrlAlt, [&] { ++stolen; }));
    Chord({VK_CONTROL, VK_MENU, kVkK});
    ASSERT_TRUE(WaitFor("the new holder's press", [&] { return stolen == 1; }));
    EXPECT_EQ(calls, 2);
    // Registering again moves the hot key: the old combination is released.
    ASSERT_TRUE(second.Register(kVkK, vk::HOTKEYF_CONTROL | vk::HOTKEYF_SHIFT, [] {}));
    EXPECT_TRUE(hotKey.Register(kVkK, kCtrlAlt, [] {}));
}
