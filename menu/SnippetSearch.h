#pragma once
// Finds the snippets of the menu by what a person types: header matches
// first, then snippets whose text alone matches, each in menu order, up to a
// cap, with the path of captions to each. Folded ("cafe" finds "Café"); no
// window: the type-to-find pop-up shows what this returns.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class CSnippetMenuModel;

class CSnippetSearch {
public:
    struct SHit {
        int entry = -1;        // the snippet's entry in the model
        std::string path;      // "Mail › Sign-off › Formal"
        bool inHeader = false; // otherwise found in the text alone
    };
    static constexpr std::size_t kMaxListed = 50;

    // The model searched from now on (null: none); the folded headers and
    // texts are read at the first search after it, with every level of the
    // model not read yet.
    void SetModel(CSnippetMenuModel* model);
    std::vector<SHit> Find(std::string_view query, std::size_t cap = kMaxListed);
    // Reads the headers and texts now, so that the first search is as quick
    // as the next ones.
    void Prepare() {
        if (!m_bIndexed)
            BuildIndex();
    }
    bool IsPrepared() const { return m_bIndexed; }
    // A caption as the menu shows it: "&" before the access key taken out,
    // "&&" made one "&".
    static std::string ShownCaption(std::string_view caption);

private:
    struct SIndexed {
        int entry;
        std::size_t header, headerSize, text, textSize; // in m_strFolded
    };
    void BuildIndex();
    std::string Path(int entry) const;

    CSnippetMenuModel* m_pModel = nullptr;
    bool m_bIndexed = false;
    std::vector<int> m_parents; // per entry; -1 for the root
    std::vector<SIndexed> m_snippets;
    std::string m_strFolded;
    // The last needle and every snippet it matched, uncapped: a longer
    // needle holding it matches only among those.
    std::string m_strLastNeedle;
    std::vector<std::size_t> m_lastMatches; // positions in m_snippets
};
