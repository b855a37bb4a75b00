#pragma once
// Rules of the snippet file format: the root, item names and the written form.

#include "xml/XmlDocument.h"

#include <string>

namespace snippet_format {

inline constexpr const char* kRootName = "level0";
inline constexpr const char* kHeaderAttr = "header";
inline constexpr const char* kItemIdAttr = "iid";

// The root check: "/level0", created with the header "New Document" when the
// document has no element at all. Throws CXmlError when the document has a
// root element of another name.
CXmlNode EnsureRootElement(CXmlDocument& doc);

// The number in an element name: "level12" gives 12; like atoi over the text
// after the first five characters, so "title" and other names give 0, except
// that a number beyond the range of int gives INT_MAX (or INT_MIN).
int GetLevel(const std::string& elementName);
// Name of a new child of an element so named: "level" + (GetLevel + 1), so
// the child of "level2147483647" or of a longer number is "level2147483648".
std::string ChildElementName(const std::string& parentName);

// Leaf items hold no element children; text, CDATA and comments don't count.
bool HasElementChild(const CXmlNode& node);

// Attribute access with replace-at-end semantics: the old attribute is
// removed and a fresh one appended, so it ends up after the others.
std::string GetAttribute(const CXmlNode& node, const std::string& name);
bool SetAttribute(CXmlDocument& doc, const CXmlNode& node, const std::string& name,
                  const std::string& value);

// Replaces the character data directly under the element (text nodes and
// CDATA sections) with one CDATA section holding the whole text, appended
// last. Elements, comments and processing instructions stay in place.
void SetText(CXmlDocument& doc, const CXmlNode& element, const std::string& text);

// The text with every character that XML cannot carry (control characters
// other than tab, line feed and carriage return; U+FFFE, U+FFFF) replaced by
// U+FFFD, so that what is saved can always be read back.
std::string XmlSafeText(const std::string& text);

// The bytes a library is saved as: the root's serialisation, UTF-8, nothing
// before or after it.
std::string WrittenForm(const CXmlNode& root);

} // namespace snippet_format
