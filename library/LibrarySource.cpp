#include "library/LibrarySource.h"

#include "library/RegularFile.h"
#include "library/UrlFetcher.h"

#include <utility>

namespace library_source {

XmlLoadResult Read(const std::string& source, std::string& bytes) {
    if (CUrlFetcher::IsUrl(source)) {
        FetchResult fetched = CUrlFetcher::Fetch(source);
        if (fetched.status != XmlLoadStatus::Ok)
            return {fetched.status, source + ": " + fetched.detail};
        bytes = std::move(fetched.body);
        return {XmlLoadStatus::Ok, {}};
    }
    regular_file::ReadResult read = regular_file::Read(source, XmlSourceLimits::kMaxBytes);
    if (!read.ok())
        return {read.status == regular_file::Status::TooLarge ? XmlLoadStatus::TooLarge
                                                              : XmlLoadStatus::NotFound,
                read.error};
    bytes = std::move(read.bytes);
    return {XmlLoadStatus::Ok, {}};
}

} // namespace library_source
