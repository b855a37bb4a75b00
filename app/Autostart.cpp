#include "app/Autostart.h"

#include "app/Settings.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace autostart {

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

} // namespace autostart
