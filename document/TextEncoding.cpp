#include "document/TextEncoding.h"

#include <cstdint>

namespace {

// Windows-1252 0x80..0x9F; undefined positions keep their C1 value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

bool CTextEncoding::IsValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Long runs of ASCII are the common case in markup.
        while (end - p >= 8) {
            std::uint64_t word;
            __builtin_memcpy(&word, p, 8);
            if (word & 0x8080808080808080ull)
                break;
            p += 8;
        }
        if (p == end)
            break;
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length;
        char32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p < length)
            return false;
        for (int i = 1; i < length; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || cp > 0x10FFFF ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        p += length;
    }
    return true;
}

std::string CTextEncoding::Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (char ch : bytes) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out += ch;
        else if (c < 0xA0)
            AppendUtf8(out, kCp1252High[c - 0x80]);
        else
            AppendUtf8(out, c);
    }
    return out;
}

std::optional<std::string> CTextEncoding::DeclaredEncoding(std::string_view xml) {
    if (xml.size() < 6 || xml.substr(0, 5) != "<?xml" || !IsXmlSpace(xml[5]))
        return std::nullopt;
    std::string_view decl = xml.substr(0, xml.find("?>"));
    std::size_t pos = 5;
    for (;;) {
        pos = decl.find("encoding", pos);
        if (pos == std::string_view::npos)
            return std::nullopt;
        std::size_t i = pos + 8;
        if (!IsXmlSpace(decl[pos - 1])) {
            pos = i;
            continue;
        }
        while (i < decl.size() && IsXmlSpace(decl[i]))
            ++i;
        if (i >= decl.size() || decl[i] != '=') {
            pos = i;
            continue;
        }
        ++i;
        while (i < decl.size() && IsXmlSpace(decl[i]))
            ++i;
        if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\''))
            return std::nullopt;
        std::size_t close = decl.find(decl[i], i + 1);
        if (close == std::string_view::npos)
            return std::nullopt;
        return std::string(decl.substr(i + 1, close - i - 1));
    }
}

bool CTextEncoding::NamesOwnEncoding(std::string_view xml) {
    auto at = [&](std::size_t i) -> unsigned {
        return i < xml.size() ? static_cast<unsigned char>(xml[i]) : 0x100u;
    };
    if (at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
        return true;
    if ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF))
        return true;
    // UTF-16 or UTF-32 without a mark shows a zero byte around the first '<'.
    if (at(0) == 0x00 || at(1) == 0x00)
        return true;
    return DeclaredEncoding(xml).has_value();
}

bool CTextEncoding::NeedsWindows1252(std::string_view xml) {
    return !NamesOwnEncoding(xml) && !IsValidUtf8(xml);
}
