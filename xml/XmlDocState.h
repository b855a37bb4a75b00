#pragma once
// Private to the XML layer: the engine document shared by a CXmlDocument and
// every CXmlNode handle into it.
//
// Lifetime rules. Each handle counts itself in its node's _private field and in
// the tree the node hangs in. A tree is either a document (the current one, or
// one replaced by a later Load that handles still point into) or a detached
// subtree (created and not yet inserted, or removed). A detached subtree is
// freed as soon as no handle points anywhere into it, so removed nodes never
// pile up for the life of the document; a replaced document is freed once no
// handle and no detached subtree of it is left. All of this is single-threaded:
// a document and its handles belong to one thread at a time.

#include "xml/TextEncoding.h"
#include "xml/XmlError.h"

#include <libxml/tree.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

// Text going into a tree must be UTF-8: the serialiser promises raw UTF-8 out.
inline void RequireUtf8(std::string_view text, const char* what) {
    if (!CTextEncoding::IsValidUtf8(text) || text.find('\0') != std::string_view::npos)
        throw CXmlError(EXmlResult::InvalidArg, std::string(what) + " is not UTF-8 text");
}

class CXmlDocState {
public:
    // Takes ownership of doc.
    explicit CXmlDocState(xmlDocPtr doc);
    ~CXmlDocState();
    CXmlDocState(const CXmlDocState&) = delete;
    CXmlDocState& operator=(const CXmlDocState&) = delete;

    // An engine document with no content, set up like a parsed one. Throws
    // CXmlError(OutOfMemory).
    static xmlDocPtr NewEmptyDoc();

    xmlDocPtr Doc() const { return m_pDoc; }
    // Makes doc (owned from now on) the current document. The previous one
    // lives on while handles or detached subtrees still need it.
    void Replace(xmlDocPtr doc);

    void Acquire(xmlNodePtr node) noexcept;
    void Release(xmlNodePtr node) noexcept;

    // Registers a node the document just made, not yet in any tree. Frees it
    // and rethrows when registering fails.
    void AdoptDetached(xmlNodePtr node);

    // Tree edits that keep the counts right. Callers check the hierarchy first.
    void AppendChild(xmlNodePtr parent, xmlNodePtr child);
    void AppendAttribute(xmlNodePtr element, xmlAttrPtr attr);
    void Unlink(xmlNodePtr node);

    static xmlNodePtr TopOf(xmlNodePtr node);
    static bool IsDocumentNode(const xmlNode* node);

    // Engine trees alive in the whole process; for tests of the lifetime rules.
    static std::size_t LiveDetachedTrees();
    static std::size_t LiveDocuments();

private:
    struct SDocCounts {
        std::size_t nTreeHandles = 0;
        std::size_t nDetachedTops = 0;
        bool bRetired = false;
    };

    template <class Edit> void Relink(xmlNodePtr node, xmlNodePtr newParent, Edit edit);
    static std::size_t CountHandles(xmlNodePtr node);
    void Subtract(xmlNodePtr top, xmlNodePtr node, std::size_t count);
    void Add(xmlNodePtr top, xmlNodePtr node, std::size_t count);
    void FreeDetached(xmlNodePtr top) noexcept;
    void FreeDocIfUnused(xmlDocPtr doc) noexcept;

    xmlDocPtr m_pDoc = nullptr;
    SDocCounts* m_pCurrentCounts = nullptr; // element of m_mapDocs; stable across rehashing
    std::unordered_map<xmlDocPtr, SDocCounts> m_mapDocs;
    // Top node of each detached subtree -> handles pointing into it.
    std::unordered_map<xmlNodePtr, std::size_t> m_mapDetached;
};
