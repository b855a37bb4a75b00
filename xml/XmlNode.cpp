#include "xml/XmlNode.h"

#include "xml/XmlDocState.h"
#include "xml/XmlErrorCapture.h"

#include <libxml/tree.h>
#include <libxml/valid.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <cstring>
#include <utility>

namespace {

const char* Chars(const xmlChar* text) {
    return text ? reinterpret_cast<const char*>(text) : "";
}

std::string QualifiedName(const xmlChar* name, const xmlNs* ns) {
    std::string result;
    if (ns && ns->prefix) {
        result = Chars(ns->prefix);
        result += ':';
    }
    result += Chars(name);
    return result;
}

// Whether the attribute's qualified name is name; no allocation for the
// common case of a name without prefix.
bool NameIs(xmlAttrPtr attr, const std::string& name) {
    if (name.find(':') == std::string::npos)
        return (!attr->ns || !attr->ns->prefix) &&
               std::strcmp(Chars(attr->name), name.c_str()) == 0;
    return QualifiedName(attr->name, attr->ns) == name;
}

xmlAttrPtr FindAttribute(xmlNodePtr element, const std::string& name) {
    for (xmlAttrPtr attr = element->properties; attr; attr = attr->next)
        if (NameIs(attr, name))
            return attr;
    return nullptr;
}

// Whether the attribute's value is value, without building the value.
bool ValueIs(xmlAttrPtr attr, const std::string& value) {
    const xmlNode* text = attr->children;
    if (!text)
        return value.empty();
    if (text->next || text->type != XML_TEXT_NODE)
        return false; // several pieces: compare the slow way
    return std::strcmp(Chars(text->content), value.c_str()) == 0;
}

// Character data of text and CDATA nodes below node. Entity references and
// the DTD are not entered: their children belong to declarations.
void CollectText(xmlNodePtr node, std::string& out) {
    xmlNodePtr cur = node->children;
    if (!cur || node->type == XML_ENTITY_REF_NODE || node->type == XML_DTD_NODE)
        return;
    while (cur && cur != node) {
        if (cur->type == XML_TEXT_NODE || cur->type == XML_CDATA_SECTION_NODE)
            out += Chars(cur->content);
        if (cur->children && cur->type == XML_ELEMENT_NODE) {
            cur = cur->children;
            continue;
        }
        while (cur != node && !cur->next)
            cur = cur->parent;
        if (cur != node)
            cur = cur->next;
    }
}

std::string AttributeValue(xmlAttrPtr attr) {
    std::string value;
    for (xmlNodePtr child = attr->children; child; child = child->next)
        if (child->type == XML_TEXT_NODE)
            value += Chars(child->content);
    return value;
}

void SetAttributeValue(xmlAttrPtr attr, const std::string& value) {
    xmlNodePtr text = xmlNewDocText(attr->doc, BAD_CAST value.c_str());
    if (!text)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot set an attribute value");
    // The ID table keys on the old value; the attribute stops being an ID.
    if (attr->atype == XML_ATTRIBUTE_ID) {
        xmlRemoveID(attr->doc, attr);
        attr->atype = static_cast<xmlAttributeType>(0);
    }
    xmlFreeNodeList(attr->children);
    text->parent = reinterpret_cast<xmlNodePtr>(attr);
    attr->children = attr->last = text;
}

struct SXPathContextDeleter {
    void operator()(xmlXPathContextPtr ctx) const { xmlXPathFreeContext(ctx); }
};
struct SXPathCompDeleter {
    void operator()(xmlXPathCompExprPtr comp) const { xmlXPathFreeCompExpr(comp); }
};
struct SXPathObjectDeleter {
    void operator()(xmlXPathObjectPtr obj) const { xmlXPathFreeObject(obj); }
};
struct SBufferDeleter {
    void operator()(xmlBufferPtr buffer) const { xmlBufferFree(buffer); }
};

} // namespace

CXmlNode::CXmlNode(std::shared_ptr<CXmlDocState> doc, _xmlNode* node)
    : m_doc(std::move(doc)), m_node(node) {
    if (m_node)
        m_doc->Acquire(m_node);
    else
        m_doc.reset();
}

CXmlNode::CXmlNode(const CXmlNode& other) : m_doc(other.m_doc), m_node(other.m_node) {
    if (m_node)
        m_doc->Acquire(m_node);
}

CXmlNode::CXmlNode(CXmlNode&& other) noexcept
    : m_doc(std::move(other.m_doc)), m_node(std::exchange(other.m_node, nullptr)) {}

CXmlNode& CXmlNode::operator=(const CXmlNode& other) {
    if (this != &other) {
        // Count the new node first: dropping the old one may free a subtree.
        if (other.m_node)
            other.m_doc->Acquire(other.m_node);
        if (m_node)
            m_doc->Release(m_node);
        m_doc = other.m_doc;
        m_node = other.m_node;
    }
    return *this;
}

CXmlNode& CXmlNode::operator=(CXmlNode&& other) noexcept {
    if (this != &other) {
        if (m_node)
            m_doc->Release(m_node);
        m_doc = std::move(other.m_doc);
        m_node = std::exchange(other.m_node, nullptr);
    }
    return *this;
}

CXmlNode::~CXmlNode() {
    if (m_node)
        m_doc->Release(m_node);
}

namespace {

xmlNodePtr Require(xmlNodePtr node) {
    if (!node)
        throw CXmlError(EXmlResult::Pointer, "empty node handle");
    return node;
}

} // namespace

EXmlNodeType CXmlNode::NodeType() const {
    switch (Require(m_node)->type) {
    case XML_ELEMENT_NODE:
        return EXmlNodeType::Element;
    case XML_ATTRIBUTE_NODE:
        return EXmlNodeType::Attribute;
    case XML_TEXT_NODE:
        return EXmlNodeType::Text;
    case XML_CDATA_SECTION_NODE:
        return EXmlNodeType::CDataSection;
    case XML_ENTITY_REF_NODE:
        return EXmlNodeType::EntityReference;
    case XML_PI_NODE:
        return EXmlNodeType::ProcessingInstruction;
    case XML_COMMENT_NODE:
        return EXmlNodeType::Comment;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
        return EXmlNodeType::Document;
    case XML_DTD_NODE:
        return EXmlNodeType::DocumentType;
    default:
        return EXmlNodeType::Invalid;
    }
}

std::string CXmlNode::NodeName() const {
    xmlNodePtr node = Require(m_node);
    switch (node->type) {
    case XML_ELEMENT_NODE:
        return QualifiedName(node->name, node->ns);
    case XML_ATTRIBUTE_NODE:
        return QualifiedName(node->name, reinterpret_cast<xmlAttrPtr>(node)->ns);
    case XML_TEXT_NODE:
        return "#text";
    case XML_CDATA_SECTION_NODE:
        return "#cdata-section";
    case XML_COMMENT_NODE:
        return "#comment";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
        return "#document";
    case XML_DOCUMENT_FRAG_NODE:
        return "#document-fragment";
    default:
        return Chars(node->name);
    }
}

CXmlNode CXmlNode::ParentNode() const {
    xmlNodePtr node = Require(m_node);
    // As in a DOM, an attribute has no parent.
    if (node->type == XML_ATTRIBUTE_NODE)
        return {};
    return CXmlNode(m_doc, node->parent);
}

CXmlNode CXmlNode::FirstChild() const {
    xmlNodePtr node = Require(m_node);
    // Children of attributes, entity references and the DTD are engine
    // internals that SetNodeValue and the like replace wholesale.
    if (node->type != XML_ELEMENT_NODE && !CXmlDocState::IsDocumentNode(node))
        return {};
    return CXmlNode(m_doc, node->children);
}

CXmlNode CXmlNode::FirstChildElement() const {
    xmlNodePtr node = Require(m_node);
    if (node->type != XML_ELEMENT_NODE && !CXmlDocState::IsDocumentNode(node))
        return {};
    xmlNodePtr child = node->children;
    while (child && child->type != XML_ELEMENT_NODE)
        child = child->next;
    return CXmlNode(m_doc, child);
}

CXmlNode CXmlNode::NextSiblingElement() const {
    xmlNodePtr node = Require(m_node);
    if (node->type == XML_ATTRIBUTE_NODE)
        return {};
    xmlNodePtr next = node->next;
    while (next && next->type != XML_ELEMENT_NODE)
        next = next->next;
    return CXmlNode(m_doc, next);
}

CXmlNode CXmlNode::NextSibling() const {
    xmlNodePtr node = Require(m_node);
    if (node->type == XML_ATTRIBUTE_NODE)
        return {};
    return CXmlNode(m_doc, node->next);
}

CXmlNode CXmlNode::OwnerDocumentNode() const {
    xmlNodePtr node = Require(m_node);
    if (CXmlDocState::IsDocumentNode(node))
        return {};
    return CXmlNode(m_doc, reinterpret_cast<xmlNodePtr>(node->doc));
}

std::string CXmlNode::Text() const {
    xmlNodePtr node = Require(m_node);
    switch (node->type) {
    case XML_ATTRIBUTE_NODE:
        return AttributeValue(reinterpret_cast<xmlAttrPtr>(node));
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        return Chars(node->content);
    default: {
        std::string text;
        CollectText(node, text);
        return text;
    }
    }
}

std::string CXmlNode::Xml() const {
    xmlNodePtr node = Require(m_node);
    std::unique_ptr<xmlBuffer, SBufferDeleter> buffer(xmlBufferCreate());
    if (!buffer)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot serialise");
    CXmlErrorCapture capture;
    // An explicit UTF-8 output leaves non-ASCII text as it is; AS_XML keeps an
    // XHTML doctype from switching the serialiser to XHTML rules.
    xmlSaveCtxtPtr save =
        xmlSaveToBuffer(buffer.get(), "UTF-8", XML_SAVE_NO_DECL | XML_SAVE_AS_XML);
    if (!save)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot serialise");
    long written = xmlSaveTree(save, node);
    xmlSaveClose(save);
    if (written < 0 || capture.OutOfMemory())
        throw CXmlError(EXmlResult::Fail, "cannot serialise: " + capture.FirstMessage());
    std::string xml(Chars(xmlBufferContent(buffer.get())),
                    static_cast<std::size_t>(xmlBufferLength(buffer.get())));
    // The engine writes an attribute as it appears inside its element.
    if (node->type == XML_ATTRIBUTE_NODE && !xml.empty() && xml.front() == ' ')
        xml.erase(0, 1);
    return xml;
}

bool CXmlNode::HasAttributeMap() const {
    return Require(m_node)->type == XML_ELEMENT_NODE;
}

std::optional<std::string> CXmlNode::GetNamedItem(const std::string& name) const {
    xmlNodePtr node = Require(m_node);
    if (node->type != XML_ELEMENT_NODE)
        return std::nullopt;
    if (xmlAttrPtr attr = FindAttribute(node, name))
        return AttributeValue(attr);
    return std::nullopt;
}

bool CXmlNode::HasNonEmptyAttribute(const std::string& name) const {
    xmlNodePtr node = Require(m_node);
    if (node->type != XML_ELEMENT_NODE)
        return false;
    const xmlAttrPtr attr = FindAttribute(node, name);
    if (!attr || !attr->children)
        return false;
    const xmlNode* text = attr->children;
    if (!text->next && text->type == XML_TEXT_NODE)
        return text->content && text->content[0] != '\0';
    return !AttributeValue(attr).empty(); // several pieces: the slow way
}

void CXmlNode::RemoveNamedItem(const std::string& name) {
    xmlNodePtr node = Require(m_node);
    if (node->type != XML_ELEMENT_NODE)
        throw CXmlError(EXmlResult::InvalidArg, "only elements have attributes");
    if (xmlAttrPtr attr = FindAttribute(node, name))
        m_doc->Unlink(reinterpret_cast<xmlNodePtr>(attr));
}

void CXmlNode::SetNamedItem(const CXmlNode& attribute) {
    xmlNodePtr node = Require(m_node);
    xmlNodePtr attrNode = Require(attribute.m_node);
    if (node->type != XML_ELEMENT_NODE)
        throw CXmlError(EXmlResult::InvalidArg, "only elements have attributes");
    if (attrNode->type != XML_ATTRIBUTE_NODE)
        throw CXmlError(EXmlResult::InvalidArg, "not an attribute");
    if (attrNode->doc != node->doc)
        throw CXmlError(EXmlResult::WrongDocument, "attribute of another document");
    if (attrNode->parent == node)
        return;
    if (attrNode->parent)
        throw CXmlError(EXmlResult::InvalidArg, "attribute belongs to another element");
    auto attr = reinterpret_cast<xmlAttrPtr>(attrNode);
    if (xmlAttrPtr same = FindAttribute(node, QualifiedName(attr->name, attr->ns)))
        m_doc->Unlink(reinterpret_cast<xmlNodePtr>(same));
    m_doc->AppendAttribute(node, attr);
}

void CXmlNode::SetAttributeLast(const std::string& name, const std::string& value) {
    xmlNodePtr node = Require(m_node);
    if (node->type != XML_ELEMENT_NODE)
        throw CXmlError(EXmlResult::InvalidArg, "only elements have attributes");
    RequireUtf8(value, "an attribute value");
    xmlAttrPtr last = node->properties;
    while (last && last->next)
        last = last->next;
    if (last && NameIs(last, name)) {
        // Renumbering a library that was saved numbered changes nothing.
        if (!ValueIs(last, value) && AttributeValue(last) != value)
            SetAttributeValue(last, value);
        return;
    }
    if (xmlValidateName(BAD_CAST name.c_str(), 0) != 0)
        throw CXmlError(EXmlResult::InvalidArg, "not an XML name: " + name);
    RemoveNamedItem(name);
    auto attrNode =
        reinterpret_cast<xmlNodePtr>(xmlNewDocProp(node->doc, BAD_CAST name.c_str(), nullptr));
    if (!attrNode)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot create an attribute");
    m_doc->AdoptDetached(attrNode);
    CXmlNode attr(m_doc, attrNode);
    SetAttributeValue(reinterpret_cast<xmlAttrPtr>(attrNode), value);
    SetNamedItem(attr);
}

void CXmlNode::SetNodeValue(const std::string& value) {
    xmlNodePtr node = Require(m_node);
    RequireUtf8(value, "a node value");
    switch (node->type) {
    case XML_ATTRIBUTE_NODE:
        SetAttributeValue(reinterpret_cast<xmlAttrPtr>(node), value);
        return;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        // Raw content: xmlNodeSetContent reads no references for these types.
        xmlNodeSetContent(node, BAD_CAST value.c_str());
        if (!value.empty() && !node->content)
            throw CXmlError(EXmlResult::OutOfMemory, "cannot set a node value");
        return;
    default:
        throw CXmlError(EXmlResult::InvalidArg, "node has no value to set");
    }
}

CXmlNode CXmlNode::AppendChild(const CXmlNode& child) {
    xmlNodePtr parent = Require(m_node);
    xmlNodePtr node = Require(child.m_node);
    if (node->doc != parent->doc)
        throw CXmlError(EXmlResult::WrongDocument, "node of another document");
    for (xmlNodePtr up = parent; up; up = up->parent)
        if (up == node)
            throw CXmlError(EXmlResult::HierarchyRequest, "a node cannot hold itself");

    const bool toDocument = CXmlDocState::IsDocumentNode(parent);
    bool allowed = false;
    switch (node->type) {
    case XML_ELEMENT_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE:
        allowed = toDocument || parent->type == XML_ELEMENT_NODE;
        break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
        allowed = parent->type == XML_ELEMENT_NODE;
        break;
    default:
        break;
    }
    if (!allowed)
        throw CXmlError(EXmlResult::HierarchyRequest,
                        "cannot append " + child.NodeName() + " to " + NodeName());
    if (toDocument && node->type == XML_ELEMENT_NODE) {
        for (xmlNodePtr cur = parent->children; cur; cur = cur->next)
            if (cur->type == XML_ELEMENT_NODE && cur != node)
                throw CXmlError(EXmlResult::HierarchyRequest, "the document has a root element");
    }
    m_doc->AppendChild(parent, node);
    return child;
}

CXmlNode CXmlNode::RemoveChild(const CXmlNode& child) {
    xmlNodePtr parent = Require(m_node);
    xmlNodePtr node = Require(child.m_node);
    if (node->parent != parent || node->type == XML_ATTRIBUTE_NODE)
        throw CXmlError(EXmlResult::InvalidArg, "not a child of this node");
    CXmlNode removed(child); // holds the subtree while it leaves the tree
    m_doc->Unlink(node);
    return removed;
}

CXmlNode CXmlNode::SelectSingleNode(const std::string& xpath) const {
    xmlNodePtr node = Require(m_node);
    CXmlErrorCapture capture;
    std::unique_ptr<xmlXPathContext, SXPathContextDeleter> ctx(xmlXPathNewContext(node->doc));
    if (!ctx)
        throw CXmlError(EXmlResult::OutOfMemory, "cannot evaluate XPath");
    ctx->node = node;
    ctx->error = &CXmlErrorCapture::OnStructuredError;
    ctx->userData = &capture;

    std::unique_ptr<xmlXPathCompExpr, SXPathCompDeleter> comp(
        xmlXPathCtxtCompile(ctx.get(), BAD_CAST xpath.c_str()));
    if (!comp || xpath.find('\0') != std::string::npos)
        throw CXmlError(EXmlResult::InvalidArg, "bad XPath expression '" + xpath + "'");
    std::unique_ptr<xmlXPathObject, SXPathObjectDeleter> result(
        xmlXPathCompiledEval(comp.get(), ctx.get()));
    if (capture.OutOfMemory())
        throw CXmlError(EXmlResult::OutOfMemory, "out of memory in XPath");
    if (!result)
        throw CXmlError(EXmlResult::InvalidArg, "cannot evaluate XPath '" + xpath + "'");
    if (result->type != XPATH_NODESET)
        throw CXmlError(EXmlResult::InvalidArg, "XPath '" + xpath + "' selects no nodes");

    // Namespace nodes are copies owned by the result; they are never handed out.
    xmlNodePtr first = nullptr;
    if (xmlNodeSetPtr set = result->nodesetval) {
        for (int i = 0; i < set->nodeNr; ++i) {
            xmlNodePtr candidate = set->nodeTab[i];
            if (candidate->type == XML_NAMESPACE_DECL)
                continue;
            if (!first || xmlXPathCmpNodes(candidate, first) == 1)
                first = candidate;
        }
    }
    return CXmlNode(m_doc, first);
}

bool CXmlNode::IsInDocumentTree() const {
    return CXmlDocState::IsDocumentNode(CXmlDocState::TopOf(Require(m_node)));
}

namespace {

// The next element after node in document order within top's subtree.
xmlNodePtr NextElementInOrder(xmlNodePtr node, xmlNodePtr top) {
    for (xmlNodePtr child = node->children; child; child = child->next)
        if (child->type == XML_ELEMENT_NODE)
            return child;
    for (; node != top; node = node->parent)
        for (xmlNodePtr next = node->next; next; next = next->next)
            if (next->type == XML_ELEMENT_NODE)
                return next;
    return nullptr;
}

// The attribute's value as the engine holds it, copied only when it is in
// several pieces.
std::string_view AttributeView(xmlAttrPtr attr, std::string& scratch) {
    if (!attr || !attr->children)
        return {};
    if (!attr->children->next && attr->children->type == XML_TEXT_NODE)
        return Chars(attr->children->content);
    scratch = AttributeValue(attr);
    return scratch;
}

// The element's own character data (what Text() gives for an element without
// element children); empty for one with element children.
std::string_view OwnTextView(xmlNodePtr element, std::string& scratch) {
    const xmlNode* only = nullptr;
    std::size_t pieces = 0;
    for (xmlNodePtr child = element->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            return {};
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE) {
            only = child;
            ++pieces;
        }
    }
    if (pieces == 0)
        return {};
    if (pieces == 1)
        return Chars(only->content);
    scratch.clear();
    for (xmlNodePtr child = element->children; child; child = child->next)
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
            scratch += Chars(child->content);
    return scratch;
}

} // namespace

std::string_view CXmlElementView::Attribute(const std::string& name) const {
    return AttributeView(FindAttribute(m_node, name), m_strAttribute);
}

std::string_view CXmlElementView::OwnText() const {
    return OwnTextView(m_node, m_strText);
}

bool CXmlNode::ViewElement(const std::function<void(const CXmlElementView& element)>& see) const {
    if (!m_node || m_node->type != XML_ELEMENT_NODE)
        return false;
    see(CXmlElementView(m_node));
    return true;
}

CXmlNode CXmlNode::FindElementAfter(const CXmlNode& from, const ElementMatch& match) const {
    xmlNodePtr top = Require(m_node);
    if (top->type != XML_ELEMENT_NODE)
        return {};
    const auto accepts = [&](xmlNodePtr element) { return match(CXmlElementView(element)); };
    xmlNodePtr start = top;
    for (xmlNodePtr up = from.m_node; up; up = up->parent)
        if (up == top) {
            start = from.m_node->type == XML_ELEMENT_NODE ? from.m_node : top;
            break;
        }
    // Without a starting element the search begins at the top itself.
    if (start == top && from.m_node != top && accepts(top))
        return CXmlNode(m_doc, top);
    xmlNodePtr cur = start;
    do {
        cur = NextElementInOrder(cur, top);
        if (!cur)
            cur = top;
        if (accepts(cur))
            return CXmlNode(m_doc, cur);
    } while (cur != start);
    return {};
}
