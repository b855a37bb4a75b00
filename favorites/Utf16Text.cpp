#include "favorites/Utf16Text.h"

#include "xml/TextEncoding.h"

namespace {

bool IsHighSurrogate(char16_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}

bool IsLowSurrogate(char16_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}

} // namespace

namespace utf16 {

std::string ToUtf8(std::u16string_view units) {
    std::string out;
    out.reserve(units.size());
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t u = units[i];
        if (IsHighSurrogate(u) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            CTextEncoding::AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) +
                                               (units[i + 1] - 0xDC00));
            ++i;
        } else if (IsHighSurrogate(u) || IsLowSurrogate(u)) {
            CTextEncoding::AppendUtf8(out, 0xFFFD);
        } else {
            CTextEncoding::AppendUtf8(out, u);
        }
    }
    return out;
}

std::u16string FromLittleEndian(std::string_view bytes) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       (static_cast<unsigned char>(bytes[i + 1]) << 8));
    return units;
}

} // namespace utf16
