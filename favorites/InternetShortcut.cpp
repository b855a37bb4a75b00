#include "favorites/InternetShortcut.h"

#include "favorites/Utf16Text.h"
#include "favorites/WineRegistry.h"
#include "library/RegularFile.h"
#include "xml/TextEncoding.h"

namespace {

std::string_view Trimmed(std::string_view s) {
    auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string AsUtf8(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE"))
        return utf16::ToUtf8(utf16::FromLittleEndian(bytes.substr(2)));
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (CTextEncoding::IsValidUtf8(bytes))
        return std::string(bytes);
    return CTextEncoding::Windows1252ToUtf8(bytes);
}

// The first n characters of valid UTF-8 text.
std::string FirstCharacters(const std::string& text, std::size_t n) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80)
            continue;
        if (count++ == n)
            return text.substr(0, i);
    }
    return text;
}

} // namespace

std::string CInternetShortcut::ReadUrl(const std::string& path) {
    regular_file::SReadResult file = regular_file::ReadStart(path, kMaxFileBytes);
    if (file.status == regular_file::EStatus::TooLarge) {
        // Whole lines only: a character cut in two would make the text look
        // like another encoding.
        const std::size_t end = file.bytes.find_last_of("\r\n");
        file.bytes.resize(end == std::string::npos ? 0 : end + 1);
    } else if (!file.ok()) {
        return {};
    }
    return UrlFromText(file.bytes);
}

std::string CInternetShortcut::UrlFromText(std::string_view fileBytes) {
    const std::string text = AsUtf8(fileBytes);
    const std::string_view all = text;
    bool inSection = false;
    bool sectionSeen = false;
    std::size_t start = 0;
    while (start < all.size()) {
        // Lines may end in CR LF, LF or a lone CR.
        std::size_t end = all.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = all.size();
        const std::string_view line = Trimmed(all.substr(start, end - start));
        start = end + 1;
        if (line.starts_with('[')) {
            // Only the first section of that name counts.
            if (inSection)
                break;
            const std::size_t close = line.find(']');
            const std::string_view name =
                Trimmed(line.substr(1, close == std::string_view::npos ? close : close - 1));
            inSection = !sectionSeen && CWineRegistryFile::SameName(name, "InternetShortcut");
            sectionSeen |= inSection;
            continue;
        }
        if (!inSection)
            continue;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos ||
            !CWineRegistryFile::SameName(Trimmed(line.substr(0, eq)), "URL"))
            continue;
        std::string_view value = Trimmed(line.substr(eq + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front())
            value = value.substr(1, value.size() - 2);
        return FirstCharacters(std::string(value), kMaxUrl);
    }
    return {};
}
