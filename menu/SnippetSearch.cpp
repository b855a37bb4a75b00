#include "menu/SnippetSearch.h"

#include "library/TextFold.h"
#include "menu/SnippetMenuModel.h"

#include <algorithm>

namespace {

constexpr std::string_view kPathSeparator = " \u203A ";

} // namespace

void CSnippetSearch::SetModel(CSnippetMenuModel* model) {
    m_pModel = model;
    m_bIndexed = false;
    m_parents.clear();
    m_snippets.clear();
    m_strFolded.clear();
    m_strFolded.shrink_to_fit();
    m_strLastNeedle.clear();
    m_lastMatches.clear();
}

std::string CSnippetSearch::ShownCaption(std::string_view caption) {
    std::string shown;
    shown.reserve(caption.size());
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size())
            ++i;
        shown += caption[i];
    }
    return shown;
}

void CSnippetSearch::BuildIndex() {
    m_bIndexed = true;
    if (!m_pModel || m_pModel->RootEntry() < 0)
        return;
    m_parents.clear();
    std::string text;
    // In menu order, each level read as it is come to.
    std::vector<int> pending{m_pModel->RootEntry()};
    while (!pending.empty()) {
        const int index = pending.back();
        pending.pop_back();
        if (m_pModel->At(index).level) {
            const int first = m_pModel->FirstChild(index);
            m_parents.resize(m_pModel->Size(), -1);
            const std::size_t mark = pending.size();
            for (int child = first; child >= 0; child = m_pModel->At(child).nextSibling) {
                m_parents[static_cast<std::size_t>(child)] = index;
                pending.push_back(child);
            }
            std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(mark), pending.end());
            continue;
        }
        const CSnippetMenuModel::SEntry& entry = m_pModel->At(index);
        try {
            text = entry.element.Text();
        } catch (...) {
            // An engine failure on one snippet: found by its header alone.
            text.clear();
        }
        SIndexed indexed{index, m_strFolded.size(), 0, 0, 0};
        text_fold::FoldInto(ShownCaption(entry.caption), m_strFolded);
        indexed.headerSize = m_strFolded.size() - indexed.header;
        indexed.text = m_strFolded.size();
        text_fold::FoldInto(text, m_strFolded);
        indexed.textSize = m_strFolded.size() - indexed.text;
        m_snippets.push_back(indexed);
    }
    m_parents.resize(m_pModel->Size(), -1);
}

std::string CSnippetSearch::Path(int entry) const {
    std::vector<int> chain;
    for (int at = entry; at >= 0; at = m_parents[static_cast<std::size_t>(at)])
        chain.push_back(at);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty())
            path += kPathSeparator;
        path += ShownCaption(m_pModel->At(*it).caption);
    }
    return path;
}

std::vector<CSnippetSearch::SHit> CSnippetSearch::Find(std::string_view query, std::size_t cap) {
    Prepare();
    std::string needle = text_fold::Fold(query);
    if (needle.empty() || m_snippets.empty())
        return {};

    const std::string_view folded(m_strFolded);
    std::vector<std::size_t> matches;
    const auto test = [&](std::size_t position) {
        const SIndexed& s = m_snippets[position];
        if (folded.substr(s.header, s.headerSize).find(needle) != std::string_view::npos ||
            folded.substr(s.text, s.textSize).find(needle) != std::string_view::npos)
            matches.push_back(position);
    };
    if (!m_strLastNeedle.empty() && needle.find(m_strLastNeedle) != std::string::npos) {
        for (const std::size_t position : m_lastMatches)
            test(position);
    } else {
        for (std::size_t position = 0; position < m_snippets.size(); ++position)
            test(position);
    }

    std::vector<SHit> hits;
    std::vector<std::size_t> textOnly;
    for (const std::size_t position : matches) {
        const SIndexed& s = m_snippets[position];
        if (folded.substr(s.header, s.headerSize).find(needle) == std::string_view::npos)
            textOnly.push_back(position);
        else if (hits.size() < cap)
            hits.push_back({s.entry, {}, true});
    }
    for (std::size_t i = 0; i < textOnly.size() && hits.size() < cap; ++i)
        hits.push_back({m_snippets[textOnly[i]].entry, {}, false});
    for (SHit& hit : hits)
        hit.path = Path(hit.entry);
    m_strLastNeedle = std::move(needle);
    m_lastMatches = std::move(matches);
    return hits;
}
