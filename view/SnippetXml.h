#pragma once
// Element access for the view's handlers and the menu builder, made on the
// stack and dropped at the end of each handler.

#include "library/SnippetLibrary.h"

#include <string>

class CSnippetXml {
public:
    explicit CSnippetXml(CSnippetLibrary& library) : m_library(library) {}

    // The element of an item id; shows "Error - id not found" on a miss.
    CXmlNode FindByItemId(int id) const;

    std::string GetAttribute(const CXmlNode& node, const std::string& name) const;
    std::string GetHeader(const CXmlNode& node) const;
    bool SetHeader(const CXmlNode& node, const std::string& text);
    void SetItemId(const CXmlNode& node, int id);
    void SetText(const CXmlNode& element, const std::string& text);
    bool HasElementChild(const CXmlNode& node) const;
    int GetLevel(const CXmlNode& node) const;
    // A new "level<n+1>" element with the header and id, appended as the
    // parent's last child and registered under its id.
    CXmlNode AddChild(const CXmlNode& parent, const std::string& header, int id);

private:
    CSnippetLibrary& m_library;
};
