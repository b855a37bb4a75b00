// The Favorites export without windows: where the folder is found (a Wine
// prefix's user.reg or ~/Favorites), how shortcuts are read, and the file
// written, byte for byte and as the program loads it.

#include "favorites/FavoritesExporter.h"
#include "favorites/FavoritesFolder.h"
#include "favorites/InternetShortcut.h"
#include "favorites/WineRegistry.h"
#include "support/Loaded.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;
using Exported = CFavoritesExporter::EOutcome;

static std::string Shortcut(const std::string& url) {
    return "[DEFAULT]\r\nBASEURL=http://base/\r\n[InternetShortcut]\r\nURL=" + url +
           "\r\nIconIndex=0\r\n";
}

#ifndef _WIN32
// A user.reg as Wine writes it: the shell folder value in its key beside a
// look-alike key, and an Environment key.
static std::string UserReg(const std::string& favorites, const std::string& environment = {}) {
    const std::string key = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\";
    return "WINE REGISTRY Version 2\n;; All keys relative to "
           "\\\\User\\\\S-1-5-21-0\n#arch=win64\n" +
           key + "Shell Folders] 1\n\"Favorites\"=\"C:\\\\wrong\"\n" + key +
           "User Shell Folders] 1\n#time=1\n\"AppData\"=\"C:\\\\A\"\n" + favorites +
           "\n\"Personal\"=\"C:\\\\D\"\n[Environment] 1\n" + environment;
}
#endif

// The process environment: DATA is "D:".
static std::optional<std::string> Env(const std::string& name) {
    return name == "DATA" ? std::optional<std::string>("D:") : std::nullopt;
}

#ifndef _WIN32
// The folder found, relative to base; "-" when there is none.
static std::string Located(const std::string& prefix, const fs::path& home, const fs::path& base) {
    const auto found = CFavoritesFolder::Locate({prefix, home.string(), "bob", Env});
    return found ? found->substr(base.string().size()) : "-";
}
#endif

// The file written, after checking the outcome.
static std::string Export(const std::string& out, const std::optional<std::string>& folder,
                          Exported expected = Exported::Written) {
    EXPECT_EQ(CFavoritesExporter(out).Run(folder), expected);
    return CTempDir::Read(out);
}

static const std::string kOpen = "<level0 header='Favorites'>\n<level1 header='No Heading'>\n";

TEST(FavoritesExport, TheFolderFoundAndShortcutsReadAsWindowsDoes) {
#ifndef _WIN32 // a Wine prefix, seen from the system it runs on
    CTempDir dir;
    const fs::path prefix = dir.Path() / "prefix", home = dir.Path() / "home",
                   dotWine = home / ".wine";
    for (const fs::path& folder :
         {prefix / "drive_c/users/bob/Favorites", home / "Favorites", prefix / "dosdevices",
          dotWine / "drive_c/users/bob/Links", dir.Path() / "data/Marks/G\xC3\xB6"})
        fs::create_directories(folder);
    fs::create_directory_symlink(dir.Path() / "data", prefix / "dosdevices/d:");
    CTempDir::Write(dotWine / "user.reg", UserReg("\"FAVORITES\"=\"c:\\\\USERS\\\\Bob\\\\links\""));
    // The value as Wine keeps it: REG_EXPAND_SZ with the profile variable;
    // another drive through dosdevices, a \x escape for a non-ASCII letter, a
    // variable of the prefix's Environment key that refers to one of the
    // process; UTF-16 bytes (hex(2)) over two lines. Without the value, or on
    // a drive the prefix lacks: ~/Favorites. The shell's buffers hold 259
    // characters and the ending zero, read or expanded (C:\users\bob\ is 13).
    const std::string fits(259 - 13, 'x'), over = fits + "x";
    const std::string environment =
        "\"Marks\"=str(2):\"%DATA%\\\\Marks\"\n\"Long\"=\"C:\\\\" + std::string(300, 'y') + "\"\n";
    std::string found;
    for (const std::string& value : std::initializer_list<std::string>{
             "\"C:\\\\users\\\\bob\\\\" + fits + "\"", "str(2):\"%USERPROFILE%\\\\Favorites\"",
             "str(2):\"%MARKS%\\\\G\\xf6\"",
             "hex(2):44,00,3a,00,5c,00,4d,00,61,00,\\\n  72,00,6b,00,73,00,00,00", "",
             "\"Q:\\\\Favorites\"", "\"C:\\\\users\\\\bob\\\\" + over + "\"", "\"%LONG%\""}) {
        CTempDir::Write(prefix / "user.reg",
                        UserReg(value.empty() ? "" : "\"Favorites\"=" + value, environment));
        found += Located(prefix, home, dir.Path()) + "|";
    }
    EXPECT_EQ(found,
              "/prefix/drive_c/users/bob/" + fits +
                  "|/prefix/drive_c/users/bob/Favorites|/prefix/dosdevices/d:/Marks/G\xC3\xB6|"
                  "/prefix/dosdevices/d:/Marks|/home/Favorites|/home/Favorites|-|-|");
    // Without $WINEPREFIX the prefix is ~/.wine; names match ignoring case.
    // (Neither a prefix nor ~/Favorites: the export dialog's tests.)
    EXPECT_EQ(Located("", home, dotWine), "/drive_c/users/bob/Links");
#endif

    // References expand as Windows does: unknown ones stay, and their closing
    // mark may open a known one.
    EXPECT_EQ(CFavoritesFolder::ExpandReferences("%DATA%\\%DATA%%none%DATA% 100% %%", Env),
              "D:\\D:%noneD: 100% %%");

    // Shortcuts: names ignore case, blanks and one pair of quotes go, LF or CR endings;
    // the first section and the first key count; byte-order marks and code
    // pages; a missing file, section or key gives nothing. Cut at 2047
    // characters (never inside one: the fuzz target's UTF-8 rule).
    const std::string longUrl = "http://e/" + std::string(3000, 'a');
    std::string urls;
    for (const std::string& text : std::initializer_list<std::string>{
             "[DEFAULT]\r\nURL=x\r\n[InternetShortcut]\r\nURL=http://a/\r\n",
             "[internetshortcut]\n  url =  \"http://b/ x\"  \n",
             "[InternetShortcut]\rURL='http://c/'\r",
             "[InternetShortcut]\nURL=first\nURL=second\n[InternetShortcut]\nURL=third\n",
             "URL=outside\n[InternetShortcut]\nIconFile=x\n[Other]\nURL=elsewhere\n",
             "\xEF\xBB\xBF[InternetShortcut]\nURL=d\xC3\xA9\n", "[InternetShortcut]\nURL=caf\xE9\n",
             Utf16(u"[InternetShortcut]\r\nURL=h:\u00E9", false), Shortcut(longUrl)})
        urls += CInternetShortcut::UrlFromText(text) + "|";
    EXPECT_EQ(urls + CInternetShortcut::ReadUrl("/nonexistent/x.url"),
              "http://a/|http://b/ x|http://c/|first||d\xC3\xA9|caf\xC3\xA9|h:\xC3\xA9|" +
                  longUrl.substr(0, 2047) + "|");
}

TEST(FavoritesExport, WritesEveryFolderAndLinkInOrderAndFailuresAsTheMessageSays) {
    // Links first, hidden ones and names not ending in ".url" left out; then
    // each folder, hidden ones too, in name order ignoring case. A link back
    // up the tree is not followed round and round.
    CTempDir dir;
    const fs::path fav = dir.Path() / "Favorites";
    for (const std::string name : {"\xC3\x9Cmlaut", "Caps.URL", ".hidden", "notes.txt",
                                   ".Private/Secret", "Work/Tools/Wiki"})
        CTempDir::Write(
            fav / utf8_path::From(
                      name + (name.find('.') == std::string::npos || name[0] == '.' ? ".url" : "")),
            Shortcut("http://" + name + "/"));
        // Windows forbids <, > and " in a name.
#ifdef _WIN32
    const std::string odd = "Bob's & Co", oddXml = "Bob&apos;s &amp; Co";
#else
    const std::string odd = "Bob's & <Co> \"q\"", oddXml = "Bob&apos;s &amp; &lt;Co&gt; \"q\"";
#endif
    CTempDir::Write(fav / (odd + ".url"), Shortcut("http://b/?a=1&b=<2>]]>"));
    CTempDir::Write(fav / "Empty.url", "[InternetShortcut]\r\nIconIndex=1\r\n");
    fs::create_directories(fav / "Work/folder.url"); // a folder, not a link
#ifndef _WIN32
    fs::create_directory_symlink(fav, fav / "Work/Tools/Up");
#endif
    // That every label and URL comes back escaped so is the fuzz targets' round trip.
    const std::string out = dir.File("out.xml"), locked = dir.File("L");
    EXPECT_EQ(
        Export(out, fav.string()),
        kOpen + "<level2 header='" + oddXml +
            "'><![CDATA[http://b/?a=1&b=<2>]]]]>"
            "<![CDATA[>]]></level2>\n<level2 header='Empty'><![CDATA[]]></level2>\n"
            "<level2 header='\xC3\x9Cmlaut'><![CDATA[http://\xC3\x9Cmlaut/]]></level2>\n</level1>\n"
            "<level1 header='.Private'>\n<level2 header='Secret'>"
            "<![CDATA[http://.Private/Secret/]]></level2>\n</level1>\n<level1 header='Work'>\n"
            "</level1>\n<level1 header='folder.url'>\n</level1>\n<level1 header='Tools'>\n"
            "<level2 header='Wiki'>"
            "<![CDATA[http://Work/Tools/Wiki/]]></level2>\n</level1>\n</level0>\n");

    // No Favorites folder: an empty file, replacing what was there. A folder
    // that does not exist exports nothing under its first heading.
    EXPECT_EQ(Export(out, std::nullopt, Exported::FolderNotFound) + "|" +
                  Export(out, dir.File("gone")),
              "|" + kOpen + "</level1>\n</level0>\n");

#ifndef _WIN32
    // A folder that cannot be listed still has its heading closed.
    CTempDir::Write(fs::path(locked) / "Locked/In.url", Shortcut("http://in/"));
    fs::permissions(fs::path(locked) / "Locked", fs::perms::none);
    // (The super-user lists it anyway.)
    EXPECT_TRUE(geteuid() == 0 || Export(out, locked) == kOpen +
                                                             "</level1>\n<level1 header='Locked'>\n"
                                                             "</level1>\n</level0>\n");
    // A write that fails on the way (here a file-size limit) is not success.
    EXPECT_TRUE(WithFileSizeLimit(
        100, [&] { return CFavoritesExporter(out).Run(locked) == Exported::CannotWriteFile; }));
#endif
}

#ifndef _WIN32
TEST(FavoritesExport, HugeShortcutsFifosLongPathsAndDiamondsOfLinksStayBounded) {
    CTempDir dir;
    const fs::path fav = dir.Path() / "Favorites";
    // A shortcut larger than memory: only its start is read.
    CTempDir::Write(fav / "Big.url", Shortcut("http://big/"));
    fs::resize_file(fav / "Big.url", std::uintmax_t(64) << 30);
    // Two links at each level to the same folder below: each real folder is
    // exported once, under its first link, not 2^levels times.
    std::string expected =
        kOpen + "<level2 header='Big'><![CDATA[http://big/]]></level2>\n</level1>\n";
    fs::path at = fav, real = dir.Path() / "d";
    for (int level = 0; level < 12; ++level, at = real, real /= "d") {
        fs::create_directories(real);
        fs::create_directory_symlink(real, at / "a");
        fs::create_directory_symlink(real, at / "b");
        expected += "<level1 header='a'>\n</level1>\n";
    }
    // FIFOs where files are expected are refused at once, without blocking
    // (a prefix's user.reg: here the prefix is the Favorites folder).
    for (const fs::path& fifo : {fav / "Stall.url", fav / "user.reg", dir.Path() / "out.xml"})
        ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A long Windows path maps in time linear in its length.
    std::string windows = "C:\\users", mapped = (dir.Path() / "drive_c/users").string();
    fs::create_directories(mapped);
    for (; windows.size() < 1'000'000; mapped += "/ab")
        windows += "\\ab\\cd\\..";
    alarm(30); // a blocking open or a quadratic walk would end the test program here
    EXPECT_EQ(CFavoritesFolder::MapWindowsPath(dir.Path().string(), windows), mapped);
    EXPECT_EQ(CInternetShortcut::ReadUrl((fav / "Stall.url").string()) +
                  Located(fav, dir.Path(), dir.Path()),
              "/Favorites");
    // Nor is a file that cannot be made: nothing is written.
    for (const std::string& out : {dir.File("out.xml"), std::string("/dev/null"),
                                   dir.File("missing/out.xml"), std::string()})
        EXPECT_EQ(CFavoritesExporter(out).Run(fav.string()), Exported::CannotOpenFile) << out;
    EXPECT_FALSE(fs::exists(dir.Path() / "missing"));
    EXPECT_EQ(Export(dir.File("real.xml"), fav.string()), expected + "</level0>\n");
    alarm(0);
}
#endif
