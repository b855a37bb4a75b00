#include "library/SourceStamp.h"

#include "library/RegularFile.h"
#include "xml/XmlDocument.h"

#ifdef _WIN32
#include "library/WindowsText.h"

#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace source_stamp {

namespace {

// Size and time of last change of a regular file. On Windows the time comes
// in 100 ns steps from the wide function; the C library's stat would give
// whole seconds, in which a same-size edit would go unseen.
bool SizeAndTime(const std::string& path, std::uint64_t& size, std::int64_t& mtimeNs) {
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(windows_text::Wide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
        return false;
    size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime;
    mtimeNs = static_cast<std::int64_t>(ticks) * 100;
    return true;
#else
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    size = static_cast<std::uint64_t>(st.st_size);
    return true;
#endif
}

} // namespace

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
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    if (!SizeAndTime(path, size, mtimeNs))
        return {};
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
