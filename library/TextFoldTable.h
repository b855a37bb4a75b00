#pragma once
// The generated table behind text_fold: what each non-ASCII code point that
// changes folds to, sorted by code point.

#include <cstddef>
#include <cstdint>

namespace text_fold::table {

struct SFoldEntry {
    std::uint32_t cp;
    std::uint32_t offset; // into kText
    std::uint8_t length;  // bytes of UTF-8; 0 for a code point that is dropped
};

extern const SFoldEntry kEntries[];
extern const std::size_t kEntryCount;
extern const char kText[];

} // namespace text_fold::table
