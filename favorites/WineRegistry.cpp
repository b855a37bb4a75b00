#include "favorites/WineRegistry.h"

#include "favorites/Utf16Text.h"
#include "library/RegularFile.h"

namespace {

constexpr std::size_t kMaxHiveBytes = 64 * 1024 * 1024;

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

char16_t ControlEscape(char c) {
    switch (c) {
    case 'a':
        return 7;
    case 'b':
        return 8;
    case 't':
        return 9;
    case 'n':
        return 10;
    case 'v':
        return 11;
    case 'f':
        return 12;
    case 'r':
        return 13;
    case 'e':
        return 27;
    default:
        return 0;
    }
}

// Reads an escaped string from pos up to the unescaped terminator, which is
// consumed. Escapes hold UTF-16 units (\x with up to four hex digits, octal
// with up to three, C letters); any other escaped character stands for
// itself. False when the line ends before the terminator.
bool ReadEscaped(std::string_view line, std::size_t& pos, char terminator, std::string& out) {
    std::u16string units;
    auto flush = [&] {
        out += utf16::ToUtf8(units);
        units.clear();
    };
    while (pos < line.size()) {
        const char c = line[pos++];
        if (c == terminator) {
            flush();
            return true;
        }
        if (c != '\\' || pos >= line.size()) {
            if (static_cast<unsigned char>(c) < 0x80) {
                units += static_cast<char16_t>(c);
            } else {
                // Raw bytes are not Wine's own output; taken as they are.
                flush();
                out += c;
            }
            continue;
        }
        const char e = line[pos++];
        if (e == 'x' && pos < line.size() && HexDigit(line[pos]) >= 0) {
            unsigned value = 0;
            for (int n = 0; n < 4 && pos < line.size() && HexDigit(line[pos]) >= 0; ++n)
                value = value * 16 + static_cast<unsigned>(HexDigit(line[pos++]));
            units += static_cast<char16_t>(value);
        } else if (e >= '0' && e <= '7') {
            unsigned value = static_cast<unsigned>(e - '0');
            for (int n = 1; n < 3 && pos < line.size() && line[pos] >= '0' && line[pos] <= '7'; ++n)
                value = value * 8 + static_cast<unsigned>(line[pos++] - '0');
            units += static_cast<char16_t>(value);
        } else if (const char16_t control = ControlEscape(e)) {
            units += control;
        } else {
            units += static_cast<char16_t>(static_cast<unsigned char>(e));
        }
    }
    return false;
}

// "hex(2):41,00,42,00,00,00": UTF-16LE bytes, the terminating zero dropped.
std::optional<std::string> DecodeHexString(std::string_view bytesText) {
    std::string bytes;
    int high = -1;
    for (char c : bytesText) {
        const int d = HexDigit(c);
        if (d < 0) {
            if (c != ',' && c != ' ' && c != '\t')
                return std::nullopt;
            continue;
        }
        if (high < 0) {
            high = d;
        } else {
            bytes += static_cast<char>(high * 16 + d);
            high = -1;
        }
    }
    std::u16string units = utf16::FromLittleEndian(bytes);
    while (!units.empty() && units.back() == 0)
        units.pop_back();
    return utf16::ToUtf8(units);
}

std::string_view TrimmedLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

} // namespace

std::optional<CWineRegistryFile> CWineRegistryFile::Read(const std::string& path) {
    regular_file::SReadResult file = regular_file::Read(path, kMaxHiveBytes);
    if (!file.ok())
        return std::nullopt;
    return CWineRegistryFile(std::move(file.bytes));
}

bool CWineRegistryFile::SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}

std::vector<std::pair<std::string, std::string>>
CWineRegistryFile::StringValues(std::string_view key) const {
    std::vector<std::pair<std::string, std::string>> values;
    const std::string_view text = m_strText;
    bool inKey = false;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string line(text.substr(start, end - start));
        start = end + 1;
        // Long binary values continue on the next line after a backslash.
        while (!line.empty() && (line.back() == '\\' || line.back() == '\r') &&
               start < text.size()) {
            if (line.back() == '\r') {
                line.pop_back();
                continue;
            }
            line.pop_back();
            end = text.find('\n', start);
            if (end == std::string_view::npos)
                end = text.size();
            line += TrimmedLeft(text.substr(start, end - start));
            start = end + 1;
        }
        if (!line.empty() && line.back() == '\r')
            line.pop_back();

        std::size_t pos = 1;
        if (line.starts_with('[')) {
            std::string name;
            inKey = ReadEscaped(line, pos, ']', name) && SameName(name, key);
            continue;
        }
        if (!inKey || !line.starts_with('"'))
            continue;
        std::string name;
        if (!ReadEscaped(line, pos, '"', name) || pos >= line.size() || line[pos] != '=')
            continue;
        const std::string_view valueText = std::string_view(line).substr(pos + 1);
        std::string data;
        std::size_t dataPos = 0;
        if (valueText.starts_with('"')) {
            dataPos = 1;
        } else if (valueText.starts_with("str(")) {
            const std::size_t colon = valueText.find("):\"");
            if (colon == std::string_view::npos)
                continue;
            const std::string_view type = valueText.substr(4, colon - 4);
            if (type != "1" && type != "2")
                continue;
            dataPos = colon + 3;
        } else if (valueText.starts_with("hex(1):") || valueText.starts_with("hex(2):")) {
            if (auto decoded = DecodeHexString(valueText.substr(7)))
                values.emplace_back(std::move(name), std::move(*decoded));
            continue;
        } else {
            continue;
        }
        if (ReadEscaped(valueText, dataPos, '"', data))
            values.emplace_back(std::move(name), std::move(data));
    }
    return values;
}

std::optional<std::string> CWineRegistryFile::StringValue(std::string_view key,
                                                          std::string_view name) const {
    for (auto& [valueName, data] : StringValues(key))
        if (SameName(valueName, name))
            return std::move(data);
    return std::nullopt;
}
