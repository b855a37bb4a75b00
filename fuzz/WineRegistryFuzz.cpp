// A Wine user.reg text: every string value under the user's shell folders
// (the Favorites folder among them) goes through the Favorites export as a
// label and as a URL, and comes back from the library loader unchanged.

#include "favorites/WineRegistry.h"
#include "fuzz/ExportRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
constexpr const char* kShellFoldersKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const CWineRegistryFile hive(std::string(reinterpret_cast<const char*>(data), size));
    for (const auto& [name, value] : hive.StringValues(kShellFoldersKey))
        export_round_trip::Check(value, value);
    return 0;
}
