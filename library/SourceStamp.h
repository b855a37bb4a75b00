#pragma once
// What a library's file or download looked like when it was last loaded or
// saved, so that a real change made elsewhere is told from a mere touch and
// from our own save.

#include <cstdint>
#include <string>
#include <string_view>

struct SSourceStamp {
    bool exists = false;
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
    std::uint64_t hash = 0; // of the bytes

    // Different bytes, or there and gone; a new time alone is no change.
    bool SameContent(const SSourceStamp& other) const {
        return exists == other.exists && (!exists || (size == other.size && hash == other.hash));
    }
};

namespace source_stamp {

std::uint64_t Hash(std::string_view bytes);
SSourceStamp OfBytes(std::string_view bytes);
// The file's stamp; when its size and time are those of known, the file is
// not read again. A file that cannot be read counts as missing.
SSourceStamp OfFile(const std::string& path, const SSourceStamp& known = {});

} // namespace source_stamp
