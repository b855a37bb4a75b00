#pragma once
// The snippet libraries bench_paste pastes from: a tree of a given shape
// (e.g. 10x100x100: ten areas, a hundred topics in each, a hundred snippets
// in each topic), every snippet a single line of 50 to 200 bytes with
// non-ASCII words, each text different and computable from its place, so the
// measuring client knows what each menu entry must paste without reading the
// file.

#include <string>
#include <vector>

class CPasteLibrary {
public:
    // "4x5x5" or "10x100x100"; false for anything else.
    bool SetShape(const std::string& shape);
    const std::vector<int>& Shape() const { return m_nFanOut; }
    long SnippetCount() const;

    // The text of the snippet at `path` (one index per level, each below the
    // level's fan-out).
    std::string Text(const std::vector<int>& path) const;

    // Writes the library as the program reads it; false on a write failure.
    bool Write(const std::string& file) const;

private:
    void WriteLevel(std::string& out, std::vector<int>& path) const;

    std::vector<int> m_nFanOut;
};
