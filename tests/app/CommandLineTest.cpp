// The command line as a person or a desktop launcher writes it.

#include "app/CommandLine.h"
#include "library/Utf8Path.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {
constexpr char kSeparator = std::filesystem::path::preferred_separator;
} // namespace

TEST(CommandLine, FileNamesAreMadeAbsoluteAndKeptAsGiven) {
    const std::string cwd = utf8_path::Of(std::filesystem::current_path()) + kSeparator;
#ifdef _WIN32
    // A name from the root is on the current drive; Windows' command line is
    // UTF-8 here, so a byte that is none is left as it came.
    const std::string fromRoot = cwd.substr(0, 2) + "\\abs\\x.xml";
    const std::string notUtf8 = "caf\xe9.xml";
#else
    const std::string fromRoot = "/abs/x.xml";
    const std::string notUtf8 = cwd + "caf\xe9.xml";
#endif
    using A = SCommandLine::EAction;
    const std::tuple<std::vector<const char*>, A, std::string> cases[] = {
        {{}, A::Run, ""},
        {{"named.xml"}, A::Run, cwd + "named.xml"},
        {{"./a/../named.xml"}, A::Run, cwd + "named.xml"},
        {{"/abs/x.xml"}, A::Run, fromRoot},
        {{"caf\xe9.xml"}, A::Run, notUtf8},
        {{"caf\xc3\xa9 \xce\xb1.xml"}, A::Run, cwd + "caf\xc3\xa9 \xce\xb1.xml"},
        {{"--", "-notes.xml"}, A::Run, cwd + "-notes.xml"},
        {{"--", "--help"}, A::Run, cwd + "--help"},
        {{"-"}, A::Run, cwd + "-"},
        {{"-notes.xml"}, A::Error, ""},
        {{"a.xml", "b.xml"}, A::Error, ""},
        {{"--", "a.xml", "b.xml"}, A::Error, ""},
        {{"--help"}, A::Help, ""},
        {{"--toggle"}, A::Toggle, ""},
        {{"--version"}, A::Version, ""},
        {{"--tray", "--activate", "named.xml"}, A::Run, cwd + "named.xml"},
        {{"--", "--tray"}, A::Run, cwd + "--tray"},
    };
    for (auto [args, action, file] : cases) {
        SCOPED_TRACE(args.empty() ? "(none)" : args.back());
        args.insert(args.begin(), "tessary");
        const SCommandLine line = ParseCommandLine(static_cast<int>(args.size()), args.data());
        EXPECT_EQ(line.action, action);
        EXPECT_EQ(line.file, file);
    }
}

TEST(CommandLine, TrayAndActivateAreTakenInAnyOrderWithAFile) {
    const char* autostart[] = {"tessary", "--tray", "--activate"};
    const char* named[] = {"tessary", "lib.xml", "--activate"};
    const SCommandLine a = ParseCommandLine(3, autostart);
    const SCommandLine b = ParseCommandLine(3, named);
    EXPECT_TRUE(a.action == SCommandLine::EAction::Run && a.tray && a.activate && a.file.empty());
    EXPECT_TRUE(b.action == SCommandLine::EAction::Run && !b.tray && b.activate &&
                b.file.ends_with(kSeparator + std::string("lib.xml")));
}
