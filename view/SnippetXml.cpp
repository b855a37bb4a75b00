#include "view/SnippetXml.h"

#include "app/MessageBox.h"
#include "library/SnippetFormat.h"
#include "res/StringTable.h"

using namespace snippet_format;

CXmlNode CSnippetXml::FindByItemId(int id) const {
    CXmlNode node = m_library.FindByItemId(id);
    if (!node)
        CMessageBox::Show(msg::kIdNotFound);
    return node;
}

std::string CSnippetXml::GetAttribute(const CXmlNode& node, const std::string& name) const {
    return snippet_format::GetAttribute(node, name);
}

std::string CSnippetXml::GetHeader(const CXmlNode& node) const {
    return GetAttribute(node, kHeaderAttr);
}

bool CSnippetXml::SetHeader(const CXmlNode& node, const std::string& text) {
    CXmlDocument* dom = m_library.DomFor(node);
    return dom && SetAttribute(*dom, node, kHeaderAttr, text);
}

void CSnippetXml::SetItemId(const CXmlNode& node, int id) {
    if (CXmlDocument* dom = m_library.Dom())
        SetAttribute(*dom, node, kItemIdAttr, std::to_string(id));
}

void CSnippetXml::SetText(const CXmlNode& element, const std::string& text) {
    CXmlDocument* dom = m_library.DomFor(element);
    if (dom && element)
        snippet_format::SetText(*dom, element, text);
}

bool CSnippetXml::HasElementChild(const CXmlNode& node) const {
    return node && snippet_format::HasElementChild(node);
}

int CSnippetXml::GetLevel(const CXmlNode& node) const {
    return node ? snippet_format::GetLevel(node.NodeName()) : 0;
}

CXmlNode CSnippetXml::AddChild(const CXmlNode& parent, const std::string& header, int id) {
    CXmlDocument* dom = m_library.Dom();
    if (!dom || !parent)
        return {};
    // Complete before it joins the document, so a failure adds nothing.
    CXmlNode element = dom->CreateElement(ChildElementName(parent.NodeName()));
    SetHeader(element, header);
    SetItemId(element, id);
    CXmlNode target = parent;
    target.AppendChild(element);
    m_library.RegisterItem(id, element);
    return element;
}
