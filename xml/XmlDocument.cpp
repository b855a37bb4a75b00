#include "xml/XmlDocument.h"

#include "xml/XmlDocState.h"
#include "xml/XmlParser.h"

#include <libxml/tree.h>

#include <utility>

CXmlDocument::CXmlDocument() {
    CXmlParser::EnsureEngine();
    m_state = std::make_shared<CXmlDocState>(CXmlDocState::NewEmptyDoc());
}

SXmlLoadResult CXmlDocument::LoadBytes(std::string_view bytes, const std::string& baseName) {
    CXmlParser::SOutcome outcome = CXmlParser::Parse(bytes, baseName);
    if (!outcome.result.ok()) {
        m_state->Replace(CXmlDocState::NewEmptyDoc());
        if (!baseName.empty())
            outcome.result.detail = baseName + ": " + outcome.result.detail;
        return outcome.result;
    }
    m_state->Replace(outcome.pDoc);
    return outcome.result;
}

CXmlNode CXmlDocument::DocumentNode() const {
    return CXmlNode(m_state, reinterpret_cast<xmlNodePtr>(m_state->Doc()));
}

CXmlNode CXmlDocument::DocumentElement() const {
    return CXmlNode(m_state, xmlDocGetRootElement(m_state->Doc()));
}

namespace {

void RequireName(const std::string& name) {
    RequireUtf8(name, "a name");
    if (name.empty() || xmlValidateName(BAD_CAST name.c_str(), 0) != 0)
        throw CXmlError(EXmlResult::InvalidArg, "not an XML name: '" + name + "'");
}

xmlNodePtr Made(xmlNodePtr node) {
    if (!node)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot create a node");
    return node;
}

} // namespace

CXmlNode CXmlDocument::CreateElement(const std::string& name) {
    RequireName(name);
    xmlNodePtr node = Made(xmlNewDocNode(m_state->Doc(), nullptr, BAD_CAST name.c_str(), nullptr));
    m_state->AdoptDetached(node);
    return CXmlNode(m_state, node);
}

CXmlNode CXmlDocument::CreateAttribute(const std::string& name) {
    RequireName(name);
    // No value here: xmlNewDocProp would read '&' in a value as a reference.
    auto node =
        reinterpret_cast<xmlNodePtr>(xmlNewDocProp(m_state->Doc(), BAD_CAST name.c_str(), nullptr));
    m_state->AdoptDetached(Made(node));
    return CXmlNode(m_state, node);
}

CXmlNode CXmlDocument::CreateCDATASection(const std::string& text) {
    RequireUtf8(text, "CDATA text");
    xmlNodePtr node = Made(
        xmlNewCDataBlock(m_state->Doc(), BAD_CAST text.c_str(), static_cast<int>(text.size())));
    m_state->AdoptDetached(node);
    return CXmlNode(m_state, node);
}

CXmlNode CXmlDocument::CreateTextNode(const std::string& text) {
    RequireUtf8(text, "text");
    xmlNodePtr node = Made(xmlNewDocText(m_state->Doc(), BAD_CAST text.c_str()));
    m_state->AdoptDetached(node);
    return CXmlNode(m_state, node);
}
