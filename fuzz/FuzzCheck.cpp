#include "fuzz/FuzzCheck.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz_check {

namespace {

// Enough to see the difference; a long text is cut.
constexpr std::size_t kShown = 600;

std::string Escaped(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        }
    }
    if (text.size() > kShown)
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

} // namespace

void Require(bool ok, std::string_view rule) {
    if (ok)
        return;
    std::fprintf(stderr, "FINDING: %.*s\n", static_cast<int>(rule.size()), rule.data());
    std::abort();
}

void Require(bool ok, std::string_view rule, std::string_view text) {
    if (!ok)
        std::fprintf(stderr, "text: %s\n", Escaped(text).c_str());
    Require(ok, rule);
}

void RequireEqual(std::string_view expected, std::string_view actual, std::string_view rule) {
    if (expected == actual)
        return;
    std::fprintf(stderr, "expected: %s\nactual:   %s\n", Escaped(expected).c_str(),
                 Escaped(actual).c_str());
    Require(false, rule);
}

std::string LfLineEnds(std::string text) {
    for (std::size_t pos = 0; (pos = text.find('\r', pos)) != std::string::npos;) {
        if (text.compare(pos, 2, "\r\n") == 0)
            text.erase(pos, 1);
        else
            text[pos++] = '\n';
    }
    return text;
}

} // namespace fuzz_check
