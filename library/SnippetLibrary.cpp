#include "library/SnippetLibrary.h"

#include "library/LibrarySource.h"
#include "library/SnippetFormat.h"
#include "library/TextFold.h"
#include "res/Messages.h"

#include <algorithm>
#include <charconv>

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
    Changed();
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
        Changed();
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
    Changed();
    return m_root;
}

std::vector<CSnippetLibrary::SItem> CSnippetLibrary::NumberItems() {
    std::vector<SItem> items;
    items.reserve(m_items.size());
    Number(&items);
    return items;
}

std::size_t CSnippetLibrary::Renumber() {
    return Number(nullptr);
}

const CSnippetLibrary::SMissingCaptions& CSnippetLibrary::MissingCaptions() {
    if (m_nMissingGeneration != m_nGeneration)
        Number(nullptr, false);
    return m_missing;
}

std::size_t CSnippetLibrary::Number(std::vector<SItem>* items, bool number) {
    m_missing = SMissingCaptions();
    if (number) {
        // The ids change: a folded copy holds the old ones.
        Changed();
        m_nNextItemId = 0;
        const std::size_t lastCount = m_items.size();
        m_items.clear();
        m_items.reserve(lastCount);
    }
    m_nMissingGeneration = m_nGeneration;
    if (!m_dom || !m_root)
        return 0;

    // Iterative pre-order walk: libraries can be deep and large.
    struct Frame {
        CXmlNode node;
        int parentIndex;
        bool shown; // its parent gives a menu entry (the root's "parent" does)
    };
    std::vector<Frame> stack{{m_root, -1, true}};
    std::vector<CXmlNode> children;
    const std::string idName = snippet_format::kItemIdAttr;
    const std::string headerName = snippet_format::kHeaderAttr;
    std::size_t count = 0;
    while (!stack.empty()) {
        Frame f = std::move(stack.back());
        stack.pop_back();
        // Handles are moved, never copied: each costs a count in the engine.
        children.clear();
        for (CXmlNode c = f.node.FirstChildElement(); c;) {
            CXmlNode next = c.NextSiblingElement();
            children.push_back(std::move(c));
            c = std::move(next);
        }
        // The menu's rule: a branch without a caption is left out whole,
        // silently; a snippet without one is told about.
        const bool shown = f.shown && f.node.HasNonEmptyAttribute(headerName);
        if (f.shown && !shown && children.empty() && m_missing.count++ == 0)
            m_missing.firstXml = f.node.Xml();

        const int index = static_cast<int>(count++);
        if (number) {
            const int id = m_nNextItemId++;
            // A saved library has iid last already: its value is replaced in place.
            f.node.SetAttributeLast(idName, std::to_string(id));
            if (items)
                items->push_back({id, f.parentIndex, f.node.GetNamedItem(headerName).value_or("")});
            m_items.push_back(std::move(f.node));
        }
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            stack.push_back({std::move(*it), index, shown});
    }
    return count;
}

std::vector<CSnippetLibrary::SChildItem> CSnippetLibrary::ChildItems(int id) const {
    std::vector<SChildItem> children;
    const CXmlNode element = FindByItemId(id);
    if (!element)
        return children;
    const std::string headerName = snippet_format::kHeaderAttr;
    for (CXmlNode c = element.FirstChildElement(); c;) {
        const int childId = IdOf(c);
        // An element the numbering has not seen cannot be found by its id;
        // it shows after the next rebuild.
        if (childId >= 0)
            children.push_back({childId, c.GetNamedItem(headerName).value_or(""),
                                static_cast<bool>(c.FirstChildElement())});
        CXmlNode next = c.NextSiblingElement();
        c = std::move(next);
    }
    return children;
}

int CSnippetLibrary::IdOf(const CXmlNode& element) const {
    if (!element)
        return -1;
    // Every numbered or added element carries its id; the index confirms it.
    int id = -1;
    if (const auto value = element.GetNamedItem(snippet_format::kItemIdAttr)) {
        const char* end = value->data() + value->size();
        if (std::from_chars(value->data(), end, id).ptr != end || id < 0 ||
            static_cast<std::size_t>(id) >= m_items.size() ||
            !(m_items[static_cast<std::size_t>(id)] == element))
            id = -1;
    }
    for (std::size_t i = 0; id < 0 && i < m_items.size(); ++i)
        if (m_items[i] == element)
            id = static_cast<int>(i);
    // A removed element has no id any longer.
    return id >= 0 && FindByItemId(id) ? id : -1;
}

std::vector<int> CSnippetLibrary::PathTo(int id) const {
    std::vector<int> path;
    CXmlNode element = FindByItemId(id);
    if (!element)
        return path;
    for (; element && !(element == m_root); element = element.ParentNode()) {
        const int up = IdOf(element);
        if (up < 0)
            return {};
        path.push_back(up);
    }
    if (!element)
        return {};
    path.push_back(IdOf(m_root));
    std::reverse(path.begin(), path.end());
    return path;
}

void CSnippetLibrary::Changed() {
    ++m_nGeneration;
    // About the size of the library's text: not kept for a search that may
    // never come.
    if (!m_search.ids.empty())
        m_search = SSearchCopy();
}

namespace {

// One element's part of the folded copy: its header, a NUL, its text, a NUL.
void FoldPart(const CXmlElementView& element, std::string& out) {
    static const std::string headerName = snippet_format::kHeaderAttr;
    text_fold::FoldInto(element.Attribute(headerName), out);
    out += '\0';
    text_fold::FoldInto(element.OwnText(), out);
    out += '\0';
}

// Past this many elements typed into since the last search, folding the
// library again is as quick as patching the copy.
constexpr std::size_t kMaxStaleParts = 64;

} // namespace

CXmlDocument* CSnippetLibrary::DomFor(const CXmlNode& element) {
    const bool current = m_search.generation == m_nGeneration && !m_search.ids.empty();
    const int id = current ? IdOf(element) : -1;
    if (id < 0 || m_search.stale.size() >= kMaxStaleParts)
        return Dom();
    // The missing captions are counted again; the copy stays, marked.
    ++m_nGeneration;
    m_search.generation = m_nGeneration;
    if (std::find(m_search.stale.begin(), m_search.stale.end(), id) == m_search.stale.end())
        m_search.stale.push_back(id);
    return m_dom ? &*m_dom : nullptr;
}

bool CSnippetLibrary::RefoldStale() const {
    std::string part;
    for (const int id : m_search.stale) {
        const auto at = std::find(m_search.ids.begin(), m_search.ids.end(), id);
        const CXmlNode element = FindByItemId(id);
        if (at == m_search.ids.end() || !element)
            return false;
        part.clear();
        element.ViewElement([&](const CXmlElementView& view) { FoldPart(view, part); });
        const auto entry = static_cast<std::size_t>(at - m_search.ids.begin());
        const std::size_t begin = m_search.starts[entry];
        const std::size_t end = entry + 1 < m_search.starts.size() ? m_search.starts[entry + 1]
                                                                   : m_search.folded.size();
        m_search.folded.replace(begin, end - begin, part);
        for (std::size_t later = entry + 1; later < m_search.starts.size(); ++later)
            m_search.starts[later] = m_search.starts[later] - (end - begin) + part.size();
    }
    m_search.stale.clear();
    return true;
}

const CSnippetLibrary::SSearchCopy& CSnippetLibrary::SearchCopy() const {
    if (m_search.generation == m_nGeneration && RefoldStale())
        return m_search;
    m_search = SSearchCopy();
    if (!m_root)
        return m_search;
    const std::string idName = snippet_format::kItemIdAttr;
    // Document order after the root, then the root itself: the walk comes
    // round to it last, which is where a search that starts after it wraps.
    m_root.FindElementAfter(m_root, [&](const CXmlElementView& element) {
        const std::string_view idText = element.Attribute(idName);
        int id = -1;
        std::from_chars(idText.data(), idText.data() + idText.size(), id);
        m_search.starts.push_back(m_search.folded.size());
        m_search.ids.push_back(id);
        FoldPart(element, m_search.folded);
        return false;
    });
    m_search.generation = m_nGeneration;
    return m_search;
}

int CSnippetLibrary::FindText(int afterId, std::string_view foldedNeedle) const {
    if (!m_root || !m_dom || foldedNeedle.find('\0') != std::string_view::npos)
        return -1;
    const SSearchCopy& copy = SearchCopy();
    const std::size_t count = copy.ids.size();
    if (count == 0)
        return -1;
    // The walk lists the root last: it came round to it.
    const auto position = std::find(copy.ids.begin(), copy.ids.end(), afterId);
    const std::size_t from = position == copy.ids.end()
                                 ? count - 1
                                 : static_cast<std::size_t>(position - copy.ids.begin());
    const auto entryAt = [&](std::size_t offset) {
        return static_cast<std::size_t>(
            std::upper_bound(copy.starts.begin(), copy.starts.end(), offset) - copy.starts.begin() -
            1);
    };
    const std::string_view all = copy.folded;
    const auto idOf = [&](std::size_t entry) {
        // An id no element carries any longer (a copy made before a renumbering
        // is never used) is checked all the same.
        const int id = copy.ids[entry];
        return FindByItemId(id) ? id : -1;
    };
    // After the starting element to the end, then from the start up to and
    // including it. The NULs keep a match within one header or one text.
    const std::size_t split = from + 1 < count ? copy.starts[from + 1] : all.size();
    std::size_t hit =
        split < all.size() ? all.substr(split).find(foldedNeedle) : std::string_view::npos;
    if (hit != std::string_view::npos)
        return idOf(entryAt(split + hit));
    hit = all.substr(0, split).find(foldedNeedle);
    if (hit != std::string_view::npos)
        return idOf(entryAt(hit));
    return -1;
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
    Changed();
}

std::string CSnippetLibrary::Serialize() const {
    return m_root ? snippet_format::WrittenForm(m_root) : std::string();
}

SAtomicWriteResult CSnippetLibrary::SaveTo(const std::string& path) const {
    if (!m_dom || !m_root)
        return {false, msg::kNoLibraryToSave};
    return WriteFileAtomically(path, Serialize());
}
