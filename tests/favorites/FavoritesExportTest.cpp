// The Favorites export without windows: where the folder is found (a Wine
// prefix's user.reg or ~/Favorites), how shortcuts are read, and the file
// written, byte for byte and as the program loads it.

#include "favorites/FavoritesExporter.h"
#include "favorites/FavoritesFolder.h"
#include "favorites/InternetShortcut.h"
#include "favorites/WineRegistry.h"
#include "library/SnippetLibrary.h"
#include "support/TempDir.h"
#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void Put(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    CTempDir::Write(path.string(), bytes);
}

std::string Shortcut(const std::string& url) {
    return "[DEFAULT]\r\nBASEURL=http://base.example/\r\n[InternetShortcut]\r\nURL=" + url +
           "\r\nIconIndex=0\r\n";
}

// A user.reg as Wine writes it, with the shell folder value given.
std::string UserReg(const std::string& favoritesLine, const std::string& more = {}) {
    return "WINE REGISTRY Version 2\n"
           ";; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n\n#arch=win64\n\n"
           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] "
           "1700000000\n"
           "\"Favorites\"=\"C:\\\\wrong\\\\key\"\n\n"
           "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell "
           "Folders] 1700000000\n#time=1da0c0ffee00000\n"
           "\"AppData\"=str(2):\"%USERPROFILE%\\\\AppData\\\\Roaming\"\n" +
           favoritesLine + "\n\"Personal\"=str(2):\"%USERPROFILE%\\\\Documents\"\n\n" + more;
}

CFavoritesSources Sources(const std::string& prefix, const std::string& home,
                          std::map<std::string, std::string> env = {}) {
    CFavoritesSources s;
    s.m_strWinePrefix = prefix;
    s.m_strHome = home;
    s.m_strUser = "bob";
    s.m_getEnv = [env](const std::string& name) -> std::optional<std::string> {
        if (auto it = env.find(name); it != env.end())
            return it->second;
        return std::nullopt;
    };
    return s;
}

std::string Export(const std::string& out, const std::optional<std::string>& folder,
                   CFavoritesExporter::Outcome expected = CFavoritesExporter::Outcome::Written) {
    CFavoritesExporter exporter(out);
    EXPECT_EQ(exporter.Run(folder), expected);
    return CTempDir::Read(out);
}

} // namespace

TEST(FavoritesFolder, FoundThroughTheWinePrefixElseInTheHome) {
    CTempDir dir;
    const fs::path prefix = dir.Path() / "prefix";
    const fs::path home = dir.Path() / "home";
    const fs::path wineFavorites = prefix / "drive_c" / "users" / "bob" / "Favorites";
    fs::create_directories(wineFavorites);
    fs::create_directories(home / "Favorites");

    // The value as Wine keeps it: REG_EXPAND_SZ, escaped backslashes, the
    // profile variable; the look-alike of the "Shell Folders" key is not used.
    Put(prefix / "user.reg", UserReg("\"Favorites\"=str(2):\"%USERPROFILE%\\\\Favorites\""));
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string())),
              wineFavorites.string());

    // Without $WINEPREFIX the prefix is ~/.wine; names match ignoring case.
    const fs::path dotWine = home / ".wine";
    fs::create_directories(dotWine / "drive_c" / "users" / "bob" / "Links");
    Put(dotWine / "user.reg", UserReg("\"FAVORITES\"=\"c:\\\\USERS\\\\Bob\\\\links\""));
    EXPECT_EQ(CFavoritesFolder::Locate(Sources("", home.string())),
              (dotWine / "drive_c" / "users" / "bob" / "Links").string());

    // Another drive through dosdevices, a \x escape for a non-ASCII letter, a
    // variable of the prefix's Environment key that refers to another.
    const fs::path data = dir.Path() / "data";
    fs::create_directories(data / "Lesezeichen" / "Gemerkt\xC3\xB6");
    fs::create_directories(prefix / "dosdevices");
    fs::create_directory_symlink(data, prefix / "dosdevices" / "d:");
    Put(prefix / "user.reg",
        UserReg("\"Favorites\"=str(2):\"%MARKS%\\\\Gemerkt\\xf6\"",
                "[Environment] 1700000000\n\"Marks\"=str(2):\"%DATA%\\\\Lesezeichen\"\n"));
    const fs::path drive = prefix / "dosdevices" / "d:";
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string(), {{"DATA", "D:"}})),
              (drive / "Lesezeichen" / "Gemerkt\xC3\xB6").string());

    // A value stored as UTF-16 bytes (hex(2)), continued over two lines.
    Put(prefix / "user.reg",
        UserReg("\"Favorites\"=hex(2):44,00,3a,00,5c,00,4c,00,65,00,73,00,65,00,7a,00,65,00,\\\n"
                "  69,00,63,00,68,00,65,00,6e,00,00,00"));
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string())),
              (drive / "Lesezeichen").string());

    // A prefix without the value, or a drive it does not have: ~/Favorites.
    Put(prefix / "user.reg", UserReg(""));
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string())),
              (home / "Favorites").string());
    Put(prefix / "user.reg", UserReg("\"Favorites\"=\"Q:\\\\Favorites\""));
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string())),
              (home / "Favorites").string());

    // Neither: not found.
    fs::remove(home / "Favorites");
    EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string())), std::nullopt);
    EXPECT_EQ(CFavoritesFolder::Locate(Sources((dir.Path() / "none").string(), "")), std::nullopt);
}

TEST(FavoritesFolder, ValuesBeyondThe260ByteBuffersAreNotFound) {
    CTempDir dir;
    const fs::path prefix = dir.Path() / "prefix";
    const fs::path home = dir.Path() / "home";
    fs::create_directories(prefix / "drive_c" / "users" / "bob");
    fs::create_directories(home / "Favorites");
    const std::string base = "C:\\\\users\\\\bob\\\\"; // C:\users\bob\, 13 characters
    const std::string unixBase = (prefix / "drive_c" / "users" / "bob").string() + "/";
    // The value and its expansion each fit 259 characters and the ending zero.
    struct Case {
        std::string value, environment;
        std::optional<std::string> found;
    };
    const Case cases[] = {
        {base + std::string(259 - 13, 'x'), "", unixBase + std::string(259 - 13, 'x')},
        {base + std::string(260 - 13, 'x'), "", std::nullopt},
        {"%LONG%", "\"Long\"=\"" + base + std::string(300, 'y') + "\"\n", std::nullopt},
    };
    for (const Case& c : cases) {
        Put(prefix / "user.reg", UserReg("\"Favorites\"=\"" + c.value + "\"",
                                         "[Environment] 1700000000\n" + c.environment));
        EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), home.string())), c.found)
            << c.value;
    }
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

TEST(FavoritesFolder, ReferencesExpandAsWindowsDoes) {
    const auto lookup = [](const std::string& name) -> std::optional<std::string> {
        if (CWineRegistryFile::SameName(name, "A"))
            return std::string("x");
        return std::nullopt;
    };
    EXPECT_EQ(CFavoritesFolder::ExpandReferences("%a%\\%A%%a%", lookup), "x\\xx");
    // Unknown names stay; their closing mark may open a known one.
    EXPECT_EQ(CFavoritesFolder::ExpandReferences("%none%a%", lookup), "%nonex");
    EXPECT_EQ(CFavoritesFolder::ExpandReferences("100% sure %%", lookup), "100% sure %%");
}

TEST(InternetShortcut, ReadAsTheProfileReaderDoes) {
    using S = CInternetShortcut;
    EXPECT_EQ(S::UrlFromText(Shortcut("http://a.example/")), "http://a.example/");
    // Names ignore case, blanks and one pair of quotes go, LF or CR endings.
    EXPECT_EQ(S::UrlFromText("[internetshortcut]\n  url =  \"http://b.example/ x\"  \n"),
              "http://b.example/ x");
    EXPECT_EQ(S::UrlFromText("[InternetShortcut]\rURL='http://c.example/'\r"), "http://c.example/");
    // The first section and the first key count.
    EXPECT_EQ(S::UrlFromText("[InternetShortcut]\nURL=first\nURL=second\n[InternetShortcut]\n"
                             "URL=third\n"),
              "first");
    EXPECT_EQ(S::UrlFromText("[InternetShortcut]\nIconFile=x\n[Other]\nURL=elsewhere\n"), "");
    EXPECT_EQ(S::UrlFromText("URL=outside\n"), "");
    // Byte-order marks and code pages.
    EXPECT_EQ(S::UrlFromText("\xEF\xBB\xBF[InternetShortcut]\nURL=http://d.example/\xC3\xA9\n"),
              "http://d.example/\xC3\xA9");
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("[InternetShortcut]\r\nURL=h:\xE9"))
        utf16 += {c, '\0'};
    EXPECT_EQ(S::UrlFromText(utf16), "h:\xC3\xA9");
    EXPECT_EQ(S::UrlFromText("[InternetShortcut]\nURL=caf\xE9\n"), "caf\xC3\xA9");
    // Cut at 2047 characters, never inside a character.
    const std::string longUrl = "http://e.example/" + std::string(3000, 'a');
    EXPECT_EQ(S::UrlFromText(Shortcut(longUrl)), longUrl.substr(0, 2047));
    const std::string accents = "http://f.example/" + std::string(2029, 'b') + "\xC3\xA9\xC3\xA9";
    EXPECT_EQ(S::UrlFromText(Shortcut(accents)), accents.substr(0, 2048));
    EXPECT_EQ(S::ReadUrl("/nonexistent/x.url"), "");
}

TEST(FavoritesExport, WritesEveryFolderAndLinkInOrder) {
    CTempDir dir;
    const fs::path fav = dir.Path() / "Favorites";
    const std::string longUrl = "http://long.example/" + std::string(2100, 'z');
    Put(fav / "Alpha.url", Shortcut("http://alpha.example/?a=1&b=<2>"));
    Put(fav / "News, Weather.url", Shortcut("https://news.example/"));
    Put(fav / "Bob's Page.url", "[InternetShortcut]\nURL=http://bob.example/\n");
    Put(fav / "\xC3\x9C"
              "ber uns \xE2\x80\x93 Caf\xC3\xA9.url",
        Shortcut("http://umlaut.example/"));
    Put(fav / "Quote \"q\" <tag> & more.url", Shortcut("http://quote.example/"));
    Put(fav / "Tricky.url", Shortcut("http://tricky.example/a]]>b"));
    Put(fav / "Empty.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    Put(fav / "Long.url", Shortcut(longUrl));
    Put(fav / "Caps.URL", Shortcut("http://caps.example/"));
    Put(fav / ".hidden.url", Shortcut("http://hidden.example/"));
    Put(fav / "notes.txt", "not a shortcut");
    Put(fav / "Work" / "Intranet.url", Shortcut("http://intranet.example/"));
    Put(fav / "Work" / "Tools" / "Wiki.url", Shortcut("http://wiki.example/"));
    Put(fav / ".Private" / "Secret.url", Shortcut("http://secret.example/"));
    fs::create_directories(fav / "Zeta");
    fs::create_directories(fav / "Work" / "folder.url"); // a folder, not a link
    // A link back up the tree is not followed round and round.
    fs::create_directory_symlink(fav, fav / "Work" / "Tools" / "Up");

    const std::string out = dir.File("out.xml");
    const std::string expected =
        "<level0 header='Favorites'>\n"
        "<level1 header='No Heading'>\n"
        "<level2 header='Alpha'><![CDATA[http://alpha.example/?a=1&b=<2>]]></level2>\n"
        "<level2 header='Bob&apos;s Page'><![CDATA[http://bob.example/]]></level2>\n"
        "<level2 header='Empty'><![CDATA[]]></level2>\n"
        "<level2 header='Long'><![CDATA[" +
        longUrl.substr(0, 2047) +
        "]]></level2>\n"
        "<level2 header='News, Weather'><![CDATA[https://news.example/]]></level2>\n"
        "<level2 header='Quote \"q\" &lt;tag&gt; &amp; more'>"
        "<![CDATA[http://quote.example/]]></level2>\n"
        "<level2 header='Tricky'><![CDATA[http://tricky.example/a]]]]><![CDATA[>b]]></level2>\n"
        "<level2 header='\xC3\x9C"
        "ber uns \xE2\x80\x93 Caf\xC3\xA9'>"
        "<![CDATA[http://umlaut.example/]]></level2>\n"
        "</level1>\n"
        "<level1 header='.Private'>\n"
        "<level2 header='Secret'><![CDATA[http://secret.example/]]></level2>\n"
        "</level1>\n"
        "<level1 header='Work'>\n"
        "<level2 header='Intranet'><![CDATA[http://intranet.example/]]></level2>\n"
        "</level1>\n"
        "<level1 header='folder.url'>\n"
        "</level1>\n"
        "<level1 header='Tools'>\n"
        "<level2 header='Wiki'><![CDATA[http://wiki.example/]]></level2>\n"
        "</level1>\n"
        "<level1 header='Zeta'>\n"
        "</level1>\n"
        "</level0>\n";
    EXPECT_EQ(Export(out, fav.string()), expected);

    // The program loads it, every element with a header that is the name
    // itself, and the split CDATA gives the URL back whole.
    CSnippetLibrary lib;
    ASSERT_TRUE(lib.CreateEngine());
    ASSERT_EQ(lib.Load(out), CSnippetLibrary::LoadOutcome::Ok);
    lib.EnsureRoot();
    std::vector<std::string> headers;
    for (const CSnippetLibrary::Item& item : lib.NumberItems()) {
        EXPECT_FALSE(item.header.empty()) << "item " << item.id;
        headers.push_back(item.header);
    }
    EXPECT_EQ(headers, (std::vector<std::string>{"Favorites", "No Heading", "Alpha", "Bob's Page",
                                                 "Empty", "Long", "News, Weather",
                                                 "Quote \"q\" <tag> & more", "Tricky",
                                                 "\xC3\x9C"
                                                 "ber uns \xE2\x80\x93 Caf\xC3\xA9",
                                                 ".Private", "Secret", "Work", "Intranet",
                                                 "folder.url", "Tools", "Wiki", "Zeta"}));
    EXPECT_EQ(lib.FindByItemId(8).Text(), "http://tricky.example/a]]>b");
    EXPECT_EQ(lib.FindByItemId(2).Text(), "http://alpha.example/?a=1&b=<2>");

    // An empty folder: exactly four lines.
    fs::create_directories(dir.Path() / "Empty");
    EXPECT_EQ(Export(out, (dir.Path() / "Empty").string()),
              "<level0 header='Favorites'>\n<level1 header='No Heading'>\n</level1>\n</level0>\n");
}

TEST(FavoritesExport, LabelsAreWrittenWholeAndEscaped) {
    using E = CFavoritesExporter;
    EXPECT_EQ(E::AttributeText("R&D 'Lab' <1> \"x\""), "R&amp;D &apos;Lab&apos; &lt;1&gt; \"x\"");
    // Characters attribute normalisation would turn into spaces, and ones XML cannot hold.
    EXPECT_EQ(E::AttributeText("a\tb\nc\rd\x01"), "a&#9;b&#10;c&#13;d\xEF\xBF\xBD");
    // A name in another encoding than UTF-8 is read as Windows-1252.
    EXPECT_EQ(E::AttributeText("Caf\xE9"), "Caf\xC3\xA9");
    EXPECT_EQ(E::CDataText("a]]>b]]>]]>"), "a]]]]><![CDATA[>b]]]]><![CDATA[>]]]]><![CDATA[>");
    EXPECT_EQ(E::CDataText("x]]y]>z"), "x]]y]>z");
}

TEST(FavoritesExport, FailuresLeaveTheFileAsTheMessageSays) {
    CTempDir dir;
    // No file can be made: nothing written, the message.
    CFavoritesExporter noFile((dir.Path() / "missing" / "out.xml").string());
    EXPECT_EQ(noFile.Run(dir.Path().string()), CFavoritesExporter::Outcome::CannotOpenFile);
    EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
    EXPECT_EQ(CFavoritesExporter::Message(CFavoritesExporter::Outcome::CannotOpenFile),
              "Could not open XML file");
    CFavoritesExporter noPath("");
    EXPECT_EQ(noPath.Run(dir.Path().string()), CFavoritesExporter::Outcome::CannotOpenFile);

    // No Favorites folder: an empty file, replacing what was there.
    const std::string out = dir.File("out.xml");
    CTempDir::Write(out, "old content");
    EXPECT_EQ(Export(out, std::nullopt, CFavoritesExporter::Outcome::FolderNotFound), "");
    EXPECT_EQ(CFavoritesExporter::Message(CFavoritesExporter::Outcome::FolderNotFound),
              "Favorites folder not found\n");
    EXPECT_EQ(CFavoritesExporter::Message(CFavoritesExporter::Outcome::Written), "");

    // A folder that cannot be listed still has its heading closed.
    const fs::path fav = dir.Path() / "Favorites";
    Put(fav / "Locked" / "In.url", Shortcut("http://in.example/"));
    fs::permissions(fav / "Locked", fs::perms::none);
    if (geteuid() != 0) { // the super-user lists it anyway
        EXPECT_EQ(Export(out, fav.string()),
                  "<level0 header='Favorites'>\n<level1 header='No Heading'>\n</level1>\n"
                  "<level1 header='Locked'>\n</level1>\n</level0>\n");
    }

    // A write that fails on the way (here a file-size limit) is not success.
    struct rlimit limit {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = limit;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    CFavoritesExporter full(out);
    const CFavoritesExporter::Outcome outcome = full.Run(fav.string());
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(outcome, CFavoritesExporter::Outcome::CannotWriteFile);
    EXPECT_EQ(CFavoritesExporter::Message(outcome), "Could not write XML file");

    // A folder that does not exist exports nothing under its first heading.
    EXPECT_EQ(Export(out, (dir.Path() / "gone").string()),
              "<level0 header='Favorites'>\n<level1 header='No Heading'>\n</level1>\n</level0>\n");
}

TEST(FavoritesExport, HugeShortcutsAndDiamondsOfLinksStayBounded) {
    CTempDir dir;
    const fs::path fav = dir.Path() / "Favorites";
    // A shortcut larger than memory: only its start is read.
    Put(fav / "Big.url", Shortcut("http://big.example/"));
    fs::resize_file(fav / "Big.url", std::uintmax_t(64) << 30);
    // Two links at each level to the same folder below: each real folder is
    // exported once, under its first link, not 2^levels times.
    const int levels = 12;
    fs::path at = fav;
    for (int i = 1; i <= levels; ++i) {
        const fs::path real = dir.Path() / ("d" + std::to_string(i));
        fs::create_directories(real);
        fs::create_directory_symlink(real, at / "a");
        fs::create_directory_symlink(real, at / "b");
        at = real;
    }
    const std::string text = Export(dir.File("out.xml"), fav.string());
    EXPECT_NE(text.find("<level2 header='Big'><![CDATA[http://big.example/]]></level2>\n"),
              std::string::npos);
    int headings = 0;
    for (std::size_t pos = 0; (pos = text.find("<level1 header='a'>", pos)) != std::string::npos;
         ++pos)
        ++headings;
    EXPECT_EQ(headings, levels);
    EXPECT_EQ(text.find("<level1 header='b'>"), std::string::npos);
}

TEST(FavoritesExport, FifosAndDevicesInPlaceOfFilesAreRefusedAtOnce) {
    auto dir = std::make_shared<CTempDir>(); // kept by the work should it never end
    const fs::path fav = dir->Path() / "Favorites";
    const fs::path prefix = dir->Path() / "prefix";
    fs::create_directories(fav);
    fs::create_directories(prefix);
    for (const fs::path& fifo : {fav / "Stall.url", prefix / "user.reg", dir->Path() / "out.xml"})
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(FinishesWithin(std::chrono::seconds(30), [dir, fav, prefix] {
        EXPECT_EQ(CInternetShortcut::ReadUrl((fav / "Stall.url").string()), "");
        EXPECT_EQ(CFavoritesFolder::Locate(Sources(prefix.string(), dir->Path().string())),
                  fav.string());
        for (const std::string out : {dir->File("out.xml"), std::string("/dev/null")}) {
            CFavoritesExporter exporter(out);
            EXPECT_EQ(exporter.Run(fav.string()), CFavoritesExporter::Outcome::CannotOpenFile)
                << out;
        }
    }));
}
