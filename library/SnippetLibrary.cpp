#include "library/SnippetLibrary.h"

#include "library/LibrarySource.h"
#include "library/SnippetFormat.h"
#include "res/Messages.h"

namespace {
bool g_simulateEngineFailure = false;
}

void CSnippetLibrary::SimulateEngineFailure(bool fail) {
    g_simulateEngineFailure = fail;
}

bool CSnippetLibrary::CreateEngine() {
    try {
        if (g_simulateEngineFailure)
            throw CXmlError(EXmlResult::Fail, "engine unavailable");
        m_dom.emplace();
    } catch (const CXmlError&) {
        m_dom.reset();
        m_root = CXmlNode();
        return false;
    }
    m_root = CXmlNode();
    m_items.clear();
    return true;
}

CSnippetLibrary::ELoadOutcome CSnippetLibrary::Load(const std::string& source,
                                                    SXmlLoadResult* detail) {
    if (!m_dom)
        return ELoadOutcome::NoEngine;
    std::string bytes;
    const SXmlLoadResult read = library_source::Read(source, bytes);
    if (!read.ok()) {
        if (detail)
            *detail = read;
        return ELoadOutcome::Invalid;
    }
    return LoadBytes(bytes, source, detail);
}

CSnippetLibrary::ELoadOutcome CSnippetLibrary::LoadBytes(std::string_view bytes,
                                                         const std::string& name,
                                                         SXmlLoadResult* detail) {
    if (!m_dom)
        return ELoadOutcome::NoEngine;
    try {
        CXmlDocument fresh;
        SXmlLoadResult result = fresh.LoadBytes(bytes, name);
        if (detail)
            *detail = result;
        if (!result.ok())
            return ELoadOutcome::Invalid;
        // The same test as the rebuild's root check, which must not fail later.
        if (!fresh.SelectSingleNode(std::string("/") + snippet_format::kRootName))
            return ELoadOutcome::WrongRoot;
        m_dom = fresh;
        m_root = fresh.DocumentElement();
        m_items.clear();
        return ELoadOutcome::Ok;
    } catch (const CXmlError& e) {
        if (detail)
            *detail = SXmlLoadResult{EXmlLoadStatus::Malformed, e.what()};
        return ELoadOutcome::EngineFailure;
    }
}

CXmlNode CSnippetLibrary::EnsureRoot() {
    if (!m_dom)
        throw CXmlError(EXmlResult::Pointer, "no engine document");
    m_root = snippet_format::EnsureRootElement(*m_dom);
    return m_root;
}

std::vector<CSnippetLibrary::SItem> CSnippetLibrary::NumberItems() {
    m_nNextItemId = 0;
    const std::size_t lastCount = m_items.size();
    m_items.clear();
    m_items.reserve(lastCount);
    std::vector<SItem> items;
    items.reserve(lastCount);
    if (!m_dom || !m_root)
        return items;

    // Iterative pre-order walk: libraries can be deep and large.
    struct Frame {
        CXmlNode node;
        int parentIndex;
    };
    std::vector<Frame> stack{{m_root, -1}};
    std::vector<CXmlNode> children;
    const std::string idName = snippet_format::kItemIdAttr;
    const std::string headerName = snippet_format::kHeaderAttr;
    while (!stack.empty()) {
        Frame f = std::move(stack.back());
        stack.pop_back();
        const int id = m_nNextItemId++;
        // A saved library has iid last already: its value is replaced in place.
        f.node.SetAttributeLast(idName, std::to_string(id));
        const int index = static_cast<int>(items.size());
        items.push_back({id, f.parentIndex, f.node.GetNamedItem(headerName).value_or("")});

        // Handles are moved, never copied: each costs a count in the engine.
        children.clear();
        for (CXmlNode c = f.node.FirstChildElement(); c;) {
            CXmlNode next = c.NextSiblingElement();
            children.push_back(std::move(c));
            c = std::move(next);
        }
        m_items.push_back(std::move(f.node));
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({std::move(*it), index});
    }
    return items;
}

CXmlNode CSnippetLibrary::FindByItemId(int id) const {
    if (id < 0 || static_cast<std::size_t>(id) >= m_items.size() || !m_dom)
        return {};
    const CXmlNode& node = m_items[static_cast<std::size_t>(id)];
    // A removed element, or one of a document that has since been replaced,
    // is no longer found.
    if (!node || !node.IsInDocumentTree() || !(node.OwnerDocumentNode() == m_dom->DocumentNode()))
        return {};
    return node;
}

void CSnippetLibrary::RegisterItem(int id, const CXmlNode& element) {
    if (id < 0)
        return;
    if (static_cast<std::size_t>(id) >= m_items.size())
        m_items.resize(static_cast<std::size_t>(id) + 1);
    m_items[static_cast<std::size_t>(id)] = element;
}

std::string CSnippetLibrary::Serialize() const {
    return m_root ? snippet_format::WrittenForm(m_root) : std::string();
}

SAtomicWriteResult CSnippetLibrary::SaveTo(const std::string& path) const {
    if (!m_dom || !m_root)
        return {false, msg::kNoLibraryToSave};
    return WriteFileAtomically(path, Serialize());
}
