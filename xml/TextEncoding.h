#pragma once
// Byte-level decisions about the encoding of an XML source, made before the
// parser sees it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

class CTextEncoding {
public:
    // Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
    static bool IsValidUtf8(std::string_view bytes);
    // Length of the valid UTF-8 sequence at the start of bytes; 0 when the
    // bytes do not start with one (or are empty).
    static std::size_t SequenceLength(std::string_view bytes);
    // True when the bytes hold at least one valid sequence of two bytes or more.
    static bool HasMultiByteSequence(std::string_view bytes);
    // The bytes with each byte that starts no valid sequence replaced by
    // U+FFFD; replaced, when given, receives how many were.
    static std::string RepairUtf8(std::string_view bytes, std::size_t* replaced = nullptr);

    // Appends the code point as UTF-8 (one to four bytes).
    static void AppendUtf8(std::string& out, char32_t cp);

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

    // How a source is to be read. One that names no encoding and is not
    // valid UTF-8 is UTF-8 with some bad bytes when it holds any valid
    // multi-byte sequence (one stray byte must not turn the rest into
    // mojibake), and Windows-1252 from an older tool otherwise.
    enum class EReading { Unchanged, RepairedUtf8, Windows1252 };
    static EReading ReadingOf(std::string_view xml);
};
