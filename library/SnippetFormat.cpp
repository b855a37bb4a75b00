#include "library/SnippetFormat.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace snippet_format {

CXmlNode EnsureRootElement(CXmlDocument& doc) {
    CXmlNode root;
    try {
        root = doc.SelectSingleNode("/level0");
    } catch (const CXmlError&) {
        // A failing first query counts as nothing found.
    }
    if (root)
        return root;
    // Appending fails in the engine when a root of another name exists.
    doc.AppendChild(doc.CreateElement(kRootName));
    root = doc.SelectSingleNode("/level0");
    if (!root)
        throw CXmlError(EXmlResult::Fail, "root element missing after creation");
    SetAttribute(doc, root, kHeaderAttr, "New Document");
    return root;
}

int GetLevel(const std::string& elementName) {
    if (elementName.size() <= 5)
        return 0;
    // atoi's reading, but a number beyond int saturates instead of overflowing.
    const long long level = std::strtoll(elementName.c_str() + 5, nullptr, 10);
    return static_cast<int>(std::clamp<long long>(level, INT_MIN, INT_MAX));
}

std::string ChildElementName(const std::string& parentName) {
    return "level" + std::to_string(static_cast<long long>(GetLevel(parentName)) + 1);
}

bool HasElementChild(const CXmlNode& node) {
    for (CXmlNode child = node.FirstChild(); child; child = child.NextSibling())
        if (child.NodeType() == EXmlNodeType::Element)
            return true;
    return false;
}

std::string GetAttribute(const CXmlNode& node, const std::string& name) {
    if (!node || !node.HasAttributeMap())
        return {};
    return node.GetNamedItem(name).value_or(std::string());
}

bool SetAttribute(CXmlDocument& doc, const CXmlNode& node, const std::string& name,
                  const std::string& value) {
    if (!node || !node.HasAttributeMap())
        return false;
    // Made before the old one goes, so an engine failure changes nothing.
    CXmlNode attr = doc.CreateAttribute(name);
    attr.SetNodeValue(XmlSafeText(value));
    CXmlNode target = node;
    target.RemoveNamedItem(name);
    target.SetNamedItem(attr);
    return true;
}

void SetText(CXmlDocument& doc, const CXmlNode& element, const std::string& text) {
    // Made first: a failure to make it leaves the old text in place.
    CXmlNode cdata = doc.CreateCDATASection(XmlSafeText(text));
    CXmlNode target = element;
    for (CXmlNode child = target.FirstChild(); child;) {
        CXmlNode next = child.NextSibling();
        // All of the element's own text goes, plain or CDATA: what the box
        // shows is exactly what is stored.
        if (child.NodeType() == EXmlNodeType::CDataSection ||
            child.NodeType() == EXmlNodeType::Text)
            target.RemoveChild(child);
        child = next;
    }
    target.AppendChild(cdata);
}

std::string XmlSafeText(const std::string& text) {
    static const char kReplacement[] = "\xEF\xBF\xBD";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') {
            out += kReplacement;
        } else if (c == 0xEF && i + 2 < text.size() && text[i + 1] == '\xBF' &&
                   (text[i + 2] == '\xBE' || text[i + 2] == '\xBF')) {
            out += kReplacement;
            i += 2;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string WrittenForm(const CXmlNode& root) {
    return root.Xml();
}

} // namespace snippet_format
