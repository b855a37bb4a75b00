#include "menu/SnippetMenuModel.h"

#include "library/SnippetFormat.h"
#include "xml/XmlError.h"

namespace {
std::string g_failOn;
}

void CSnippetMenuModel::SimulateEngineFailure(const std::string& header) {
    g_failOn = header;
}

void CSnippetMenuModel::Clear() {
    m_entries.clear();
    m_reporter = SReporter();
}

bool CSnippetMenuModel::Build(const CXmlNode& root, SReporter reporter) {
    Clear();
    if (!root)
        return false;
    m_reporter = std::move(reporter);
    int lastChild = -1;
    if (!AppendEntry(CXmlNode(root), -1, lastChild))
        return false;
    ReadLevel(RootEntry());
    return true;
}

int CSnippetMenuModel::FirstChild(int index) {
    if (!At(index).read)
        ReadLevel(index);
    return At(index).firstChild;
}

void CSnippetMenuModel::ReadLevel(int index) {
    SEntry& entry = m_entries[static_cast<std::size_t>(index)];
    if (entry.read)
        return;
    entry.read = true;
    if (!entry.level)
        return;
    // The element may have been changed or removed since the rebuild: a
    // handle keeps it, and what it holds now is read.
    CXmlNode element = entry.element;
    int lastOfLevel = -1;
    try {
        CXmlNode child = element.FirstChildElement();
        while (child) {
            CXmlNode next = child.NextSiblingElement();
            AppendEntry(std::move(child), index, lastOfLevel);
            child = std::move(next);
        }
    } catch (...) {
        // The entries read so far stay.
        if (m_reporter.invalidStructure)
            m_reporter.invalidStructure();
    }
}

bool CSnippetMenuModel::AppendEntry(CXmlNode node, int parent, int& lastChild) {
    // Each entry has its own guard: a failure ends this branch only.
    try {
        if (node.NodeType() != EXmlNodeType::Element)
            return false;
        std::string caption =
            node.GetNamedItem(snippet_format::kHeaderAttr).value_or(std::string());
        // A branch without a caption is left out whole; a snippet without
        // one is counted by the numbering walk.
        if (caption.empty())
            return false;
        if (!g_failOn.empty() && caption == g_failOn)
            throw CXmlError(EXmlResult::Fail, "engine failure");
        const bool level = snippet_format::HasElementChild(node);

        const int index = static_cast<int>(m_entries.size());
        // Handles are moved, never copied: each copy costs a count in the engine.
        m_entries.push_back({std::move(caption), std::move(node), level, !level, -1, -1});
        if (lastChild >= 0)
            m_entries[static_cast<std::size_t>(lastChild)].nextSibling = index;
        else if (parent >= 0)
            m_entries[static_cast<std::size_t>(parent)].firstChild = index;
        lastChild = index;
        return true;
    } catch (...) {
        if (m_reporter.invalidStructure)
            m_reporter.invalidStructure();
        return false;
    }
}
