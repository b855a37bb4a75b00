#pragma once
// Private to the XML layer: turns bytes into an engine document under the
// layer's safety rules.

#include "xml/XmlDocument.h"

#include <libxml/tree.h>

#include <string>
#include <string_view>

class CXmlParser {
public:
    struct SOutcome {
        xmlDocPtr pDoc = nullptr; // owned by the caller; null unless result is Ok
        SXmlLoadResult result;
    };

    // Throws CXmlError(OutOfMemory) when the engine runs out of memory.
    static SOutcome Parse(std::string_view bytes, const std::string& baseName);

    // Sets the process-wide engine state up once: the parser is initialised
    // and the external entity loader refuses everything.
    static void EnsureEngine();
};
