#pragma once
// UTF-16 code units, as Windows files and Wine's registry keep text, to the
// program's UTF-8.

#include <string>
#include <string_view>

namespace utf16 {

// Pairs of surrogates become one character; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::u16string_view units);

// Little-endian bytes (a file's content after its byte-order mark); an odd
// last byte is dropped.
std::u16string FromLittleEndian(std::string_view bytes);

} // namespace utf16
