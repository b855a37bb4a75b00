#pragma once
// One engine document. Copies share the same document (a counted reference).

#include "xml/XmlNode.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Why a load did not produce a document. All of them mean "the XML was
// invalid" to the user; the detail goes to tests and diagnostics.
enum class EXmlLoadStatus {
    Ok,
    NotFound,  // no readable regular file; a URL gave no body or an HTTP error
    TooLarge,  // over the size cap
    Timeout,   // the server did not answer in time
    Malformed, // not well-formed, or refused for safety (entities, depth, attributes)
};

struct SXmlLoadResult {
    EXmlLoadStatus status = EXmlLoadStatus::Malformed;
    std::string detail;
    // Bytes of a source read as UTF-8 that were not UTF-8 and became U+FFFD;
    // the user is to be told, since a save writes the replacement.
    std::size_t replacedBytes = 0;
    bool ok() const { return status == EXmlLoadStatus::Ok; }
};

class CXmlDocument {
public:
    // A new, empty document. Throws CXmlError when the engine cannot make one.
    CXmlDocument();

    // Replaces the contents with the parsed bytes. Whitespace is preserved
    // and CDATA sections stay CDATA nodes. Nothing else is ever read: no DTDs,
    // no external entities. On failure the document is left empty. Throws
    // CXmlError only for engine failures (out of memory and the like).
    // baseName is only used in messages.
    SXmlLoadResult LoadBytes(std::string_view bytes, const std::string& baseName = {});

    CXmlNode DocumentNode() const;    // node of type EXmlNodeType::Document
    CXmlNode DocumentElement() const; // empty when there is none

    CXmlNode CreateElement(const std::string& name);
    CXmlNode CreateAttribute(const std::string& name);
    CXmlNode CreateCDATASection(const std::string& text);
    CXmlNode CreateTextNode(const std::string& text);

    CXmlNode AppendChild(const CXmlNode& child) { return DocumentNode().AppendChild(child); }
    CXmlNode SelectSingleNode(const std::string& xpath) const {
        return DocumentNode().SelectSingleNode(xpath);
    }

    bool operator==(const CXmlDocument& other) const { return m_state == other.m_state; }

private:
    std::shared_ptr<CXmlDocState> m_state;
};

// Limits that protect the program from hostile or broken sources.
struct SXmlSourceLimits {
    static constexpr std::size_t kMaxBytes = 64u * 1024u * 1024u;
    static constexpr int kMaxDepth = 256;
    // Far above any real library, far below the engine's quadratic time.
    static constexpr std::size_t kMaxAttributes = 10000;
    // What references to internal entities may add up to, in bytes: below
    // the engine's 10 MB for one text or attribute value, which it reports as
    // running out of memory.
    static constexpr std::size_t kMaxEntityExpansion = 4u * 1024u * 1024u;
};
