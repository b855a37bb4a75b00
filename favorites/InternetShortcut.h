#pragma once
// An Internet shortcut (.url file): an INI-style text file whose
// [InternetShortcut] section names the page in its URL key.

#include <string>
#include <string_view>

class CInternetShortcut {
public:
    // The longest URL taken from a shortcut, in characters; the rest is cut.
    static constexpr std::size_t kMaxUrl = 2047;
    // How much of a shortcut file is read; a real one is a few hundred bytes.
    static constexpr std::size_t kMaxFileBytes = 64 * 1024;

    // The URL as the Windows profile reader gives it: first [InternetShortcut]
    // section and first URL key (names ignoring case), blanks around the value
    // and one pair of enclosing quotes removed; empty when the file, the
    // section or the key is missing. UTF-8 whatever the file's encoding (a
    // UTF-16 or UTF-8 byte-order mark is honoured; text that is not UTF-8 is
    // read as Windows-1252). Only a regular file is read, and only its first
    // kMaxFileBytes.
    static std::string ReadUrl(const std::string& path);
    static std::string UrlFromText(std::string_view fileBytes);
};
