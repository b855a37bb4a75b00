#pragma once
// A counted handle to one node of an engine document.
//
// A handle keeps its node, and everything the node needs to answer (its text,
// its serialisation), alive for as long as the handle lives: after the node was
// removed from its document, and after the document object itself was replaced
// or destroyed. The pop-up menu's command table depends on this.

#include "xml/XmlError.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct _xmlNode;
class CXmlDocState;
class CXmlElementView;

// The DOM's node type numbers.
enum class EXmlNodeType : int {
    Invalid = 0,
    Element = 1,
    Attribute = 2,
    Text = 3,
    CDataSection = 4,
    EntityReference = 5,
    ProcessingInstruction = 7,
    Comment = 8,
    Document = 9,
    DocumentType = 10,
};

class CXmlNode {
public:
    CXmlNode() = default;
    CXmlNode(const CXmlNode& other);
    CXmlNode(CXmlNode&& other) noexcept;
    CXmlNode& operator=(const CXmlNode& other);
    CXmlNode& operator=(CXmlNode&& other) noexcept;
    ~CXmlNode();

    explicit operator bool() const { return m_node != nullptr; }
    bool operator==(const CXmlNode& other) const { return m_node == other.m_node; }

    // Tree navigation; an empty handle where there is none.
    EXmlNodeType NodeType() const;
    std::string NodeName() const;
    CXmlNode ParentNode() const; // an element at the top answers the document node
    CXmlNode FirstChild() const;
    CXmlNode NextSibling() const;
    CXmlNode OwnerDocumentNode() const;
    // Element children only: no handle is made for the text, CDATA and
    // comments between them, which large libraries are full of.
    CXmlNode FirstChildElement() const;
    CXmlNode NextSiblingElement() const;

    // All character data (text and CDATA) below the node, in document order.
    // For an attribute: its value.
    std::string Text() const;
    // The node's serialisation: attributes in double quotes, CDATA as CDATA,
    // UTF-8 without any declaration.
    std::string Xml() const;

    // The named attribute map of an element.
    bool HasAttributeMap() const; // true for elements only
    std::optional<std::string> GetNamedItem(const std::string& name) const;
    // The element has the attribute with a value that is not empty; nothing
    // copied, for walks over every element.
    bool HasNonEmptyAttribute(const std::string& name) const;
    void RemoveNamedItem(const std::string& name); // absent is no failure
    // Adds an attribute node (from CXmlDocument::CreateAttribute) at the end of
    // the map, replacing one of the same name.
    void SetNamedItem(const CXmlNode& attribute);
    // Gives the element the attribute with that value, standing after all
    // others: the same result as RemoveNamedItem, a new attribute and
    // SetNamedItem, without the new node when it already stands last.
    void SetAttributeLast(const std::string& name, const std::string& value);
    // Value of an attribute, text of a text or CDATA node.
    void SetNodeValue(const std::string& value);

    // Child list edits. AppendChild moves a node that is already in a tree;
    // appending a second element to the document node fails.
    CXmlNode AppendChild(const CXmlNode& child);
    CXmlNode RemoveChild(const CXmlNode& child);

    // First match of an XPath expression in document order, with this node as
    // the context node; empty when there is none. Throws on a bad expression.
    CXmlNode SelectSingleNode(const std::string& xpath) const;

    // True when the node hangs in its document's tree (not removed).
    bool IsInDocumentTree() const;

    // The first element below this one (itself included) in document order,
    // starting after `from` and wrapping round to this element, `from` itself
    // last, that `match` accepts; empty when none does. No handle is made for
    // the elements passed over, which keeps a walk over a large library quick.
    using ElementMatch = std::function<bool(const CXmlElementView& element)>;
    CXmlNode FindElementAfter(const CXmlNode& from, const ElementMatch& match) const;
    // Shows this element to `see` as a walk would; false, without a call, for
    // a node that is not an element.
    bool ViewElement(const std::function<void(const CXmlElementView& element)>& see) const;

    _xmlNode* Raw() const { return m_node; }

private:
    friend class CXmlDocument;
    friend class CXmlDocState;
    CXmlNode(std::shared_ptr<CXmlDocState> doc, _xmlNode* node);

    std::shared_ptr<CXmlDocState> m_doc;
    _xmlNode* m_node = nullptr;
};

// What a walk sees of one element, without a counted handle; valid only
// during the call it is given to.
class CXmlElementView {
public:
    // The attribute's value, empty when it is missing; valid until the next
    // call of Attribute.
    std::string_view Attribute(const std::string& name) const;
    // The element's own character data (what Text() gives), empty for an
    // element with element children: a heading has no text of its own.
    std::string_view OwnText() const;

private:
    friend class CXmlNode;
    explicit CXmlElementView(_xmlNode* node) : m_node(node) {}
    _xmlNode* m_node;
    mutable std::string m_strAttribute;
    mutable std::string m_strText;
};
