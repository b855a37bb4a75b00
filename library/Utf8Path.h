#pragma once
// The program's file names are UTF-8 strings. std::filesystem takes and
// gives a std::string in the system's narrow encoding, which on Windows is
// the ANSI code page: names outside it would be lost. These convert through
// char8_t instead, the same bytes on POSIX systems.

#include <filesystem>
#include <string>
#include <string_view>

namespace utf8_path {

inline std::filesystem::path From(std::string_view utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Of(const std::filesystem::path& path) {
    const std::u8string utf8 = path.u8string();
    return {utf8.begin(), utf8.end()};
}

} // namespace utf8_path
