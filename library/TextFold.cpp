#include "library/TextFold.h"

#include "library/TextFoldTable.h"

#include <algorithm>
#include <cstdint>

namespace text_fold {

namespace {

// Decodes one well-formed UTF-8 sequence at `p`; its length, or 0 when the
// bytes there are not one (overlong, surrogate, truncated, out of range).
std::size_t Decode(std::string_view s, std::size_t p, std::uint32_t& cp) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[p + i]); };
    const unsigned char b0 = byte(0);
    std::size_t length = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1Fu;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0Fu;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07u;
    } else {
        return 0;
    }
    if (p + length > s.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u)
            return 0;
        cp = (cp << 6) | (byte(i) & 0x3Fu);
    }
    static constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

const table::SFoldEntry* Find(std::uint32_t cp) {
    const table::SFoldEntry* begin = table::kEntries;
    const table::SFoldEntry* end = table::kEntries + table::kEntryCount;
    const auto* it = std::lower_bound(
        begin, end, cp, [](const table::SFoldEntry& e, std::uint32_t c) { return e.cp < c; });
    return it != end && it->cp == cp ? it : nullptr;
}

} // namespace

void FoldInto(std::string_view utf8, std::string& out) {
    out.reserve(out.size() + utf8.size());
    std::size_t p = 0;
    while (p < utf8.size()) {
        const unsigned char b = static_cast<unsigned char>(utf8[p]);
        if (b < 0x80) {
            out += static_cast<char>(b >= 'A' && b <= 'Z' ? b + ('a' - 'A') : b);
            ++p;
            continue;
        }
        std::uint32_t cp = 0;
        const std::size_t length = Decode(utf8, p, cp);
        if (length == 0) {
            out += static_cast<char>(b);
            ++p;
            continue;
        }
        if (const table::SFoldEntry* entry = Find(cp))
            out.append(table::kText + entry->offset, entry->length);
        else
            out.append(utf8.substr(p, length));
        p += length;
    }
}

std::string Fold(std::string_view utf8) {
    std::string out;
    FoldInto(utf8, out);
    return out;
}

bool Contains(std::string_view utf8Text, std::string_view foldedNeedle) {
    if (foldedNeedle.empty())
        return true;
    // Pure ASCII text, the common case, is compared in place.
    const bool ascii = std::all_of(utf8Text.begin(), utf8Text.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
        };
        return std::search(utf8Text.begin(), utf8Text.end(), foldedNeedle.begin(),
                           foldedNeedle.end(),
                           [&](char t, char n) { return lower(t) == n; }) != utf8Text.end();
    }
    thread_local std::string folded;
    folded.clear();
    FoldInto(utf8Text, folded);
    return folded.find(foldedNeedle) != std::string::npos;
}

} // namespace text_fold
