#pragma once
// A copy of what the clipboard's owner offers, taken before a paste puts the
// snippet there, so that it can be given back afterwards. Another program's
// data is read on a private X connection that waits on its own socket, never
// through GTK: GTK's wait runs the event loop, and the paste's own events
// (the menu's, the timers') must not run in the middle of it. Whatever could
// not be read in the time or size allowed is left out.

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// One target of the clipboard and the bytes it converts to, with the type
// they came as (a target TEXT may come as UTF8_STRING).
struct SClipboardItem {
    std::string target;
    std::string type;
    std::string bytes;
};

struct SSnapshotLimits {
    // The paste waits for the whole snapshot, and the user for the paste.
    std::chrono::milliseconds budget{150};
    // Beyond this the rest is left out: the copy is held in memory until
    // someone else takes the clipboard.
    std::size_t maxBytes = std::size_t{32} << 20;
    // A hostile or broken owner may list thousands of targets.
    std::size_t maxTargets = 64;
};

struct SClipboardSnapshot {
    std::vector<SClipboardItem> items;
    // How the reading went, for the trace: targets offered, skipped, failed.
    std::string note;
    // The owner was this program: read from its own side.
    bool fromUs = false;
};

namespace desktop {

// The CLIPBOARD of the display named, read as another program reads it.
// Nothing when it has no owner or the owner does not answer in time.
SClipboardSnapshot ReadClipboardOverX(const std::string& displayName,
                                      const SSnapshotLimits& limits = {});

// Targets that are about the selection rather than its data: never copied.
bool IsMetaTarget(const std::string& target);

} // namespace desktop
