#include "library/LibrarySource.h"

#include "library/RegularFile.h"
#include "library/UrlFetcher.h"

#include <utility>

namespace library_source {

SXmlLoadResult Read(const std::string& source, std::string& bytes) {
    if (CUrlFetcher::IsUrl(source)) {
        SFetchResult fetched = CUrlFetcher::Fetch(source);
        if (fetched.status != EXmlLoadStatus::Ok)
            return {fetched.status, source + ": " + fetched.detail};
        bytes = std::move(fetched.body);
        return {EXmlLoadStatus::Ok, {}};
    }
    regular_file::SReadResult read = regular_file::Read(source, SXmlSourceLimits::kMaxBytes);
    if (!read.ok())
        return {read.status == regular_file::EStatus::TooLarge ? EXmlLoadStatus::TooLarge
                                                               : EXmlLoadStatus::NotFound,
                read.error};
    bytes = std::move(read.bytes);
    return {EXmlLoadStatus::Ok, {}};
}

} // namespace library_source
