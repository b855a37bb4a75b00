#pragma once
// Reads the body of an http, https or file URL into memory, within the limits
// of SXmlSourceLimits.

#include "xml/XmlDocument.h"

#include <atomic>
#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

struct SFetchOptions {
    std::chrono::milliseconds connectTimeout{10'000};
    std::chrono::milliseconds totalTimeout{30'000};
    std::size_t maxBytes = SXmlSourceLimits::kMaxBytes;
    // A conditional request: the validators of the copy already held.
    std::string ifNoneMatch{};
    std::string ifModifiedSince{};
    // Set from another thread, it ends the transfer within about a second.
    const std::atomic<bool>* pCancel = nullptr;
};

struct SFetchResult {
    EXmlLoadStatus status = EXmlLoadStatus::NotFound; // Ok, NotFound, TooLarge or Timeout
    std::string body;
    std::string detail;
    // The server's validators, for the next conditional request.
    std::string etag;
    std::string lastModified;
    // 304: the copy held is current; status is Ok and the body empty.
    bool notModified = false;
};

class CUrlFetcher {
public:
    // True for a source that starts with http://, https:// or file://, in any
    // letter case; everything else is a path.
    static bool IsUrl(std::string_view source);

    // Never throws for a transfer failure; an HTTP status of 300 or more (a
    // redirect that names no Location ends there) and an empty body are
    // NotFound. A file URL must name a regular file.
    // ~/.netrc is used for servers that ask for a login.
    static SFetchResult Fetch(const std::string& url, const SFetchOptions& options = {});

    // A short name for the URL: its last path segment, percent-decoded when
    // that gives UTF-8, else the host; the URL itself when it cannot be parsed.
    static std::string DisplayName(const std::string& url);
};
