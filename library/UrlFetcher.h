#pragma once
// Reads the body of an http, https or file URL into memory, within the limits
// of SXmlSourceLimits.

#include "xml/XmlDocument.h"

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

struct SFetchOptions {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{30'000};
    std::size_t maxBytes = SXmlSourceLimits::kMaxBytes;
};

struct SFetchResult {
    EXmlLoadStatus status = EXmlLoadStatus::NotFound; // Ok, NotFound, TooLarge or Timeout
    std::string body;
    std::string detail;
};

class CUrlFetcher {
public:
    // True for a source that starts with http://, https:// or file://, in any
    // letter case; everything else is a path.
    static bool IsUrl(std::string_view source);

    // Never throws for a transfer failure; an HTTP status of 300 or more (a
    // redirect that names no Location ends there) and an empty body are
    // NotFound. A file URL must name a regular file.
    static SFetchResult Fetch(const std::string& url, const SFetchOptions& options = {});
};
