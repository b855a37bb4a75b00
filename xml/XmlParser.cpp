#include "xml/XmlParser.h"

#include "xml/TextEncoding.h"
#include "xml/XmlErrorCapture.h"
#include "xml/XmlPrescan.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

// Safety rules of a parse:
// - Only the bytes handed in are read. The external entity loader refuses
//   every request (it is process-wide in libxml2, and nothing else in the
//   program has a use for it), XML_PARSE_NONET is set, and DTD loading,
//   defaulting and validation stay off.
// - Internal general entities declared in the document type are expanded
//   into the text (and so saved expanded). Any other entity declaration
//   (external, parameter, unparsed) ends the parse as malformed, and so do
//   references whose expansions add up to more than
//   SXmlSourceLimits::kMaxEntityExpansion bytes: each reference is weighed
//   before the engine expands it, so nested ("billion laughs") and quadratic
//   expansions are refused at once.
// - Nesting deeper than SXmlSourceLimits::kMaxDepth ends the parse. libxml2
//   itself stops a little deeper without XML_PARSE_HUGE, which stays off, as
//   do its other size limits (10 MB for one text node, for instance).
// - A start tag with more than SXmlSourceLimits::kMaxAttributes attributes
//   ends the load before parsing (see CXmlPrescan).
// - A namespace name holding '&', '<', a tab or a line break ends the parse:
//   the engine writes namespace names back unescaped, so the saved file would
//   not load again, or would read differently.
// - Whitespace-only text and CDATA sections are kept: no NOBLANKS, no NOCDATA.
// - Text shorter than two pointers (ids, short headers) is kept inside its
//   node (XML_PARSE_COMPACT): one allocation less per short attribute value,
//   the same document.

namespace {

constexpr int kParseOptions =
    XML_PARSE_NONET | XML_PARSE_BIG_LINES | XML_PARSE_NOENT | XML_PARSE_COMPACT;

struct SParseSession {
    CXmlErrorCapture* pCapture = nullptr;
    bool bRefused = false;
    int nDepth = 0;
    std::size_t nExpandedBytes = 0;
    // Expanded size of each internal entity met so far; a declaration is
    // never changed once made, so the size holds for the whole parse.
    std::unordered_map<const xmlEntity*, std::size_t> mapEntitySizes;
};

SParseSession& SessionOf(void* ctx) {
    return *static_cast<SParseSession*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

void Refuse(void* ctx, const std::string& why) {
    SParseSession& session = SessionOf(ctx);
    if (!session.bRefused) {
        session.bRefused = true;
        auto ctxt = static_cast<xmlParserCtxtPtr>(ctx);
        int line = ctxt->input ? ctxt->input->line : 0;
        session.pCapture->Record("line " + std::to_string(line) + ": " + why, XML_ERR_USER_STOP);
    }
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

void OnEntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId,
                  const xmlChar* systemId, xmlChar* content) {
    const std::string what = name ? reinterpret_cast<const char*>(name) : "";
    if (type != XML_INTERNAL_GENERAL_ENTITY) {
        Refuse(ctx, "external and parameter entity declarations are not accepted (" + what + ")");
        return;
    }
    xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

void OnUnparsedEntityDecl(void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    OnEntityDecl(ctx, name, XML_EXTERNAL_GENERAL_UNPARSED_ENTITY, nullptr, nullptr, nullptr);
}

constexpr std::size_t kTooMuch = SXmlSourceLimits::kMaxEntityExpansion + 1;

// Bytes that a reference to the entity expands to, counting the references
// inside it in turn; kTooMuch for anything over the limit, a loop included.
// A size that counted a reference to an entity not declared yet (possible
// from inside the document type) is not kept: the declaration may follow.
std::size_t ExpandedSize(SParseSession& session, xmlDocPtr doc, xmlEntityPtr entity, int depth,
                         bool& complete) {
    auto known = session.mapEntitySizes.find(entity);
    if (known != session.mapEntitySizes.end())
        return known->second;
    if (depth > 32)
        return kTooMuch;
    if (!entity->content)
        return 0;
    session.mapEntitySizes[entity] = kTooMuch; // a reference back to it is a loop

    const auto* text = reinterpret_cast<const char*>(entity->content);
    const std::string_view content(text, std::strlen(text));
    std::size_t size = content.size();
    bool whole = true;
    for (std::size_t amp = content.find('&'); amp != std::string_view::npos && size < kTooMuch;
         amp = content.find('&', amp + 1)) {
        const std::size_t semi = content.find(';', amp);
        if (semi == std::string_view::npos)
            break;
        const std::string refName(content.substr(amp + 1, semi - amp - 1));
        if (refName.empty() || refName[0] == '#')
            continue;
        xmlEntityPtr inner = xmlGetDocEntity(doc, BAD_CAST refName.c_str());
        if (!inner)
            whole = false;
        else if (inner->etype == XML_INTERNAL_GENERAL_ENTITY)
            size = std::min(size + ExpandedSize(session, doc, inner, depth + 1, whole), kTooMuch);
    }
    if (whole)
        session.mapEntitySizes[entity] = size;
    else
        session.mapEntitySizes.erase(entity);
    complete = complete && whole;
    return size;
}

xmlEntityPtr OnGetEntity(void* ctx, const xmlChar* name) {
    xmlEntityPtr entity = xmlSAX2GetEntity(ctx, name);
    if (!entity || entity->etype != XML_INTERNAL_GENERAL_ENTITY)
        return entity;
    SParseSession& session = SessionOf(ctx);
    bool complete = true;
    const std::size_t size =
        ExpandedSize(session, static_cast<xmlParserCtxtPtr>(ctx)->myDoc, entity, 0, complete);
    session.nExpandedBytes = std::min(session.nExpandedBytes + size, kTooMuch);
    if (session.nExpandedBytes >= kTooMuch) {
        Refuse(ctx, "entity expansion beyond " +
                        std::to_string(SXmlSourceLimits::kMaxEntityExpansion) + " bytes");
        return nullptr;
    }
    return entity;
}

void OnStartElementNs(void* ctx, const xmlChar* localName, const xmlChar* prefix,
                      const xmlChar* uri, int nNamespaces, const xmlChar** namespaces,
                      int nAttributes, int nDefaulted, const xmlChar** attributes) {
    if (++SessionOf(ctx).nDepth > SXmlSourceLimits::kMaxDepth) {
        Refuse(ctx, "elements nested deeper than " + std::to_string(SXmlSourceLimits::kMaxDepth));
        return;
    }
    // Prefix and name in turn.
    for (int i = 0; i < nNamespaces; ++i) {
        const auto* name = reinterpret_cast<const char*>(namespaces[2 * i + 1]);
        if (name && std::strpbrk(name, "&<\t\n\r")) {
            Refuse(ctx, "a namespace name that could not be saved as it was read");
            return;
        }
    }
    xmlSAX2StartElementNs(ctx, localName, prefix, uri, nNamespaces, namespaces, nAttributes,
                          nDefaulted, attributes);
}

void OnEndElementNs(void* ctx, const xmlChar* localName, const xmlChar* prefix,
                    const xmlChar* uri) {
    --SessionOf(ctx).nDepth;
    xmlSAX2EndElementNs(ctx, localName, prefix, uri);
}

void OnParseError(void* ctx, xmlErrorPtr error) {
    SessionOf(ctx).pCapture->Record(error);
}

xmlParserInputPtr RefuseExternalEntity(const char*, const char*, xmlParserCtxtPtr) {
    return nullptr;
}

struct SCtxtDeleter {
    void operator()(xmlParserCtxtPtr ctxt) const { xmlFreeParserCtxt(ctxt); }
};

struct SDocDeleter {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
};

} // namespace

void CXmlParser::EnsureEngine() {
    static std::once_flag s_once;
    std::call_once(s_once, [] {
        xmlInitParser();
        xmlSetExternalEntityLoader(&RefuseExternalEntity);
    });
}

CXmlParser::SOutcome CXmlParser::Parse(std::string_view bytes, const std::string& baseName) {
    EnsureEngine();
    SOutcome outcome;
    if (bytes.size() > SXmlSourceLimits::kMaxBytes) {
        outcome.result = {EXmlLoadStatus::TooLarge,
                          "more than " + std::to_string(SXmlSourceLimits::kMaxBytes) + " bytes"};
        return outcome;
    }

    // A source that names no encoding and is not UTF-8 is UTF-8 with a few
    // bad bytes, or comes from an older Windows tool: read it as meant.
    std::string converted;
    const char* encoding = nullptr;
    std::size_t replaced = 0;
    switch (CTextEncoding::ReadingOf(bytes)) {
    case CTextEncoding::EReading::Unchanged:
        break;
    case CTextEncoding::EReading::RepairedUtf8:
        converted = CTextEncoding::RepairUtf8(bytes, &replaced);
        encoding = "UTF-8";
        break;
    case CTextEncoding::EReading::Windows1252:
        converted = CTextEncoding::Windows1252ToUtf8(bytes);
        encoding = "UTF-8";
        break;
    }
    if (encoding) {
        if (converted.size() > INT_MAX) {
            outcome.result = {EXmlLoadStatus::TooLarge, "too large after conversion"};
            return outcome;
        }
        bytes = converted;
    }

    if (CXmlPrescan::MostAttributes(bytes, encoding != nullptr, SXmlSourceLimits::kMaxAttributes) >
        SXmlSourceLimits::kMaxAttributes) {
        outcome.result = {EXmlLoadStatus::Malformed,
                          "an element with more than " +
                              std::to_string(SXmlSourceLimits::kMaxAttributes) + " attributes"};
        return outcome;
    }

    CXmlErrorCapture capture;
    SParseSession session;
    session.pCapture = &capture;
    std::unique_ptr<xmlParserCtxt, SCtxtDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt || !ctxt->sax)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot create a parser");
    ctxt->_private = &session;
    xmlSAXHandlerPtr sax = ctxt->sax; // the context's own copy
    sax->serror = &OnParseError;
    sax->entityDecl = &OnEntityDecl;
    sax->unparsedEntityDecl = &OnUnparsedEntityDecl;
    sax->getEntity = &OnGetEntity;
    sax->startElementNs = &OnStartElementNs;
    sax->endElementNs = &OnEndElementNs;

    const std::string name = baseName.empty() ? std::string("memory") : baseName;
    std::unique_ptr<xmlDoc, SDocDeleter> doc(
        xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), name.c_str(),
                          encoding, kParseOptions));
    ctxt.reset();

    // A refusal stops the engine, which may then report odd errors of its own.
    if (capture.OutOfMemory() && !session.bRefused)
        throw CXmlError(EXmlResult::OutOfMemory, "out of memory while parsing " + name);
    if (session.bRefused || !doc || !xmlDocGetRootElement(doc.get())) {
        std::string detail = capture.FirstMessage();
        if (detail.empty())
            detail = doc ? "no root element" : "not well-formed";
        outcome.result = {EXmlLoadStatus::Malformed, detail};
        return outcome;
    }

    // The tree is UTF-8 whatever the source was; saying so keeps the
    // serialiser from writing character references for non-ASCII text.
    xmlFree(const_cast<xmlChar*>(doc->encoding));
    doc->encoding = xmlStrdup(BAD_CAST "UTF-8");
    if (!doc->encoding)
        throw CXmlError(EXmlResult::OutOfMemory, "out of memory while parsing " + name);
    outcome.pDoc = doc.release();
    outcome.result = {EXmlLoadStatus::Ok, {}};
    outcome.result.replacedBytes = replaced;
    return outcome;
}
