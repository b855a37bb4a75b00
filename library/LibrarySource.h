#pragma once
// The bytes of a library named by a path or by an http, https or file URL,
// within the limits of SXmlSourceLimits. Nothing but the named source is read.

#include "xml/XmlDocument.h"

#include <string>

namespace library_source {

// Ok with the bytes, or why there are none (NotFound, TooLarge, Timeout).
SXmlLoadResult Read(const std::string& source, std::string& bytes);

} // namespace library_source
