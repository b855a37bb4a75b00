#include "document/XmlParser.h"

#include "document/TextEncoding.h"
#include "document/XmlErrorCapture.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <climits>
#include <memory>
#include <mutex>

// Safety rules of a parse:
// - Only the bytes handed in are read. The external entity loader refuses
//   every request (it is process-wide in libxml2, and nothing else in the
//   program has a use for it), XML_PARSE_NONET is set, and DTD loading,
//   defaulting and validation stay off.
// - A DTD that declares any entity, general or parameter, ends the parse as
//   malformed. Snippet libraries never need one, and the rule does away with
//   entity expansion attacks (nested and quadratic) without weighing them.
// - Nesting deeper than XmlSourceLimits::kMaxDepth ends the parse. libxml2
//   itself stops a little deeper without XML_PARSE_HUGE, which stays off, as
//   do its other size limits (10 MB for one text node, for instance).
// - Whitespace-only text and CDATA sections are kept: no NOBLANKS, no NOCDATA.

namespace {

constexpr int kParseOptions = XML_PARSE_NONET | XML_PARSE_BIG_LINES;

struct SParseSession {
    CXmlErrorCapture* pCapture = nullptr;
    bool bRefused = false;
    int nDepth = 0;
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

void OnEntityDecl(void* ctx, const xmlChar* name, int, const xmlChar*, const xmlChar*, xmlChar*) {
    Refuse(ctx, std::string("entity declarations are not accepted (") +
                    reinterpret_cast<const char*>(name) + ")");
}

void OnUnparsedEntityDecl(void* ctx, const xmlChar* name, const xmlChar*, const xmlChar*,
                          const xmlChar*) {
    OnEntityDecl(ctx, name, 0, nullptr, nullptr, nullptr);
}

void OnStartElementNs(void* ctx, const xmlChar* localName, const xmlChar* prefix,
                      const xmlChar* uri, int nNamespaces, const xmlChar** namespaces,
                      int nAttributes, int nDefaulted, const xmlChar** attributes) {
    if (++SessionOf(ctx).nDepth > XmlSourceLimits::kMaxDepth) {
        Refuse(ctx, "elements nested deeper than " + std::to_string(XmlSourceLimits::kMaxDepth));
        return;
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
    if (bytes.size() > XmlSourceLimits::kMaxBytes) {
        outcome.result = {XmlLoadStatus::TooLarge,
                          "more than " + std::to_string(XmlSourceLimits::kMaxBytes) + " bytes"};
        return outcome;
    }

    // A source that names no encoding and is not UTF-8 comes from an older
    // Windows tool; read it as that tool wrote it.
    std::string converted;
    const char* encoding = nullptr;
    if (CTextEncoding::NeedsWindows1252(bytes)) {
        converted = CTextEncoding::Windows1252ToUtf8(bytes);
        if (converted.size() > INT_MAX) {
            outcome.result = {XmlLoadStatus::TooLarge, "too large after conversion"};
            return outcome;
        }
        bytes = converted;
        encoding = "UTF-8";
    }

    CXmlErrorCapture capture;
    SParseSession session;
    session.pCapture = &capture;
    std::unique_ptr<xmlParserCtxt, SCtxtDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt || !ctxt->sax)
        throw CXmlError(XmlResult::OutOfMemory, "cannot create a parser");
    ctxt->_private = &session;
    xmlSAXHandlerPtr sax = ctxt->sax; // the context's own copy
    sax->serror = &OnParseError;
    sax->entityDecl = &OnEntityDecl;
    sax->unparsedEntityDecl = &OnUnparsedEntityDecl;
    sax->startElementNs = &OnStartElementNs;
    sax->endElementNs = &OnEndElementNs;

    const std::string name = baseName.empty() ? std::string("memory") : baseName;
    std::unique_ptr<xmlDoc, SDocDeleter> doc(
        xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()), name.c_str(),
                          encoding, kParseOptions));
    ctxt.reset();

    if (capture.OutOfMemory())
        throw CXmlError(XmlResult::OutOfMemory, "out of memory while parsing " + name);
    if (session.bRefused || !doc || !xmlDocGetRootElement(doc.get())) {
        std::string detail = capture.FirstMessage();
        if (detail.empty())
            detail = doc ? "no root element" : "not well-formed";
        outcome.result = {XmlLoadStatus::Malformed, detail};
        return outcome;
    }

    // The tree is UTF-8 whatever the source was; saying so keeps the
    // serialiser from writing character references for non-ASCII text.
    xmlFree(const_cast<xmlChar*>(doc->encoding));
    doc->encoding = xmlStrdup(BAD_CAST "UTF-8");
    if (!doc->encoding)
        throw CXmlError(XmlResult::OutOfMemory, "out of memory while parsing " + name);
    outcome.pDoc = doc.release();
    outcome.result = {XmlLoadStatus::Ok, {}};
    return outcome;
}
