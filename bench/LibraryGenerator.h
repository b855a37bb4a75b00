#pragma once
// Synthetic snippet libraries for the benchmarks: the shape and bytes of a
// file the program saved and a person then edited by hand (indentation
// between elements, ids already present, non-ASCII text in headers and CDATA).

#include <cstdint>
#include <string>

class CLibraryGenerator {
public:
    // Exactly nItems elements: the level0 root, headings down to level3 and
    // leaf snippets, mostly at level4, each leaf holding 50 to 200 bytes of
    // CDATA. The same seed always gives the same bytes.
    static std::string Generate(int nItems, std::uint64_t seed = 0x7e55a2c9u);
};
