#include "library/UrlFetcher.h"

#include "library/RegularFile.h"

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
    regular_file::SReadResult read = regular_file::Read(path, maxBytes);
    curl_free(path);
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

    CURLcode code = curl_easy_perform(h);
    long httpStatus = 0;
    curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &httpStatus);

    if (sink.bTooLarge || code == CURLE_FILESIZE_EXCEEDED) {
        result.status = EXmlLoadStatus::TooLarge;
        result.detail = "more than " + std::to_string(options.maxBytes) + " bytes";
    } else if (code == CURLE_OPERATION_TIMEDOUT) {
        result.status = EXmlLoadStatus::Timeout;
        result.detail = errorText[0] ? errorText : curl_easy_strerror(code);
    } else if (code != CURLE_OK) {
        result.status = EXmlLoadStatus::NotFound;
        result.detail = errorText[0] ? errorText : curl_easy_strerror(code);
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
