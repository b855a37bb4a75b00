#include "app/Autostart.h"

#include "app/Settings.h"

#ifdef _WIN32
#include "library/WindowsText.h"

#include <windows.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace autostart {

#ifndef _WIN32
namespace {

// One argument of an Exec line: quoted where the desktop entry format asks,
// then escaped once more as every string value of the file is.
std::string ExecArgument(const std::string& arg) {
    const bool plain =
        !arg.empty() && arg.find_first_of(" \t\n\"'\\><~|&;$*?#()`%=") == std::string::npos;
    std::string quoted;
    if (plain) {
        quoted = arg;
    } else {
        quoted = "\"";
        for (const char c : arg) {
            if (c == '"' || c == '`' || c == '$' || c == '\\')
                quoted += '\\';
            quoted += c;
        }
        quoted += '"';
    }
    std::string out;
    for (const char c : quoted) {
        if (c == '%')
            out += "%%";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

} // namespace
#endif

#ifdef _WIN32
// Windows starts what the user's Run key names at login; the value is a
// command line.
namespace {

constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Tessary";

SAtomicWriteResult Failed(LSTATUS status) {
    return {false, windows_text::ErrorText(static_cast<unsigned long>(status))};
}

} // namespace

std::string EntryPath() {
    return "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Tessary";
}

bool IsOn() {
    return RegGetValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, RRF_RT_REG_SZ, nullptr, nullptr,
                        nullptr) == ERROR_SUCCESS;
}

std::string EntryText(const std::string& program) {
    // Windows file names hold no quotes, so quoting the whole is enough.
    return "\"" + program + "\" --tray --activate";
}

SAtomicWriteResult TurnOn(const std::string& program) {
    const std::wstring command = windows_text::Wide(EntryText(program));
    const LSTATUS status =
        RegSetKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue, REG_SZ, command.c_str(),
                        static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    return status == ERROR_SUCCESS ? SAtomicWriteResult{true, {}} : Failed(status);
}

SAtomicWriteResult TurnOff() {
    const LSTATUS status = RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, kRunValue);
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND)
        return {true, {}};
    return Failed(status);
}

#else
std::string EntryPath() {
    return settings_location::ConfigHome() + "/autostart/tessary.desktop";
}

bool IsOn() {
    std::error_code ec;
    return std::filesystem::exists(EntryPath(), ec);
}

std::string EntryText(const std::string& program) {
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Tessary\n"
           "Comment=Snippet menu, started at login\n"
           "Exec=" +
           ExecArgument(program) +
           " --tray --activate\n"
           "Icon=tessary\n"
           "Terminal=false\n"
           "X-GNOME-Autostart-enabled=true\n";
}

SAtomicWriteResult TurnOn(const std::string& program) {
    const std::filesystem::path path = EntryPath();
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    if (ec)
        return {false, ec.message()};
    return WriteFileAtomically(path.string(), EntryText(program));
}

SAtomicWriteResult TurnOff() {
    if (std::remove(EntryPath().c_str()) != 0) {
        const int err = errno;
        if (err != ENOENT)
            return {false, std::strerror(err)};
    }
    return {true, {}};
}
#endif

} // namespace autostart
