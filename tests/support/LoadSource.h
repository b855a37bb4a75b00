#pragma once
// A document loaded from a path or URL, as the library loads it.

#include "library/LibrarySource.h"
#include "xml/XmlDocument.h"

#include <string>

inline XmlLoadResult LoadSource(CXmlDocument& doc, const std::string& source) {
    std::string bytes;
    XmlLoadResult read = library_source::Read(source, bytes);
    if (!read.ok()) {
        doc.LoadBytes({}); // a failed load leaves the document empty
        return read;
    }
    return doc.LoadBytes(bytes, source);
}
