#include "xml/TextEncoding.h"

#include <cstdint>

namespace {

// Windows-1252 0x80..0x9F; undefined positions keep their C1 value.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsXmlSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

void CTextEncoding::AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::size_t CTextEncoding::SequenceLength(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t size = bytes.size();
    if (size == 0)
        return 0;
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    std::size_t length;
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
        return 0;
    }
    if (size < length)
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if ((length == 3 && cp < 0x800) || (length == 4 && cp < 0x10000) || cp > 0x10FFFF ||
        (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return length;
}

bool CTextEncoding::IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        // Long runs of ASCII are the common case in markup.
        while (bytes.size() - i >= 8) {
            std::uint64_t word;
            __builtin_memcpy(&word, bytes.data() + i, 8);
            if (word & 0x8080808080808080ull)
                break;
            i += 8;
        }
        if (i == bytes.size())
            break;
        const std::size_t length = SequenceLength(bytes.substr(i));
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

bool CTextEncoding::HasMultiByteSequence(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0xC2 && SequenceLength(bytes.substr(i)) > 1)
            return true;
    return false;
}

std::string CTextEncoding::RepairUtf8(std::string_view bytes, std::size_t* replaced) {
    std::string out;
    out.reserve(bytes.size() + 16);
    std::size_t count = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        const std::size_t length = SequenceLength(bytes.substr(i));
        if (length == 0) {
            out += "\xEF\xBF\xBD";
            ++count;
            ++i;
        } else {
            out.append(bytes.data() + i, length);
            i += length;
        }
    }
    if (replaced)
        *replaced = count;
    return out;
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

CTextEncoding::EReading CTextEncoding::ReadingOf(std::string_view xml) {
    if (NamesOwnEncoding(xml) || IsValidUtf8(xml))
        return EReading::Unchanged;
    return HasMultiByteSequence(xml) ? EReading::RepairedUtf8 : EReading::Windows1252;
}
