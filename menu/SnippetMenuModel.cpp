#include "menu/SnippetMenuModel.h"

#include "library/SnippetFormat.h"

void CSnippetMenuModel::Clear() {
    m_entries.clear();
}

bool CSnippetMenuModel::Build(const CXmlNode& root, const SReporter& reporter) {
    const std::size_t lastCount = m_entries.size();
    m_entries.clear();
    m_entries.reserve(lastCount);
    if (!root)
        return false;
    m_pReporter = &reporter;
    m_nMissing = 0;
    m_strFirstMissing.clear();
    int lastChild = -1;
    const bool built = BuildSnippetMenu(CXmlNode(root), -1, lastChild);
    m_pReporter = nullptr;
    if (m_nMissing > 0 && reporter.missingCaptions)
        reporter.missingCaptions(m_nMissing, m_strFirstMissing);
    return built;
}

bool CSnippetMenuModel::BuildSnippetMenu(CXmlNode node, int parent, int& lastChild) {
    // Each call has its own guard: a failure ends this branch only.
    try {
        if (node.NodeType() != EXmlNodeType::Element)
            return false;
        const bool level = snippet_format::HasElementChild(node);
        std::string caption =
            node.GetNamedItem(snippet_format::kHeaderAttr).value_or(std::string());
        if (caption.empty()) {
            // A branch without a caption is left out whole, silently.
            // Only the first one's markup is shown: a large library may lack
            // thousands of headers.
            if (!level && m_nMissing++ == 0)
                m_strFirstMissing = node.Xml();
            return false;
        }

        const int index = static_cast<int>(m_entries.size());
        // Handles are moved, never copied: each copy costs a count in the engine.
        m_entries.push_back({std::move(caption), std::move(node), level, -1, -1});
        if (lastChild >= 0)
            m_entries[static_cast<std::size_t>(lastChild)].nextSibling = index;
        else if (parent >= 0)
            m_entries[static_cast<std::size_t>(parent)].firstChild = index;
        lastChild = index;

        if (level) {
            int lastOfLevel = -1;
            CXmlNode child = m_entries[static_cast<std::size_t>(index)].element.FirstChildElement();
            while (child) {
                CXmlNode next = child.NextSiblingElement();
                BuildSnippetMenu(std::move(child), index, lastOfLevel);
                child = std::move(next);
            }
        }
        return true;
    } catch (...) {
        if (m_pReporter->invalidStructure)
            m_pReporter->invalidStructure();
        return false;
    }
}
