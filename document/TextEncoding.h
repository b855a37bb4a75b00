#pragma once
// Byte-level decisions about the encoding of an XML source, made before the
// parser sees it.

#include <optional>
#include <string>
#include <string_view>

class CTextEncoding {
public:
    // Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    static bool IsValidUtf8(std::string_view bytes);

    // Windows-1252 to UTF-8. The five bytes the code page leaves undefined
    // (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 code points of the same
    // value, as Windows itself converts them, so no byte is lost.
    static std::string Windows1252ToUtf8(std::string_view bytes);

    // The encoding pseudo-attribute of a leading XML declaration, if any.
    static std::optional<std::string> DeclaredEncoding(std::string_view xml);

    // True when the bytes tell the parser their encoding themselves: a
    // byte-order mark, an encoding declaration, or a start that is not
    // ASCII-compatible (UTF-16 or UTF-32 without a mark).
    static bool NamesOwnEncoding(std::string_view xml);

    // True when the source is to be read as Windows-1252: it names no
    // encoding and is not valid UTF-8.
    static bool NeedsWindows1252(std::string_view xml);
};
