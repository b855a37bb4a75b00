#pragma once
// Private to the XML layer: a quick look over a source before it is parsed,
// for what the parser itself would only find after too long. libxml2 checks
// the attributes of a start tag for duplicates in time quadratic in their
// number, before any callback could stop it: a tag with 300,000 attributes
// takes minutes.

#include <cstddef>
#include <string_view>

class CXmlPrescan {
public:
    // The largest number of attributes (namespace declarations included) in
    // one start tag, counted on the text the parser will see; the count stops
    // once it is above stopAbove. bytesAreUtf8 says that the caller has
    // decoded the source already; otherwise its encoding is found as the
    // parser finds it (byte-order mark, declaration).
    static std::size_t MostAttributes(std::string_view bytes, bool bytesAreUtf8,
                                      std::size_t stopAbove);
};
