#pragma once
// Writing a file so that a failure never damages what was there before: the
// bytes go to a temporary file beside the target, are flushed to disk, and
// only a complete file is renamed over the target, with the target's owner,
// group and mode. A target the user may not write is refused, and one in a
// folder the user may not write to is rewritten in place, its old bytes put
// back if the write fails.

#include <string>
#include <string_view>

struct SAtomicWriteResult {
    bool ok = false;
    std::string error; // what went wrong, for the user
};

SAtomicWriteResult WriteFileAtomically(const std::string& path, std::string_view bytes);
