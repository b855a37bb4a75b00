#include "library/UrlFetcher.h"

#include "library/RegularFile.h"
#include "xml/TextEncoding.h"

#include <curl/curl.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <mutex>
#include <utility>

namespace {

struct SSink {
    std::string* pBody;
    std::size_t nMax;
    bool bTooLarge = false;
};

std::size_t OnData(char* data, std::size_t size, std::size_t count, void* user) {
    auto* sink = static_cast<SSink*>(user);
    std::size_t bytes = size * count;
    if (sink->pBody->size() + bytes > sink->nMax) {
        sink->bTooLarge = true;
        return 0; // makes curl abort the transfer
    }
    sink->pBody->append(data, bytes);
    return bytes;
}

// Keeps the validators of the last response (a redirect has its own).
std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* result = static_cast<SFetchResult*>(user);
    const std::size_t bytes = size * count;
    std::string_view line(data, bytes);
    if (line.starts_with("HTTP/")) {
        result->etag.clear();
        result->lastModified.clear();
    }
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos)
        return bytes;
    std::string name(line.substr(0, colon));
    std::ranges::transform(name, name.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::string_view value = line.substr(colon + 1);
    while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
        value.remove_prefix(1);
    while (!value.empty() && std::isspace(static_cast<unsigned char>(value.back())))
        value.remove_suffix(1);
    if (name == "etag")
        result->etag = value;
    else if (name == "last-modified")
        result->lastModified = value;
    return bytes;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto* cancel = static_cast<const std::atomic<bool>*>(user);
    return cancel && cancel->load() ? 1 : 0;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) ==
                      std::tolower(static_cast<unsigned char>(b));
           });
}

struct SCurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};

struct SUrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// A file URL is read here rather than by curl, which would open a FIFO and
// block for good. curl's own parser turns the URL into a path, so the same
// URLs name the same files (localhost, percent escapes, no other hosts).
SFetchResult FetchFile(const std::string& url, std::size_t maxBytes) {
    SFetchResult result;
    std::unique_ptr<CURLU, SUrlDeleter> parsed(curl_url());
    char* path = nullptr;
    CURLUcode code =
        parsed ? curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) : CURLUE_OUT_OF_MEMORY;
    if (code == CURLUE_OK)
        code = curl_url_get(parsed.get(), CURLUPART_PATH, &path, CURLU_URLDECODE);
    if (code != CURLUE_OK) {
        result.detail = curl_url_strerror(code);
        return result;
    }
    std::string file = path;
    curl_free(path);
#ifdef _WIN32
    // "file:///C:/dir/lib.xml" has the path "/C:/dir/lib.xml": the drive
    // starts the file's name.
    if (file.size() >= 3 && file[0] == '/' && std::isalpha(static_cast<unsigned char>(file[1])) &&
        file[2] == ':')
        file.erase(0, 1);
#endif
    regular_file::SReadResult read = regular_file::Read(file, maxBytes);
    if (!read.ok()) {
        if (read.status == regular_file::EStatus::TooLarge)
            result.status = EXmlLoadStatus::TooLarge;
        result.detail = read.error;
    } else if (read.bytes.empty()) {
        result.detail = "empty file";
    } else {
        result.status = EXmlLoadStatus::Ok;
        result.body = std::move(read.bytes);
    }
    return result;
}

} // namespace

bool CUrlFetcher::IsUrl(std::string_view source) {
    return StartsWithNoCase(source, "http://") || StartsWithNoCase(source, "https://") ||
           StartsWithNoCase(source, "file://");
}

SFetchResult CUrlFetcher::Fetch(const std::string& url, const SFetchOptions& options) {
    static std::once_flag s_once;
    static CURLcode s_initCode = CURLE_OK;
    std::call_once(s_once, [] { s_initCode = curl_global_init(CURL_GLOBAL_DEFAULT); });

    SFetchResult result;
    if (s_initCode != CURLE_OK) {
        result.detail = curl_easy_strerror(s_initCode);
        return result;
    }
    if (StartsWithNoCase(url, "file://"))
        return FetchFile(url, options.maxBytes);
    std::unique_ptr<CURL, SCurlDeleter> curl(curl_easy_init());
    if (!curl) {
        result.detail = "cannot start a transfer";
        return result;
    }

    SSink sink{&result.body, options.maxBytes};
    char errorText[CURL_ERROR_SIZE] = {};
    CURL* h = curl.get();
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(options.connectTimeout.count()));
    curl_easy_setopt(h, CURLOPT_TIMEOUT_MS, static_cast<long>(options.totalTimeout.count()));
    curl_easy_setopt(h, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBytes));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L); // no SIGALRM games in a threaded program
    curl_easy_setopt(h, CURLOPT_USERAGENT, "Tessary");
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &OnData);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &OnHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &result);
    curl_easy_setopt(h, CURLOPT_NETRC, static_cast<long>(CURL_NETRC_OPTIONAL));
    // Called at least once a second, also while a server stays silent.
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &OnProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, options.pCancel);
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, options.pCancel ? 0L : 1L);
    std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(nullptr,
                                                                        &curl_slist_free_all);
    const auto addHeader = [&headers](const std::string& line) {
        if (curl_slist* grown = curl_slist_append(headers.get(), line.c_str())) {
            headers.release();
            headers.reset(grown);
        }
    };
    // Validators are sent only as the server gave them, one line each.
    const auto oneLine = [](const std::string& v) {
        return !v.empty() && v.find_first_of("\r\n") == std::string::npos;
    };
    if (oneLine(options.ifNoneMatch))
        addHeader("If-None-Match: " + options.ifNoneMatch);
    if (oneLine(options.ifModifiedSince))
        addHeader("If-Modified-Since: " + options.ifModifiedSince);
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());

    CURLcode code = curl_easy_perform(h);
    long httpStatus = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &httpStatus);

    if (sink.bTooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.status = EXmlLoadStatus::TooLarge;
        result.detail = "more than " + std::to_string(options.maxBytes) + " bytes";
    } else if (code == CURLE_ABORTED_BY_CALLBACK) {
        result.detail = "cancelled";
    } else if (code == CURLE_OPERATION_TIMEDOUT) {
        result.status = EXmlLoadStatus::Timeout;
        result.detail = errorText[0] ? errorText : curl_easy_strerror(code);
    } else if (code != CURLE_OK) {
        result.status = EXmlLoadStatus::NotFound;
        result.detail = errorText[0] ? errorText : curl_easy_strerror(code);
    } else if (httpStatus == 304 &&
               (!options.ifNoneMatch.empty() || !options.ifModifiedSince.empty())) {
        result.status = EXmlLoadStatus::Ok;
        result.notModified = true;
    } else if (httpStatus >= 300) {
        // A redirect is followed where it names a Location; one that does
        // not leads nowhere, whatever its body says.
        result.status = EXmlLoadStatus::NotFound;
        result.detail = "HTTP status " + std::to_string(httpStatus);
    } else if (result.body.empty()) {
        result.status = EXmlLoadStatus::NotFound;
        result.detail = "empty response";
    } else {
        result.status = EXmlLoadStatus::Ok;
        return result;
    }
    result.body.clear();
    return result;
}

std::string CUrlFetcher::DisplayName(const std::string& url) {
    std::unique_ptr<CURLU, SUrlDeleter> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK)
        return url;
    std::string name;
    char* part = nullptr;
    if (curl_url_get(parsed.get(), CURLUPART_PATH, &part, 0) == CURLUE_OK) {
        std::string path(part);
        curl_free(part);
        while (!path.empty() && path.back() == '/')
            path.pop_back();
        name = path.substr(path.find_last_of('/') + 1);
        // Decoded only when that gives text; a stray byte keeps its escape.
        int length = 0;
        if (char* decoded = curl_easy_unescape(nullptr, name.c_str(), 0, &length)) {
            std::string text(decoded, static_cast<std::size_t>(length));
            curl_free(decoded);
            if (CTextEncoding::IsValidUtf8(text) &&
                std::ranges::none_of(text, [](unsigned char c) { return c < 0x20; }))
                name = text;
        }
    }
    if (name.empty() && curl_url_get(parsed.get(), CURLUPART_HOST, &part, 0) == CURLUE_OK) {
        name = part;
        curl_free(part);
    }
    return name.empty() ? url : name;
}
