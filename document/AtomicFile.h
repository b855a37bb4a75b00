#pragma once
// Writing a file so that a failure never damages what was there before: the
// bytes go to a temporary file beside the target, are flushed to disk, and
// only a complete file is renamed over the target.

#include <string>
#include <string_view>

struct AtomicWriteResult {
    bool ok = false;
    std::string error; // what went wrong, for the user
};

AtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);
