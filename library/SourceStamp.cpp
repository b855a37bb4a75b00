#include "library/SourceStamp.h"

#include "library/RegularFile.h"
#include "xml/XmlDocument.h"

#include <sys/stat.h>

namespace source_stamp {

std::uint64_t Hash(std::string_view bytes) {
    // FNV-1a: cheap, and enough to tell one version of a file from the next.
    std::uint64_t h = 14695981039346656037ull;
    for (const unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

SSourceStamp OfBytes(std::string_view bytes) {
    return {true, bytes.size(), 0, Hash(bytes)};
}

SSourceStamp OfFile(const std::string& path, const SSourceStamp& known) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    const std::int64_t mtimeNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (known.exists && known.size == size && known.mtimeNs == mtimeNs)
        return known;
    const regular_file::SReadResult read = regular_file::Read(path, SXmlSourceLimits::kMaxBytes);
    if (read.status == regular_file::EStatus::Missing ||
        read.status == regular_file::EStatus::NotRegular)
        return {};
    // Too large or unreadable: still a change when size or time differ.
    SSourceStamp stamp = OfBytes(read.bytes);
    stamp.size = size;
    stamp.mtimeNs = mtimeNs;
    return stamp;
}

} // namespace source_stamp
