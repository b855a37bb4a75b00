#include "app/CommandLine.h"

#include "app/NativePath.h"

#include <string_view>

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
                return {SCommandLine::EAction::Help, {}, {}};
            if (arg == "--version")
                return {SCommandLine::EAction::Version, {}, {}};
            if (arg == "--toggle")
                return {SCommandLine::EAction::Toggle, {}, {}};
            return {SCommandLine::EAction::Error, {}, "unknown option " + std::string(arg)};
        }
        if (haveFile)
            return {SCommandLine::EAction::Error, {}, "only one file can be opened"};
        haveFile = true;
        // Absolute, so the recent-file list and a later save find it from
        // any folder.
        line.file = native_path::Absolute(std::string(arg));
    }
    return line;
}
