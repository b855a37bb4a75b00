#include "xml/XmlDocState.h"

#include "xml/XmlError.h"

#include <atomic>
#include <cassert>
#include <cstdint>

namespace {

std::atomic<std::size_t> g_nLiveDetached{0};
std::atomic<std::size_t> g_nLiveDocs{0};

std::size_t HandlesOn(const void* privateField) {
    return reinterpret_cast<std::uintptr_t>(privateField);
}

} // namespace

CXmlDocState::CXmlDocState(xmlDocPtr doc) : m_pDoc(doc) {
    try {
        m_pCurrentCounts = &m_mapDocs.try_emplace(doc).first->second;
    } catch (...) {
        xmlFreeDoc(doc);
        throw;
    }
    ++g_nLiveDocs;
}

CXmlDocState::~CXmlDocState() {
    // No handle is left (each holds the state), so everything goes; detached
    // subtrees first, since freeing a node consults its document's dictionary.
    for (auto& entry : m_mapDetached) {
        xmlFreeNode(entry.first);
        --g_nLiveDetached;
    }
    for (auto& entry : m_mapDocs) {
        xmlFreeDoc(entry.first);
        --g_nLiveDocs;
    }
}

xmlDocPtr CXmlDocState::NewEmptyDoc() {
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    if (!doc)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot create a document");
    // The serialiser writes non-ASCII attribute text as character references
    // when a document has no encoding; the tree is UTF-8 anyway.
    doc->encoding = xmlStrdup(BAD_CAST "UTF-8");
    if (!doc->encoding) {
        xmlFreeDoc(doc);
        throw CXmlError(EXmlResult::OutOfMemory, "cannot create a document");
    }
    return doc;
}

void CXmlDocState::Replace(xmlDocPtr doc) {
    SDocCounts* counts = nullptr;
    try {
        counts = &m_mapDocs.try_emplace(doc).first->second;
    } catch (...) {
        xmlFreeDoc(doc);
        throw;
    }
    ++g_nLiveDocs;
    xmlDocPtr old = m_pDoc;
    m_pDoc = doc;
    m_pCurrentCounts = counts;
    m_mapDocs[old].bRetired = true;
    FreeDocIfUnused(old);
}

bool CXmlDocState::IsDocumentNode(const xmlNode* node) {
    return node->type == XML_DOCUMENT_NODE || node->type == XML_HTML_DOCUMENT_NODE;
}

xmlNodePtr CXmlDocState::TopOf(xmlNodePtr node) {
    while (node->parent)
        node = node->parent;
    return node;
}

void CXmlDocState::Acquire(xmlNodePtr node) noexcept {
    node->_private = reinterpret_cast<void*>(HandlesOn(node->_private) + 1);
    xmlNodePtr top = TopOf(node);
    // Most handles point into the current document: no map lookup for those.
    if (top == reinterpret_cast<xmlNodePtr>(m_pDoc)) {
        ++m_pCurrentCounts->nTreeHandles;
    } else if (IsDocumentNode(top)) {
        auto it = m_mapDocs.find(reinterpret_cast<xmlDocPtr>(top));
        assert(it != m_mapDocs.end());
        if (it != m_mapDocs.end())
            ++it->second.nTreeHandles;
    } else {
        auto it = m_mapDetached.find(top);
        assert(it != m_mapDetached.end());
        if (it != m_mapDetached.end())
            ++it->second;
    }
}

void CXmlDocState::Release(xmlNodePtr node) noexcept {
    node->_private = reinterpret_cast<void*>(HandlesOn(node->_private) - 1);
    xmlNodePtr top = TopOf(node);
    if (top == reinterpret_cast<xmlNodePtr>(m_pDoc)) {
        --m_pCurrentCounts->nTreeHandles; // the current document is never retired
    } else if (IsDocumentNode(top)) {
        auto doc = reinterpret_cast<xmlDocPtr>(top);
        auto it = m_mapDocs.find(doc);
        if (it != m_mapDocs.end()) {
            --it->second.nTreeHandles;
            FreeDocIfUnused(doc);
        }
    } else {
        auto it = m_mapDetached.find(top);
        if (it != m_mapDetached.end() && --it->second == 0)
            FreeDetached(top);
    }
}

void CXmlDocState::AdoptDetached(xmlNodePtr node) {
    try {
        m_mapDetached.try_emplace(node, 0);
    } catch (...) {
        xmlFreeNode(node);
        throw;
    }
    ++g_nLiveDetached;
    ++m_mapDocs[node->doc].nDetachedTops;
}

std::size_t CXmlDocState::CountHandles(xmlNodePtr node) {
    std::size_t total = 0;
    xmlNodePtr cur = node;
    for (;;) {
        total += HandlesOn(cur->_private);
        if (cur->type == XML_ELEMENT_NODE) {
            for (xmlAttrPtr attr = cur->properties; attr; attr = attr->next)
                total += HandlesOn(attr->_private);
            if (cur->children) {
                cur = cur->children;
                continue;
            }
        }
        while (cur != node && !cur->next)
            cur = cur->parent;
        if (cur == node)
            return total;
        cur = cur->next;
    }
}

void CXmlDocState::Subtract(xmlNodePtr top, xmlNodePtr node, std::size_t count) {
    if (IsDocumentNode(top)) {
        m_mapDocs[reinterpret_cast<xmlDocPtr>(top)].nTreeHandles -= count;
    } else if (top == node) {
        m_mapDetached.erase(node);
        --g_nLiveDetached;
        --m_mapDocs[node->doc].nDetachedTops;
    } else {
        m_mapDetached[top] -= count;
    }
}

void CXmlDocState::Add(xmlNodePtr top, xmlNodePtr node, std::size_t count) {
    if (IsDocumentNode(top)) {
        m_mapDocs[reinterpret_cast<xmlDocPtr>(top)].nTreeHandles += count;
    } else if (top == node) {
        m_mapDetached[node] = count; // the key was put in before the edit
        ++g_nLiveDetached;
        ++m_mapDocs[node->doc].nDetachedTops;
    } else {
        m_mapDetached[top] += count;
    }
}

template <class Edit> void CXmlDocState::Relink(xmlNodePtr node, xmlNodePtr newParent, Edit edit) {
    xmlNodePtr oldTop = TopOf(node);
    if (newParent && oldTop != node && TopOf(newParent) == oldTop) {
        edit(); // a move inside one tree leaves every count as it was
        return;
    }
    if (!newParent)
        m_mapDetached.try_emplace(node, 0); // the only step that can throw
    std::size_t count = 0;
    if (oldTop == node) {
        auto it = m_mapDetached.find(node);
        count = it == m_mapDetached.end() ? 0 : it->second;
    } else {
        count = CountHandles(node);
    }
    Subtract(oldTop, node, count);
    edit();
    xmlNodePtr newTop = TopOf(node);
    Add(newTop, node, count);

    if (newTop == node && count == 0)
        FreeDetached(node);
    if (IsDocumentNode(oldTop)) {
        FreeDocIfUnused(reinterpret_cast<xmlDocPtr>(oldTop));
    } else if (oldTop != node) {
        auto it = m_mapDetached.find(oldTop);
        if (it != m_mapDetached.end() && it->second == 0)
            FreeDetached(oldTop);
    }
}

void CXmlDocState::AppendChild(xmlNodePtr parent, xmlNodePtr child) {
    // Linked by hand: xmlAddChild merges adjacent text nodes and frees the
    // merged one, which would pull the node from under its handles.
    Relink(child, parent, [&] {
        if (child->parent)
            xmlUnlinkNode(child);
        child->parent = parent;
        child->next = nullptr;
        child->prev = parent->last;
        if (parent->last)
            parent->last->next = child;
        else
            parent->children = child;
        parent->last = child;
    });
}

void CXmlDocState::AppendAttribute(xmlNodePtr element, xmlAttrPtr attr) {
    // xmlAddChild would free an attribute of the same name; the caller unlinks
    // that one first so that handles to it stay good.
    auto node = reinterpret_cast<xmlNodePtr>(attr);
    Relink(node, element, [&] {
        if (attr->parent)
            xmlUnlinkNode(node);
        attr->parent = element;
        attr->next = nullptr;
        attr->prev = nullptr;
        if (!element->properties) {
            element->properties = attr;
            return;
        }
        xmlAttrPtr last = element->properties;
        while (last->next)
            last = last->next;
        last->next = attr;
        attr->prev = last;
    });
}

void CXmlDocState::Unlink(xmlNodePtr node) {
    if (!node->parent)
        return;
    Relink(node, nullptr, [&] { xmlUnlinkNode(node); });
}

void CXmlDocState::FreeDetached(xmlNodePtr top) noexcept {
    m_mapDetached.erase(top);
    --g_nLiveDetached;
    xmlDocPtr doc = top->doc;
    xmlFreeNode(top); // frees attributes through xmlFreeProp
    auto it = m_mapDocs.find(doc);
    if (it != m_mapDocs.end()) {
        --it->second.nDetachedTops;
        FreeDocIfUnused(doc);
    }
}

void CXmlDocState::FreeDocIfUnused(xmlDocPtr doc) noexcept {
    auto it = m_mapDocs.find(doc);
    if (it == m_mapDocs.end())
        return;
    const SDocCounts& counts = it->second;
    if (!counts.bRetired || counts.nTreeHandles != 0 || counts.nDetachedTops != 0)
        return;
    m_mapDocs.erase(it);
    xmlFreeDoc(doc);
    --g_nLiveDocs;
}

std::size_t CXmlDocState::LiveDetachedTrees() {
    return g_nLiveDetached;
}

std::size_t CXmlDocState::LiveDocuments() {
    return g_nLiveDocs;
}
