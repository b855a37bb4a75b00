// Start at login on Windows: the user's Run key, written, read back and
// removed, with a program path that needs quoting and is not ASCII.

#include "app/Autostart.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring RunValue() {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, L"Tessary", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
        return L"(none)";
    return value;
}

} // namespace

TEST(AutostartWin, TheRunKeyStartsTheProgramHiddenAndActiveAndGoesAgain) {
    // A machine's own entry is put back afterwards.
    const std::wstring before = RunValue();
    ASSERT_TRUE(autostart::TurnOff().ok);
    EXPECT_FALSE(autostart::IsOn());
    EXPECT_TRUE(autostart::TurnOff().ok) << "a missing entry is no error";

    ASSERT_TRUE(autostart::TurnOn("C:\\Program Files\\Zo\xC3\xAB \xCE\xB1\\tessary.exe").ok);
    EXPECT_TRUE(autostart::IsOn());
    EXPECT_EQ(RunValue(), L"\"C:\\Program Files\\Zo\u00EB \u03B1\\tessary.exe\" --tray --activate");
    // Removed by hand, as a user may in the system's own settings.
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Tessary");
    EXPECT_FALSE(autostart::IsOn());

    if (before != L"(none)")
        RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, L"Tessary", REG_SZ, before.c_str(),
                        static_cast<DWORD>((before.size() + 1) * sizeof(wchar_t)));
}
