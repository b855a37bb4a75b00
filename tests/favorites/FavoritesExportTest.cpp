// The Favorites export without windows: where the folder is found (a Wine
// prefix's user.reg or ~/Favorites), how shortcuts are read, and the file
// written, byte for byte and as the program loads it.

#include "favorites/FavoritesExporter.h"
#include "favorites/FavoritesFolder.h"
#include "favorites/InternetShortcut.h"
#include "favorites/WineRegistry.h"
#include "support/LoadSource.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using Exported = CFavoritesExporter::Outcome;

namespace {

void Put(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    CTempDir::Write(path.string(), bytes);
}

std::string Shortcut(const std::string& url) {
    return "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=" + url +
           "\r\nIconIndex=0\r\n";
}

// A user.reg as Wine writes it, with the shell folder value and more keys.
std::string UserReg(const std::string& favoritesLine, const std::string& more = {}) {
    return "WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n"
           "#arch=win64\n\n[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\"
           "Shell Folders] 1700000000\n\"Favorites\"=\"C:\\\\wrong\\\\key\"\n\n"
           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell "
           "Folders] 1700000000\n#time=1da0c0ffee00000\n"
           "\"AppData\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Roaming\"\n" +
           favoritesLine + "\n\"Personal\"=str(2):\"%USERPROFILE%\\\\Documents\"\n\n" + more;
}

CFavoritesSources Sources(const std::string& prefix, const std::string& home,
                          std::map<std::string, std::string> env = {}) {
    CFavoritesSources s{prefix, home, "bob", {}};
    s.m_getEnv = [env](const std::string& name) -> std::optional<std::string> {
        if (auto it = env.find(name); it != env.end())
            return it->second;
        return std::nullopt;
    };
    return s;
}

// The file written, after checking the outcome.
std::string Export(const std::string& out, const std::optional<std::string>& folder,
                   Exported expected = Exported::Written) {
    EXPECT_EQ(CFavoritesExporter(out).Run(folder), expected);
    return CTempDir::Read(out);
}

const std::string kNoFolders =
    "<level0 header='Favorites'>\n<level1 header='No Heading'>\n</level1>\n</level0>\n";

} // namespace

TEST(FavoritesFolder, FoundThroughTheWinePrefixElseInTheHome) {
    CTempDir dir;
    const fs::path prefix = dir.Path() / "prefix", home = dir.Path() / "home";
    const fs::path users = prefix / "drive_c" / "users", drive = prefix / "dosdevices" / "d:";
    const fs::path dotWine = home / ".wine", data = dir.Path() / "data";
    for (const fs::path& folder : {users / "bob" / "Favorites", home / "Favorites",
                                   dotWine / "drive_c" / "users" / "bob" / "Links",
                                   data / "Lesezeichen" / "Gemerkt\xC3\xB6", prefix / "dosdevices"})
        fs::create_directories(folder);
    fs::create_directory_symlink(data, drive);
    // The shell's buffers hold 259 characters and the ending zero, read or expanded.
    const std::string base = "C:\\\\users\\\\bob\\\\"; // C:\users\bob\, 13 characters
    const std::string x246(259 - 13, 'x'), x247(260 - 13, 'x');
    Put(dotWine / "user.reg", UserReg("\"FAVORITES\"=\"c:\\\\USERS\\\\Bob\\\\links\""));
    const std::tuple<std::string, std::string, std::optional<fs::path>> cases[] = {
        // REG_EXPAND_SZ with the profile variable; the "Shell Folders" look-alike is not used.
        {"\"Favorites\"=str(2):\"%USERPROFILE%\\\\Favorites\"", "", users / "bob" / "Favorites"},
        // Another drive through dosdevices, a \x escape for a non-ASCII letter,
        // a variable of the prefix's Environment key that refers to another.
        {"\"Favorites\"=str(2):\"%MARKS%\\\\Gemerkt\\xf6\"",
         "\"Marks\"=str(2):\"%DATA%\\\\Lesezeichen\"\n", drive / "Lesezeichen" / "Gemerkt\xC3\xB6"},
        // UTF-16 bytes (hex(2)), continued over two lines.
        {"\"Favorites\"=hex(2):44,00,3a,00,5c,00,4c,00,65,00,73,00,65,00,7a,00,65,00,\\\n"
         "  69,00,63,00,68,00,65,00,6e,00,00,00",
         "", drive / "Lesezeichen"},
        // Without the value, or on a drive the prefix lacks: ~/Favorites.
        {"", "", home / "Favorites"},
        {"\"Favorites\"=\"Q:\\\\Favorites\"", "", home / "Favorites"},
        {"\"Favorites\"=\"" + base + x246 + "\"", "", users / "bob" / x246},
        {"\"Favorites\"=\"" + base + x247 + "\"", "", std::nullopt},
        {"\"Favorites\"=\"%LONG%\"", "\"Long\"=\"" + base + std::string(300, 'y') + "\"\n",
         std::nullopt},
    };
    for (const auto& [favorites, environment, found] : cases) {
        Put(prefix / "user.reg", UserReg(favorites, "[Environment] 1700000000\n" + environment));
        EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix, home, {{"DATA", "D:"}})),
                  found ? std::optional(found->string()) : std::nullopt)
            << favorites.substr(0, 60);
    }
    // Without $WINEPREFIX the prefix is ~/.wine; names match ignoring case.
    EXPECT_EQ(CFavoritesFolder::Locate(Sources("", home)),
              (dotWine / "drive_c" / "users" / "bob" / "Links").string());
    // Neither: not found.
    fs::remove(home / "Favorites");
    Put(prefix / "user.reg", UserReg(""));
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix, home)), std::nullopt);
    EXPECT_EQ(CFavoritesFolder::Locate(Sources((dir.Path() / "none").string(), "")), std::nullopt);

    const auto lookup = [](const std::string& name) -> std::optional<std::string> {
        return CWineRegistryFile::SameName(name, "A") ? std::optional<std::string>("x")
                                                      : std::nullopt;
    };
    // References expand as Windows does: unknown names stay, and their closing mark may open a
    // known one.
    EXPECT_EQ(CFavoritesFolder::ExpandReferences("%a%\\%A%%a% %none%a% 100% %%", lookup),
              "x\\xx %nonex 100% %%");
}

TEST(FavoritesFolder, LongPathsMapInLinearTime) {
    auto dir = std::make_shared<CTempDir>(); // kept by the work should it never end
    fs::create_directories(dir->Path() / "drive_c" / "users");
    EXPECT_TRUE(FinishesWithin(std::chrono::seconds(60), [dir] {
        std::string windows = "C:\\users", unix = (dir->Path() / "drive_c" / "users").string();
        while (windows.size() < 1'000'000) {
            windows += "\\ab\\cd\\..";
            unix += "/ab";
        }
        EXPECT_EQ(CFavoritesFolder::MapWindowsPath(dir->Path().string(), windows), unix);
    }));
}

TEST(InternetShortcut, ReadAsTheProfileReaderDoes) {
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[InternetShortcut]\r\nURL=h:\xE9"))
        utf16 += {c, '\0'};
    const std::string longUrl = "http://e.example/" + std::string(3000, 'a');
    const std::string accents = "http://f.example/" + std::string(2029, 'b') + "\xC3\xA9\xC3\xA9";
    const std::pair<std::string, std::string> cases[] = {
        {Shortcut("http://a.example/"), "http://a.example/"},
        // Names ignore case, blanks and one pair of quotes go, LF or CR endings.
        {"[internetshortcut]\n  url =  \"http://b.example/ x\"  \n", "http://b.example/ x"},
        {"[InternetShortcut]\rURL='http://c.example/'\r", "http://c.example/"},
        // The first section and the first key count.
        {"[InternetShortcut]\nURL=first\nURL=second\n[InternetShortcut]\nURL=third\n", "first"},
        {"[InternetShortcut]\nIconFile=x\n[Other]\nURL=elsewhere\n", ""},
        {"URL=outside\n", ""},
        // Byte-order marks and code pages.
        {"\xEF\xBB\xBF[InternetShortcut]\nURL=http://d.example/\xC3\xA9\n",
         "http://d.example/\xC3\xA9"},
        {utf16, "h:\xC3\xA9"},
        {"[InternetShortcut]\nURL=caf\xE9\n", "caf\xC3\xA9"},
        // Cut at 2047 characters, never inside a character.
        {Shortcut(longUrl), longUrl.substr(0, 2047)},
        {Shortcut(accents), accents.substr(0, 2048)},
    };
    for (const auto& [text, url] : cases)
        EXPECT_EQ(CInternetShortcut::UrlFromText(text), url) << text.substr(0, 60);
    EXPECT_EQ(CInternetShortcut::ReadUrl("/nonexistent/x.url"), "");
}

TEST(FavoritesExport, WritesEveryFolderAndLinkInOrder) {
    CTempDir dir;
    const fs::path fav = dir.Path() / "Favorites";
    Put(fav / "Alpha.url", Shortcut("http://alpha.example/?a=1&b=<2>"));
    Put(fav / "Bob's Page.url", "[InternetShortcut]\nURL=http://bob.example/\n");
    Put(fav / "\xC3\x9C"
              "ber Caf\xC3\xA9.url",
        Shortcut("http://umlaut.example/"));
    Put(fav / "Quote \"q\" <tag> & more.url", Shortcut("http://quote.example/"));
    Put(fav / "Tricky.url", Shortcut("http://tricky.example/a]]>b"));
    Put(fav / "Empty.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    for (const char* skipped : {"Caps.URL", ".hidden.url", "notes.txt"})
        Put(fav / skipped, Shortcut("http://skipped.example/"));
    Put(fav / ".Private" / "Secret.url", Shortcut("http://secret.example/"));
    Put(fav / "Work" / "Intranet.url", Shortcut("http://intranet.example/"));
    Put(fav / "Work" / "Tools" / "Wiki.url", Shortcut("http://wiki.example/"));
    fs::create_directories(fav / "Zeta");
    fs::create_directories(fav / "Work" / "folder.url"); // a folder, not a link
    // A link back up the tree is not followed round and round.
    fs::create_directory_symlink(fav, fav / "Work" / "Tools" / "Up");

    const std::string out = dir.File("out.xml");
    const std::string text = Export(out, fav.string());
    EXPECT_EQ(
        text,
        "<level0 header='Favorites'>\n<level1 header='No Heading'>\n"
        "<level2 header='Alpha'><![CDATA[http://alpha.example/?a=1&b=<2>]]></level2>\n"
        "<level2 header='Bob&apos;s Page'><![CDATA[http://bob.example/]]></level2>\n"
        "<level2 header='Empty'><![CDATA[]]></level2>\n"
        "<level2 header='Quote \"q\" &lt;tag&gt; &amp; more'>"
        "<![CDATA[http://quote.example/]]></level2>\n"
        "<level2 header='Tricky'><![CDATA[http://tricky.example/a]]]]><![CDATA[>b]]></level2>\n"
        "<level2 header='\xC3\x9C"
        "ber Caf\xC3\xA9'><![CDATA[http://umlaut.example/]]></level2>\n"
        "</level1>\n<level1 header='.Private'>\n"
        "<level2 header='Secret'><![CDATA[http://secret.example/]]></level2>\n"
        "</level1>\n<level1 header='Work'>\n"
        "<level2 header='Intranet'><![CDATA[http://intranet.example/]]></level2>\n"
        "</level1>\n<level1 header='folder.url'>\n</level1>\n<level1 header='Tools'>\n"
        "<level2 header='Wiki'><![CDATA[http://wiki.example/]]></level2>\n"
        "</level1>\n<level1 header='Zeta'>\n</level1>\n</level0>\n");
    // The program loads it; the split CDATA gives the URL back whole.
    CSnippetLibrary lib = Library(text);
    EXPECT_EQ(lib.FindByItemId(6).Text(), "http://tricky.example/a]]>b");
    EXPECT_EQ(*lib.FindByItemId(5).GetNamedItem("header"), "Quote \"q\" <tag> & more");

    // Labels are written whole, as attribute normalisation would not keep
    // them, and as UTF-8 when the file system holds another encoding.
    EXPECT_EQ(CFavoritesExporter::AttributeText("R&D 'Lab' <1> \"x\"\t\n\r\x01 Caf\xE9"),
              "R&amp;D &apos;Lab&apos; &lt;1&gt; \"x\"&#9;&#10;&#13;\xEF\xBF\xBD Caf\xC3\xA9");
    EXPECT_EQ(CFavoritesExporter::CDataText("a]]>]]>x]]y]>z"),
              "a]]]]><![CDATA[>]]]]><![CDATA[>x]]y]>z");
}

TEST(FavoritesExport, FailuresLeaveTheFileAsTheMessageSays) {
    CTempDir dir;
    const std::string out = dir.File("out.xml");
    const fs::path fav = dir.Path() / "Favorites";
    // No file can be made: nothing written.
    EXPECT_EQ(CFavoritesExporter((dir.Path() / "missing" / "out.xml").string()).Run(fav.string()),
              Exported::CannotOpenFile);
    EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
    EXPECT_EQ(CFavoritesExporter("").Run(fav.string()), Exported::CannotOpenFile);
    // No Favorites folder: an empty file, replacing what was there.
    CTempDir::Write(out, "old content");
    EXPECT_EQ(Export(out, std::nullopt, Exported::FolderNotFound), "");
    // A folder that does not exist exports nothing under its first heading.
    EXPECT_EQ(Export(out, (dir.Path() / "gone").string()), kNoFolders);
    const std::pair<Exported, const char*> messages[] = {
        {Exported::CannotOpenFile, "Could not open XML file"},
        {Exported::FolderNotFound, "Favorites folder not found\n"},
        {Exported::CannotWriteFile, "Could not write XML file"},
        {Exported::Written, ""}};
    for (const auto& [outcome, message] : messages)
        EXPECT_EQ(CFavoritesExporter::Message(outcome), message);

    // A folder that cannot be listed still has its heading closed.
    Put(fav / "Locked" / "In.url", Shortcut("http://in.example/"));
    fs::permissions(fav / "Locked", fs::perms::none);
    if (geteuid() != 0) { // the super-user lists it anyway
        EXPECT_EQ(Export(out, fav.string()), "<level0 header='Favorites'>\n<level1 header='No "
                                             "Heading'>\n</level1>\n<level1 header='Locked'>\n"
                                             "</level1>\n</level0>\n");
    }

    // A write that fails on the way (here a file-size limit) is not success.
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = limit;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const Exported outcome = CFavoritesExporter(out).Run(fav.string());
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcome, Exported::CannotWriteFile);
}

TEST(FavoritesExport, HugeShortcutsFifosAndDiamondsOfLinksStayBounded) {
    auto dir = std::make_shared<CTempDir>(); // kept by the work should it never end
    const fs::path fav = dir->Path() / "Favorites", prefix = dir->Path() / "prefix";
    // A shortcut larger than memory: only its start is read.
    Put(fav / "Big.url", Shortcut("http://big.example/"));
    fs::resize_file(fav / "Big.url", std::uintmax_t(64) << 30);
    // Two links at each level to the same folder below: each real folder is
    // exported once, under its first link, not 2^levels times.
    fs::path at = fav;
    for (int i = 1; i <= 12; ++i) {
        const fs::path real = dir->Path() / ("d" + std::to_string(i));
        fs::create_directories(real);
        fs::create_directory_symlink(real, at / "a");
        fs::create_directory_symlink(real, at / "b");
        at = real;
    }
    // FIFOs where files are expected are refused at once, without blocking.
    fs::create_directories(prefix);
    for (const fs::path& fifo : {fav / "Stall.url", prefix / "user.reg", dir->Path() / "out.xml"})
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(FinishesWithin(std::chrono::seconds(30), [dir, fav, prefix] {
        EXPECT_EQ(CInternetShortcut::ReadUrl((fav / "Stall.url").string()), "");
        EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix, dir->Path())), fav.string());
        for (const std::string out : {dir->File("out.xml"), std::string("/dev/null")})
            EXPECT_EQ(CFavoritesExporter(out).Run(fav.string()), Exported::CannotOpenFile) << out;
        const std::string text = Export(dir->File("real.xml"), fav.string());
        EXPECT_NE(text.find("<level2 header='Big'><![CDATA[http://big.example/]]></level2>\n"),
                  std::string::npos);
        std::size_t headings = 0;
        for (std::size_t at = text.find("<level1 header='a'>"); at != std::string::npos;
             at = text.find("<level1 header='a'>", at + 1))
            ++headings;
        EXPECT_EQ(headings, 12u);
        EXPECT_EQ(text.find("<level1 header='b'>"), std::string::npos);
    }));
}
