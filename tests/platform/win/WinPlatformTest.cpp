// The Windows back-ends' parts that need no desktop, run under Wine: the
// hook's report as another process may send it, the snippet's text as the
// clipboard takes it, the paste key's names, and the hook's start and stop
// in the order a program calls them.

#include "hook/zqMouseHook.h"
#include "platform/PasteKeys.h"
#include "platform/win/ClipboardText.h"
#include "platform/win/HookReport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <vector>

TEST(WinHookReport, OnlyOneWholeReportWithTheHooksTagIsAClick) {
    const SHookReport sent{0x0012ABCDu, -1280, 1023, 0xFFFFFFF0u};
    // At an odd address, as a block copied across processes may lie.
    std::vector<unsigned char> block(sizeof sent + 2);
    std::memcpy(block.data() + 1, &sent, sizeof sent);
    const void* data = block.data() + 1;

    const auto click = hook_report::Decode(ZQ_MOUSEHOOK_COPYDATA, data, sizeof sent);
    ASSERT_TRUE(click);
    EXPECT_EQ(click->target, 0x0012ABCDul);
    EXPECT_EQ(click->x, -1280); // a screen left of the main one
    EXPECT_EQ(click->y, 1023);
    EXPECT_EQ(click->time, 0xFFFFFFF0ul);

    EXPECT_FALSE(hook_report::Decode(ZQ_MOUSEHOOK_COPYDATA, data, sizeof sent - 1));
    EXPECT_FALSE(hook_report::Decode(ZQ_MOUSEHOOK_COPYDATA, data, sizeof sent + 1));
    EXPECT_FALSE(hook_report::Decode(ZQ_MOUSEHOOK_COPYDATA, data, 0));
    EXPECT_FALSE(hook_report::Decode(ZQ_MOUSEHOOK_COPYDATA, nullptr, sizeof sent));
    // Another program's WM_COPYDATA of the same size.
    EXPECT_FALSE(hook_report::Decode(1, data, sizeof sent));
}

TEST(WinClipboardText, Utf16WithCrLfEndsAtTheFirstNul) {
    // Accents, a dash, CJK and a character beyond 16 bits (a surrogate pair).
    EXPECT_EQ(clipboard_text::ToClipboard("Grüße — 日本語 🎉"),
              std::wstring(L"Gr\u00fc\u00dfe \u2014 \u65e5\u672c\u8a9e \xD83C\xDF89") + L'\0');
    // Every line end becomes CR LF, an existing one is not doubled.
    EXPECT_EQ(clipboard_text::ToClipboard("a\nb\r\nc\rd\n\n"),
              std::wstring(L"a\r\nb\r\nc\r\nd\r\n\r\n") + L'\0');
    // A NUL inside: what follows it no program would read.
    EXPECT_EQ(clipboard_text::ToClipboard(std::string("日本\0hidden", 13)),
              std::wstring(L"\u65e5\u672c") + L'\0');
    EXPECT_EQ(clipboard_text::ToClipboard(""), std::wstring(1, L'\0'));
}

TEST(WinPasteKeys, KeyNamesMapToVirtualKeysOrNothing) {
    EXPECT_EQ(CPasteKeys::KeySymOf("V"), static_cast<unsigned long>('V'));
    EXPECT_EQ(CPasteKeys::KeySymOf("Insert"), static_cast<unsigned long>(VK_INSERT));
    EXPECT_EQ(CPasteKeys::KeySymOf("insert"), static_cast<unsigned long>(VK_INSERT));
    EXPECT_EQ(CPasteKeys::KeySymOf("F"), static_cast<unsigned long>('F'));
    EXPECT_EQ(CPasteKeys::KeySymOf("F5"), static_cast<unsigned long>(VK_F5));
    EXPECT_EQ(CPasteKeys::KeySymOf("F24"), static_cast<unsigned long>(VK_F24));
    EXPECT_EQ(CPasteKeys::KeySymOf("F25"), 0ul);
    EXPECT_EQ(CPasteKeys::KeySymOf("Fx"), 0ul);
    EXPECT_EQ(CPasteKeys::KeySymOf("NoSuchKey"), 0ul);
    EXPECT_EQ(CPasteKeys::KeySymOf(""), 0ul);
}

TEST(WinMouseHook, StartsOnlyWithAClientTwiceIsOnceAndStopsCleanly) {
    StopHook(); // never started: harmless
    SetHwndClient(0);
    EXPECT_EQ(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_NO_CLIENT);

    HWND client = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(client);
    SetHwndClient(HandleToULong(client));
    EXPECT_NE(StartHook(), 0);
    EXPECT_EQ(GetHookLastError(), ZQ_HOOK_OK);
    EXPECT_NE(StartHook(), 0);
    StopHook();
    StopHook();
    // Started again after a stop, and the client gone meanwhile.
    EXPECT_NE(StartHook(), 0);
    DestroyWindow(client);
    StopHook();
    SetHwndClient(0);
}
