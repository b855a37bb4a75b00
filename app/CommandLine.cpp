#include "app/CommandLine.h"

#include "app/NativePath.h"

#include <string_view>
#include <utility>

namespace {
SCommandLine Only(SCommandLine::EAction action, std::string error = {}) {
    SCommandLine line;
    line.action = action;
    line.error = std::move(error);
    return line;
}
} // namespace

SCommandLine ParseCommandLine(int argc, const char* const* argv) {
    SCommandLine line;
    bool options = true;
    bool haveFile = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (options && arg.size() > 1 && arg[0] == '-') {
            if (arg == "--") {
                options = false;
                continue;
            }
            if (arg == "--help" || arg == "-h")
                return Only(SCommandLine::EAction::Help);
            if (arg == "--version")
                return Only(SCommandLine::EAction::Version);
            if (arg == "--toggle")
                return Only(SCommandLine::EAction::Toggle);
            if (arg == "--tray") {
                line.tray = true;
                continue;
            }
            if (arg == "--activate") {
                line.activate = true;
                continue;
            }
            return Only(SCommandLine::EAction::Error, "unknown option " + std::string(arg));
        }
        if (haveFile)
            return Only(SCommandLine::EAction::Error, "only one file can be opened");
        haveFile = true;
        // Absolute, so the recent-file list and a later save find it from
        // any folder.
        line.file = native_path::Absolute(std::string(arg));
    }
    return line;
}
