// The snippet file format and the window-free library: loads that keep the
// library, item ids and lookup, names of new children, the written form, and
// saves that never damage the file they replace.

#include "library/SnippetFormat.h"
#include "library/TextFold.h"
#include "support/Loaded.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstring>
#include <functional>
#include <tuple>
#ifdef _WIN32
#include "library/WindowsText.h"

#include <windows.h>
#else
#include <grp.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace snippet_format;

static const char* kMail = "<level0><level1 header=\"G\"><level2>Hi</level2></level1></level0>";

#ifndef _WIN32
// Runs what without root's rights: as the test's own user, or as "nobody" in
// a child process when the tests run as root. True when what returned true.
static bool AsOrdinaryUser(const std::function<bool()>& what) {
    if (geteuid() != 0)
        return what();
    const pid_t pid = fork();
    if (pid == 0)
        _exit(!(setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0 && what()));
    int status = 0;
    return pid > 0 && waitpid(pid, &status, 0) == pid && status == 0;
}
#endif

TEST(SnippetLibrary, ItemsIdsNamesOfNewChildrenAndWhatIsWritten) {
    // Elements of any name are items; iid goes last. (Numbering in document
    // order and renumbering are shown by the editor's tests too.)
    CSnippetLibrary lib = Library(
        "<level0 iid=\"x\" header=\"r\"><level2 header=\"deep\"/><note><title/></note></level0>");
    std::string names = lib.Serialize() + " ";
    for (int id = -1; id <= 4; ++id)
        names += (lib.FindByItemId(id) ? lib.FindByItemId(id).NodeName() : "-") + " ";
    EXPECT_EQ(names, "<level0 header=\"r\" iid=\"0\"><level2 header=\"deep\" iid=\"1\"/><note "
                     "iid=\"2\"><title iid=\"3\"/></note></level0> - level0 level2 note title - ");
    // Removed ones and all below them are not found; a moved one keeps its id.
    CXmlNode root = lib.Root(), deep = lib.FindByItemId(1), note = lib.FindByItemId(2);
    root.RemoveChild(note);
    root.AppendChild(deep);
    EXPECT_TRUE(!lib.FindByItemId(2) && !lib.FindByItemId(3) && lib.FindByItemId(1) == deep);
    // A new library is its root.
    ASSERT_TRUE(lib.CreateEngine());
    const CXmlNode top = lib.EnsureRoot();
    // Each rebuild finds the same root (written as the document tests show).
    EXPECT_TRUE(lib.NumberItems().size() == 1 && lib.NextItemId() == 1 && lib.EnsureRoot() == top);

    // Numbers beyond int saturate; the child's name goes one past, never
    // round. (Ordinary names: the editor's tests.)
    names.clear();
    for (const char* name : {"levelX7", "level7b", "lev", "level2147483647",
                             "level99999999999999999999", "level-99999999999"})
        names += std::to_string(GetLevel(name)) + " " + ChildElementName(name) + "|";
    EXPECT_EQ(names, "0 level1|7 level8|0 level1|2147483647 level2147483648|2147483647 "
                     "level2147483648|-2147483648 level-2147483647|");

    lib = Library("<level0><level1 header=\"b\">plain<![CDATA[old]]><!--c--><?pi x?>"
                  "<![CDATA[more]]></level1></level0>");
    CXmlNode item = lib.FindByItemId(1);
    // Plain text and CDATA alike give way, so the text is never doubled;
    // characters XML cannot carry become U+FFFD. How older tools' bytes are
    // read is the loader's; that what is written reads back, the fuzz target's.
    SetText(*lib.Dom(), item, "new ]]> x\t\x0b\x1f \xef\xbf\xbf\n");
    SetAttribute(*lib.Dom(), lib.Root(), "note", "a\x01z");
    EXPECT_FALSE(HasElementChild(item));
    EXPECT_EQ(lib.Serialize(), "<level0 iid=\"0\" note=\"a\xef\xbf\xbdz\"><level1 header=\"b\" "
                               "iid=\"1\"><!--c--><?pi x?><![CDATA[new ]]]]><![CDATA[> x\t\xef\xbf"
                               "\xbd\xef\xbf\xbd \xef\xbf\xbd\n]]></level1></level0>");
}

#ifndef _WIN32
TEST(AtomicFile, SavesNeverDamageTheFileTheyReplace) {
    CTempDir dir;
    const std::string path = dir.File("lib.xml"), link = dir.File("link.xml"), longer(100000, 'x');
    CTempDir::Write(path, kMail);
    ASSERT_TRUE(symlink(path.c_str(), link.c_str()) == 0 && chmod(dir.Path().c_str(), 0777) == 0);
    // A failed save (here past a file-size limit) leaves the file byte for
    // byte, and no temporary file behind.
    CSnippetLibrary lib = Library(kMail);
    SetText(*lib.Dom(), lib.FindByItemId(2), longer);
    EXPECT_FALSE(WithFileSizeLimit(4096, [&] { return lib.SaveTo(path).ok; }));
    // Without an engine there is no library, and nothing is written.
    const SAtomicWriteResult r = CSnippetLibrary().SaveTo(dir.File("x.xml"));
    EXPECT_TRUE(!r.ok && !r.error.empty() &&
                std::distance(std::filesystem::directory_iterator(dir.Path()), {}) == 2);
    // A file the user may not write is refused, as the system would refuse it.
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_TRUE(AsOrdinaryUser([&] {
        return WriteFileAtomically(path, "new").error.find(std::strerror(EACCES)) != -1ul;
    }));
    EXPECT_EQ(CTempDir::Read(path), kMail);

    // A replaced file keeps owner, group and mode (root gives it to anyone, a
    // user to another group of theirs); through a link, the file it names is written.
    gid_t groups[64];
    const int n = std::max(getgroups(64, groups), 0);
    const gid_t* other = std::find_if(groups, groups + n, [](gid_t g) { return g != getegid(); });
    const bool root = geteuid() == 0;
    ASSERT_TRUE(((!root && other == groups + n) ||
                 chown(path.c_str(), root ? 1234 : -1, root ? 5678 : *other) == 0) &&
                chmod(path.c_str(), 0640) == 0);
    struct stat before = {}, after = {};
    ASSERT_TRUE(stat(path.c_str(), &before) == 0 && lib.SaveTo(link).ok &&
                stat(path.c_str(), &after) == 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link) && CTempDir::Read(path) == lib.Serialize() &&
                after.st_uid == before.st_uid && after.st_gid == before.st_gid &&
                after.st_mode == before.st_mode);

    // In a folder the user may not write to, a writable file is rewritten in
    // place, and past a file-size limit left as it was.
    ASSERT_TRUE(chmod(path.c_str(), 0666) == 0 && chmod(dir.Path().c_str(), 0555) == 0);
    EXPECT_TRUE(AsOrdinaryUser([&] {
        return WriteFileAtomically(path, longer).ok && WriteFileAtomically(path, "s").ok &&
               WithFileSizeLimit(4096,
                                 [&] { return !WriteFileAtomically(path, longer).error.empty(); });
    }));
    EXPECT_EQ(CTempDir::Read(path), "s");
}
#else
TEST(AtomicFile, SavesReplaceTheFileOnWindowsAndNeverDamageIt) {
    CTempDir dir;
    // A name outside every ANSI code page reaches the file through the wide
    // functions.
    const std::string path = dir.File("caf\xC3\xA9 \xE2\x82\xAC \xCE\xB1.xml");
    const std::wstring wide = windows_text::Wide(path);
    CTempDir::Write(path, kMail);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const auto files = [&] {
        return std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    };
    // The file that is there is replaced, which rename() refuses on Windows,
    // keeps its attributes, and reads back by its name.
    CSnippetLibrary lib = Library(kMail);
    SetText(*lib.Dom(), lib.FindByItemId(2), "saved");
    ASSERT_TRUE(lib.SaveTo(path).ok);
    CSnippetLibrary again;
    EXPECT_TRUE(again.CreateEngine() && again.Load(path) == CSnippetLibrary::ELoadOutcome::Ok &&
                again.Serialize() == lib.Serialize() && files() == 1 &&
                (GetFileAttributesW(wide.c_str()) & FILE_ATTRIBUTE_HIDDEN));
    // A read-only file is refused, as the system would refuse it; one another
    // program holds open (sharing reads only) cannot be replaced. Either way
    // the file stays byte for byte, and no temporary file is left.
    const std::string saved = CTempDir::Read(path);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_NE(WriteFileAtomically(path, "new").error.find(std::strerror(EACCES)),
              std::string::npos);
    ASSERT_TRUE(SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL));
    const HANDLE held = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const SAtomicWriteResult refused = WriteFileAtomically(path, "new");
    CloseHandle(held);
    EXPECT_TRUE(!refused.ok && !refused.error.empty() && CTempDir::Read(path) == saved &&
                files() == 1)
        << refused.error;
    // Once it is let go, the save goes through.
    EXPECT_TRUE(WriteFileAtomically(path, "new").ok && CTempDir::Read(path) == "new");
}
#endif

TEST(SnippetLibrary, TheTreeAndFindReadAHandWrittenFileAsTheEditorShowsIt) {
    // Comments, a processing instruction, white space, a heading with stray
    // text, a snippet's text in pieces, a header with a character reference.
    CSnippetLibrary lib =
        Library("<?xml version=\"1.0\"?>\n<!-- notes -->\n<level0 header=\"Root\">\n  <level1 "
                "header=\"Caf&#233;\">stray<!-- c --><level2 header=\"In\">a<![CDATA[b]]>c</level2>"
                "<?pi x?></level1>\n  <level1 header=\"Tail\">x<!-- between -->yz</level1>\n"
                "</level0>");
    const auto children = [&](int id) {
        std::string out;
        for (const CSnippetLibrary::SChildItem& c : lib.ChildItems(id))
            out += std::to_string(c.id) + c.header + (c.hasChildren ? "+ " : " ");
        return out;
    };
    EXPECT_EQ(children(0) + "|" + children(1) + "|" + children(2) + "|" + children(9),
              "1Caf\xC3\xA9+ 3Tail |2In ||");
    EXPECT_TRUE(lib.PathTo(2) == (std::vector<int>{0, 1, 2}) && lib.PathTo(0) == std::vector{0} &&
                lib.PathTo(9).empty());

    // Find: the next item after the one given, in document order, round to
    // the root and to the item itself; a heading's stray text is not its
    // text; no match runs from a header into its text or into the next item.
    const std::tuple<int, const char*, int> finds[] = {
        {0, "cafe", 1},   {1, "ABC", 2},      {0, "stray", -1}, {2, "xyz", 3},   {3, "root", 0},
        {3, "tailx", -1}, {2, "abctail", -1}, {2, "in", 2},     {-1, "root", 0}, {-1, "", 1}};
    for (const auto& [after, needle, found] : finds)
        EXPECT_EQ(lib.FindText(after, text_fold::Fold(needle)), found) << after << " " << needle;

    // Find reads the library as changed since: a text typed, an item removed.
    const CXmlNode in = lib.FindByItemId(2), tail = lib.FindByItemId(3);
    EXPECT_EQ(lib.FindText(0, "new words"), -1);
    SetText(*lib.Dom(), in, "New words");
    EXPECT_EQ(lib.FindText(0, "new words"), 2);
    EXPECT_EQ(lib.FindText(0, "xyz"), 3);
    CXmlNode root = lib.Root();
    root.RemoveChild(tail);
    lib.Changed();
    EXPECT_EQ(lib.FindText(0, "xyz"), -1);
    // An id written by hand onto another element does not fool the lookup.
    SetAttribute(*lib.Dom(), in, kItemIdAttr, "1");
    EXPECT_TRUE(lib.IdOf(in) == 2 && lib.IdOf(tail) == -1 && lib.ChildItems(1).size() == 1);
    // Renumbering lists nothing and gives the ids NumberItems gives.
    EXPECT_EQ(lib.Renumber(), 3u);
    EXPECT_TRUE(lib.IdOf(in) == 2 && lib.FindText(0, "new") == 2);
}

TEST(SnippetLibrary, TheNumberingWalkCountsSnippetsTheMenuLeavesOut) {
    // By hand: snippets without a header, empty or missing, some nested; a
    // branch without one hides what it holds; a heading holding only a
    // comment is a snippet.
    CSnippetLibrary lib = Library(
        "<level0 header=\"R\">\n <level1 header=\"A\"><level2>x</level2><level2 header=\"\">y"
        "</level2><level2 header=\" \">blank</level2></level1>\n"
        " <level1><level2>hidden</level2><level2 header=\"H\"><level3/></level2></level1>\n"
        " <level1 header=\"B\"><level2 header=\"C\"><level3>deep</level3></level2></level1>\n"
        " <level1><!-- a comment --></level1>\n</level0>");
    // The markup as the file had it, before the walk numbered it.
    EXPECT_EQ(lib.MissingCaptions().count, 4u);
    EXPECT_EQ(lib.MissingCaptions().firstXml, "<level2>x</level2>");
    EXPECT_EQ(lib.Renumber(), 13u);
    EXPECT_EQ(lib.MissingCaptions().firstXml, "<level2 iid=\"2\">x</level2>");
    // Changed since: counted again, numbering nothing.
    CXmlNode x = lib.FindByItemId(2);
    SetAttribute(*lib.Dom(), x, kHeaderAttr, "X");
    lib.SetNextItemId(99);
    EXPECT_EQ(lib.MissingCaptions().count, 3u);
    EXPECT_EQ(lib.MissingCaptions().firstXml, "<level2 header=\"\" iid=\"3\">y</level2>");
    EXPECT_EQ(lib.NextItemId(), 99);
    EXPECT_EQ(Library("<level0>text</level0>").MissingCaptions().count, 1u);
    EXPECT_EQ(Library("<level0><level1>hidden</level1></level0>").MissingCaptions().count, 0u);
}

TEST(SnippetLibrary, FindAfterTypingSeesEveryChangeAndMissesNothingAfterIt) {
    std::string xml = "<level0 header=\"Root\">";
    for (int i = 1; i <= 100; ++i)
        xml += "<level1 header=\"H" + std::to_string(i) + "\">text " + std::to_string(i) +
               " end</level1>";
    CSnippetLibrary lib = Library(xml + "</level0>");
    ASSERT_EQ(lib.Renumber(), 101u);
    const auto type = [&](int id, const std::string& text) {
        SetText(*lib.DomFor(lib.FindByItemId(id)), lib.FindByItemId(id), text);
    };
    const auto find = [&](int after, const std::string& needle) {
        return lib.FindText(after, text_fold::Fold(needle));
    };
    ASSERT_EQ(find(0, "text 50 end"), 50);

    // Typing, as the editor does between two searches: a text that grows,
    // one that shrinks, the same one twice, a header, the root's header
    // (last in the copy).
    type(10, "Grüße aus Zürich, a much longer text than before");
    type(20, "");
    type(10, "Grüße aus Zürich");
    SetAttribute(*lib.DomFor(lib.FindByItemId(30)), lib.FindByItemId(30), kHeaderAttr, "Café");
    SetAttribute(*lib.DomFor(lib.Root()), lib.Root(), kHeaderAttr, "Root words");
    EXPECT_EQ(find(0, "GRUSSE AUS ZURICH"), 10);
    EXPECT_EQ(find(0, "much longer"), -1);
    EXPECT_EQ(find(0, "text 20 end"), -1);
    EXPECT_EQ(find(0, "cafe"), 30);
    EXPECT_EQ(find(30, "root words"), 0);
    // Every part after a changed one is where it was; none runs into its neighbour.
    for (int id = 11; id <= 100; id += 7)
        EXPECT_EQ(find(0, "text " + std::to_string(id) + " end"), id) << id;
    EXPECT_EQ(find(0, "zurichtext"), -1);

    // Many typed into at once, then one removed after typing into it.
    for (int id = 1; id <= 100; ++id)
        type(id, "t" + std::to_string(id) + "x");
    EXPECT_TRUE(find(0, "t77x") == 77 && find(0, "text 77") == -1 && find(0, "cafe") == 30);
    type(40, "gone soon");
    CXmlNode root = lib.Root();
    root.RemoveChild(lib.FindByItemId(40));
    EXPECT_EQ(find(0, "gone soon"), -1);
    EXPECT_EQ(find(0, "t41x"), 41);
    // A header emptied by typing counts as missing at once.
    SetAttribute(*lib.DomFor(lib.FindByItemId(5)), lib.FindByItemId(5), kHeaderAttr, "");
    EXPECT_EQ(lib.MissingCaptions().count, 1u);
}
