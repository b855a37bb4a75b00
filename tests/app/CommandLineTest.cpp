// The command line as a person or a desktop launcher writes it.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

TEST(CommandLine, FileNamesAreMadeAbsoluteAndKeptAsGiven) {
    const std::string cwd = std::filesystem::current_path().string() + "/";
    using A = SCommandLine::EAction;
    const std::tuple<std::vector<const char*>, A, std::string> cases[] = {
        {{}, A::Run, ""},
        {{"named.xml"}, A::Run, cwd + "named.xml"},
        {{"./a/../named.xml"}, A::Run, cwd + "named.xml"},
        {{"/abs/x.xml"}, A::Run, "/abs/x.xml"},
        {{"caf\xe9.xml"}, A::Run, cwd + "caf\xe9.xml"},
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
                b.file.ends_with("/lib.xml"));
}
