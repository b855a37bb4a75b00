// The command line as a person or a desktop launcher writes it.

#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace {
SCommandLine Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tessary");
    return ParseCommandLine(static_cast<int>(args.size()), args.data());
}
} // namespace

TEST(CommandLine, FileNamesAreMadeAbsoluteAndKeptAsGiven) {
    const std::string cwd = std::filesystem::current_path().string();
    using A = SCommandLine::Action;
    const struct {
        std::vector<const char*> args;
        A action;
        std::string file;
    } cases[] = {
        {{}, A::Run, ""},
        {{"named.xml"}, A::Run, cwd + "/named.xml"},
        {{"./a/../named.xml"}, A::Run, cwd + "/named.xml"},
        {{"/abs/x.xml"}, A::Run, "/abs/x.xml"},
        {{"caf\xe9.xml"}, A::Run, cwd + "/caf\xe9.xml"},
        {{"--", "-notes.xml"}, A::Run, cwd + "/-notes.xml"},
        {{"--", "--help"}, A::Run, cwd + "/--help"},
        {{"-"}, A::Run, cwd + "/-"},
        {{"-notes.xml"}, A::Error, ""},
        {{"a.xml", "b.xml"}, A::Error, ""},
        {{"--", "a.xml", "b.xml"}, A::Error, ""},
        {{"--help"}, A::Help, ""},
        {{"--toggle"}, A::Toggle, ""},
        {{"--version"}, A::Version, ""},
    };
    for (const auto& c : cases) {
        const SCommandLine line = Parse(c.args);
        SCOPED_TRACE(c.args.empty() ? "(none)" : c.args.back());
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.file, c.file);
    }
}
