// The snippet file format and the window-free library: root check, item ids,
// lookup, names of new children, the written form, loads and saves.

#include "library/SnippetLibrary.h"
#include "library/SnippetFormat.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace snippet_format;

namespace {

CSnippetLibrary LoadedFrom(const std::string& path) {
    CSnippetLibrary lib;
    EXPECT_TRUE(lib.CreateEngine());
    EXPECT_EQ(lib.Load(path), CSnippetLibrary::LoadOutcome::Ok);
    lib.EnsureRoot();
    lib.NumberItems();
    return lib;
}

// Runs what without root's rights: as the test's own user, or as "nobody" in
// a child process when the tests run as root. True when what returned true.
bool AsOrdinaryUser(const std::function<bool()>& what) {
    if (geteuid() != 0)
        return what();
    const pid_t pid = fork();
    if (pid == 0) {
        const bool ok =
            setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0 && what();
        _exit(ok ? 0 : 1);
    }
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

const char* kMail = "<level0 iid=\"7\" header=\"Mail\">\n"
                    "  <level1 header=\"Greetings\" iid=\"x\">\n"
                    "    <level2 header=\"Hello\"><![CDATA[Hello there]]></level2>\n"
                    "    <level2 header=\"Thanks\" iid=\"1\"><![CDATA[Thank you]]></level2>\n"
                    "  </level1>\n"
                    "  <level1 header=\"Sign-off\" iid=\"1\"><![CDATA[Regards]]></level1>\n"
                    "</level0>";

} // namespace

TEST(SnippetLibrary, NewDocumentGetsRootAndSavesAsOneLine) {
    CSnippetLibrary lib;
    ASSERT_TRUE(lib.CreateEngine());
    const CXmlNode root = lib.EnsureRoot();
    ASSERT_TRUE(root);
    EXPECT_EQ(root.NodeName(), "level0");
    const auto items = lib.NumberItems();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(lib.NextItemId(), 1);
    EXPECT_EQ(lib.Serialize(), "<level0 header=\"New Document\" iid=\"0\"/>");

    CTempDir dir;
    const std::string path = dir.File("new.xml");
    ASSERT_TRUE(lib.SaveTo(path).ok);
    EXPECT_EQ(CTempDir::Read(path), "<level0 header=\"New Document\" iid=\"0\"/>");

    // The root check is idempotent: a second rebuild finds the same root.
    EXPECT_EQ(lib.EnsureRoot(), root);
}

TEST(SnippetLibrary, RootOfAnotherNameIsAFailedLoad) {
    CTempDir dir;
    CTempDir::Write(dir.File("good.xml"), kMail);
    CSnippetLibrary lib = LoadedFrom(dir.File("good.xml"));
    const std::string before = lib.Serialize();
    for (const char* wrong : {"<level1 header=\"x\"/>", "<level0 xmlns=\"urn:x\" header=\"x\"/>"}) {
        CTempDir::Write(dir.File("a.xml"), wrong);
        EXPECT_EQ(lib.Load(dir.File("a.xml")), CSnippetLibrary::LoadOutcome::WrongRoot) << wrong;
        EXPECT_EQ(lib.Serialize(), before);
        EXPECT_TRUE(lib.FindByItemId(4));
    }
}

TEST(SnippetLibrary, ItemsAreRenumberedInDocumentOrderAndFoundById) {
    CTempDir dir;
    CTempDir::Write(dir.File("mail.xml"), kMail);
    CSnippetLibrary lib = LoadedFrom(dir.File("mail.xml"));
    const std::vector<std::string> headers = {"Mail", "Greetings", "Hello", "Thanks", "Sign-off"};
    for (int id = 0; id < 5; ++id) {
        const CXmlNode node = lib.FindByItemId(id);
        ASSERT_TRUE(node) << id;
        EXPECT_EQ(GetAttribute(node, kHeaderAttr), headers[static_cast<size_t>(id)]);
        EXPECT_EQ(GetAttribute(node, kItemIdAttr), std::to_string(id));
    }
    EXPECT_FALSE(lib.FindByItemId(5));
    EXPECT_FALSE(lib.FindByItemId(-1));
    EXPECT_EQ(lib.NextItemId(), 5);
    // iid ends up after the other attributes, whitespace between items stays.
    EXPECT_EQ(lib.Serialize(),
              "<level0 header=\"Mail\" iid=\"0\">\n"
              "  <level1 header=\"Greetings\" iid=\"1\">\n"
              "    <level2 header=\"Hello\" iid=\"2\"><![CDATA[Hello there]]></level2>\n"
              "    <level2 header=\"Thanks\" iid=\"3\"><![CDATA[Thank you]]></level2>\n"
              "  </level1>\n"
              "  <level1 header=\"Sign-off\" iid=\"4\"><![CDATA[Regards]]></level1>\n"
              "</level0>");
}

TEST(SnippetLibrary, LookupFindsEveryShownItemButNotRemovedOnes) {
    // A level2 directly under level0 and elements of other names are items
    // too: each must be found by its id.
    CTempDir dir;
    CTempDir::Write(dir.File("odd.xml"),
                    "<level0 header=\"r\"><level2 header=\"deep\"/>"
                    "<note header=\"n\"><title header=\"t\"/></note></level0>");
    CSnippetLibrary lib = LoadedFrom(dir.File("odd.xml"));
    EXPECT_EQ(lib.FindByItemId(1).NodeName(), "level2");
    EXPECT_EQ(lib.FindByItemId(2).NodeName(), "note");
    EXPECT_EQ(lib.FindByItemId(3).NodeName(), "title");

    CXmlNode note = lib.FindByItemId(2);
    CXmlNode parent = note.ParentNode();
    parent.RemoveChild(note);
    EXPECT_FALSE(lib.FindByItemId(2)) << "a removed element is a real miss";
    EXPECT_FALSE(lib.FindByItemId(3)) << "so is everything below it";
    EXPECT_TRUE(lib.FindByItemId(1));

    // A moved element keeps its id and is still found.
    CXmlNode deep = lib.FindByItemId(1);
    CXmlNode root = lib.Root();
    root.AppendChild(deep);
    EXPECT_EQ(lib.FindByItemId(1), deep);
}

TEST(SnippetLibrary, NamesOfNewChildren) {
    EXPECT_EQ(ChildElementName("level0"), "level1");
    EXPECT_EQ(ChildElementName("level3"), "level4");
    EXPECT_EQ(ChildElementName("level12"), "level13");
    EXPECT_EQ(ChildElementName("title"), "level1");
    EXPECT_EQ(ChildElementName("levelX7"), "level1");
    EXPECT_EQ(ChildElementName("level7b"), "level8");
    EXPECT_EQ(GetLevel("lev"), 0);
    // Numbers beyond int saturate; the child's name goes one past, never round.
    EXPECT_EQ(GetLevel("level2147483647"), INT_MAX);
    EXPECT_EQ(GetLevel("level99999999999999999999"), INT_MAX);
    EXPECT_EQ(GetLevel("level-99999999999"), INT_MIN);
    EXPECT_EQ(ChildElementName("level2147483647"), "level2147483648");
    EXPECT_EQ(ChildElementName("level2147483648"), "level2147483648");
    EXPECT_EQ(ChildElementName("level-99999999999"), "level-2147483647");
}

TEST(SnippetLibrary, TextIsReplacedAsOneCdataAfterOtherChildren) {
    CTempDir dir;
    CTempDir::Write(dir.File("t.xml"),
                    "<level0 header=\"r\"><level1 header=\"a\">plain<![CDATA[old]]>"
                    "<!--c--><?pi x?><![CDATA[more]]></level1></level0>");
    CSnippetLibrary lib = LoadedFrom(dir.File("t.xml"));
    CXmlNode item = lib.FindByItemId(1);
    EXPECT_EQ(item.Text(), "plainoldmore");
    // Plain text and CDATA alike give way: the text is never doubled.
    SetText(*lib.Dom(), item, "new ]]> text\nline");
    EXPECT_EQ(item.Text(), "new ]]> text\nline");
    EXPECT_EQ(item.Xml(), "<level1 header=\"a\" iid=\"1\"><!--c--><?pi x?><![CDATA[new ]]]]>"
                          "<![CDATA[> text\nline]]></level1>");
    EXPECT_FALSE(HasElementChild(item));

    // What is written reads back to the same text.
    ASSERT_TRUE(lib.SaveTo(dir.File("t2.xml")).ok);
    CSnippetLibrary again = LoadedFrom(dir.File("t2.xml"));
    EXPECT_EQ(again.FindByItemId(1).Text(), "new ]]> text\nline");
}

TEST(SnippetLibrary, CharactersXmlCannotCarryNeverMakeAnUnreadableFile) {
    CTempDir dir;
    CSnippetLibrary lib;
    ASSERT_TRUE(lib.CreateEngine());
    CXmlNode root = lib.EnsureRoot();
    lib.NumberItems();
    SetAttribute(*lib.Dom(), root, kHeaderAttr,
                 std::string("a\x01"
                             "b",
                             3));
    CXmlNode item = lib.Dom()->CreateElement("level1");
    root.AppendChild(item);
    SetText(*lib.Dom(), item, std::string("tab\there\x0b\x1f end \xef\xbf\xbf\n", 19));
    ASSERT_TRUE(lib.SaveTo(dir.File("c.xml")).ok);
    CSnippetLibrary again = LoadedFrom(dir.File("c.xml"));
    EXPECT_EQ(GetAttribute(again.Root(), kHeaderAttr), "a\xef\xbf\xbd"
                                                       "b");
    EXPECT_EQ(again.FindByItemId(1).Text(), "tab\there\xef\xbf\xbd\xef\xbf\xbd end \xef\xbf\xbd\n");
}

TEST(SnippetLibrary, FailedLoadKeepsTheLibrary) {
    CTempDir dir;
    CTempDir::Write(dir.File("good.xml"), kMail);
    CTempDir::Write(dir.File("bad.xml"), "<level0><unclosed></level0>");
    CSnippetLibrary lib = LoadedFrom(dir.File("good.xml"));
    const std::string before = lib.Serialize();

    EXPECT_EQ(lib.Load(dir.File("bad.xml")), CSnippetLibrary::LoadOutcome::Invalid);
    EXPECT_EQ(lib.Load(dir.File("missing.xml")), CSnippetLibrary::LoadOutcome::Invalid);
    EXPECT_EQ(lib.Serialize(), before);
    EXPECT_TRUE(lib.FindByItemId(4));
    EXPECT_EQ(lib.Root().NodeName(), "level0");
}

TEST(SnippetLibrary, NonAsciiSurvivesSaveAndReload) {
    CTempDir dir;
    // Windows-1252 bytes without a declaration, as older tools wrote them.
    CTempDir::Write(dir.File("cp.xml"), "<level0 header=\"Caf\xe9\"><level1 header=\"\x80\">"
                                        "<![CDATA[na\xefve \x93quoted\x94]]></level1></level0>");
    CSnippetLibrary lib = LoadedFrom(dir.File("cp.xml"));
    ASSERT_TRUE(lib.SaveTo(dir.File("utf8.xml")).ok);
    const std::string written = CTempDir::Read(dir.File("utf8.xml"));
    EXPECT_EQ(written, "<level0 header=\"Caf\xc3\xa9\" iid=\"0\"><level1 header=\"\xe2\x82\xac\" "
                       "iid=\"1\"><![CDATA[na\xc3\xafve \xe2\x80\x9cquoted\xe2\x80\x9d]]>"
                       "</level1></level0>");
    CSnippetLibrary again = LoadedFrom(dir.File("utf8.xml"));
    EXPECT_EQ(again.Serialize(), written);
}

TEST(SnippetLibrary, FailedSaveLeavesTheOldFileByteForByte) {
    CTempDir dir;
    const std::string path = dir.File("lib.xml");
    CTempDir::Write(path, kMail);
    CSnippetLibrary lib = LoadedFrom(path);
    SetText(*lib.Dom(), lib.FindByItemId(2), std::string(200000, 'x'));

    // A file system that fills up: a file-size limit below the new size.
    struct rlimit old {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    auto* previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const AtomicWriteResult r = lib.SaveTo(path);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(CTempDir::Read(path), kMail);

    // No temporary file is left behind.
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path())) {
        (void)e;
        ++files;
    }
    EXPECT_EQ(files, 1);

    // And a save that can succeed replaces the file, keeping its permissions.
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(lib.SaveTo(path).ok);
    EXPECT_EQ(CTempDir::Read(path), lib.Serialize());
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(SnippetLibrary, WithoutALibraryNothingIsWritten) {
    CTempDir dir;
    CSnippetLibrary lib;
    CSnippetLibrary::SimulateEngineFailure(true);
    ASSERT_FALSE(lib.CreateEngine());
    CSnippetLibrary::SimulateEngineFailure(false);
    const AtomicWriteResult r = lib.SaveTo(dir.File("x.xml"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.empty());
    EXPECT_FALSE(std::filesystem::exists(dir.File("x.xml")));
}

TEST(AtomicFile, WritableFileInAReadOnlyFolderIsRewrittenInPlace) {
    CTempDir dir;
    const std::string path = dir.File("lib.xml");
    CTempDir::Write(path, kMail);
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0555), 0);
    const std::string longer(100000, 'x');
    EXPECT_TRUE(AsOrdinaryUser(
        [&] { return WriteFileAtomically(path, longer).ok && WriteFileAtomically(path, "s").ok; }));
    EXPECT_EQ(CTempDir::Read(path), "s");

    // Past a file-size limit the write fails, and the file is as it was.
    EXPECT_TRUE(AsOrdinaryUser([&] {
        struct rlimit old {};
        getrlimit(RLIMIT_FSIZE, &old);
        auto* previous = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 4096;
        setrlimit(RLIMIT_FSIZE, &small);
        const AtomicWriteResult r = WriteFileAtomically(path, longer);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previous);
        return !r.ok && !r.error.empty();
    }));
    EXPECT_EQ(CTempDir::Read(path), "s");
}

TEST(AtomicFile, ReadOnlyFileIsRefusedAndAReplacedOneKeepsOwnerGroupAndMode) {
    CTempDir dir;
    const std::string path = dir.File("lib.xml");
    CTempDir::Write(path, kMail);
    ASSERT_EQ(chmod(dir.Path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(AsOrdinaryUser([&] {
        const AtomicWriteResult r = WriteFileAtomically(path, "new");
        return !r.ok && r.error.find(std::strerror(EACCES)) != std::string::npos;
    }));
    EXPECT_EQ(CTempDir::Read(path), kMail);

    // Root gives the file to anyone; a user, to another group of theirs.
    gid_t groups[64];
    const int n = getgroups(64, groups);
    const auto other =
        std::find_if(groups, groups + std::max(n, 0), [](gid_t g) { return g != getegid(); });
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), 1234, 5678), 0);
    } else if (other != groups + std::max(n, 0)) {
        ASSERT_EQ(chown(path.c_str(), static_cast<uid_t>(-1), *other), 0);
    }
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    struct stat before {
    }, after{};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    ASSERT_TRUE(WriteFileAtomically(path, "new").ok);
    ASSERT_EQ(stat(path.c_str(), &after), 0);
    EXPECT_EQ(CTempDir::Read(path), "new");
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(after.st_mode, before.st_mode);
}

TEST(SnippetLibrary, SaveThroughASymlinkWritesTheTarget) {
    CTempDir dir;
    const std::string real = dir.File("real.xml");
    CTempDir::Write(real, kMail);
    ASSERT_EQ(symlink(real.c_str(), dir.File("link.xml").c_str()), 0);
    CSnippetLibrary lib = LoadedFrom(dir.File("link.xml"));
    ASSERT_TRUE(lib.SaveTo(dir.File("link.xml")).ok);
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.xml")));
    EXPECT_EQ(CTempDir::Read(real), lib.Serialize());
}
