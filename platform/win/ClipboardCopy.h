#pragma once
// Which of the clipboard's formats are copied before a paste puts the snippet
// there, so that they can be given back, and within the limits a copy on X11
// keeps too (ClipboardSnapshot.h). Numbers and bytes only: the Win32 calls
// that read and write them are in WinClipboard.cpp.

#include "platform/ClipboardSnapshot.h"

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// One clipboard format and its bytes, as its memory block held them.
struct SSavedFormat {
    unsigned format = 0;
    std::string bytes;
};

struct SClipboardCopy {
    std::vector<SSavedFormat> formats;
    // How the reading went, for the trace: formats offered, copied, skipped, not read.
    std::string note;
};

namespace clipboard_copy {

// A format whose data is a memory block, copied byte for byte. GDI objects
// (bitmaps, metafiles, palettes), private formats' handles and owner-drawn
// formats mean nothing once copied, and formats the system does not know
// may be either.
bool IsMemoryFormat(unsigned format);

// The offered formats worth copying, in their order: memory ones, each once,
// without the text forms the system derives again from a kept Unicode (or
// ANSI) text; at most maxFormats.
std::vector<unsigned> Choose(const std::vector<unsigned>& offered, std::size_t maxFormats);

// Reads one format's bytes; nothing when it cannot be read or holds more
// than maxBytes.
using FormatReader =
    std::function<std::optional<std::string>(unsigned format, std::size_t maxBytes)>;
using Now = std::function<std::chrono::steady_clock::time_point()>;

// The chosen formats of those offered, read in order until the time allowed
// is spent; a format larger than the bytes left is left out, a smaller one
// after it may still fit.
SClipboardCopy Copy(const std::vector<unsigned>& offered, const SSnapshotLimits& limits,
                    const FormatReader& read, const Now& now);

} // namespace clipboard_copy
