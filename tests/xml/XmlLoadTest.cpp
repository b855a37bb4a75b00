// Loading: what is kept, how the bytes' encoding is found, what is refused
// and why, and that nothing but the bytes handed in (or the regular file
// named) is ever read.

#include "support/Loaded.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "xml/TextEncoding.h"

#include <gtest/gtest.h>
#include <libxml/parserInternals.h>

#include <cerrno>
#include <filesystem>
#ifndef _WIN32
#include <sys/inotify.h>
#include <unistd.h>
#endif

static std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    while (times--)
        out += piece;
    return out;
}

// A start tag with n attributes a0, a1, ... each followed by equalsValue.
static std::string Tag(std::size_t n, const std::string& equalsValue) {
    std::string xml = "<r";
    for (std::size_t i = 0; i < n; ++i)
        xml += " a" + std::to_string(i) + equalsValue;
    return xml + "/>";
}

TEST(XmlLoad, WhatIsKeptAndWhatIsRefusedAndWhatIsUtf8) {
    CTempDir dir;
    const std::string secret = dir.File("secret.txt");
    CTempDir::Write(secret, "tessary-secret-marker");
#ifdef _WIN32
    // Windows tells no one of an open: what loads shows that nothing was read.
    const auto secretOpened = [] { return false; };
#else
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, secret.c_str(), IN_OPEN | IN_ACCESS), 0);
    const auto secretOpened = [&] {
        const bool opened =
            read(watch, std::vector<char>(4096).data(), 4096) != -1 || errno != EAGAIN;
        close(watch);
        return opened;
    };
#endif
    CLoopbackHttpServer server;
    const std::string dtd = server.Url("/x.dtd");
    server.Serve("/x.dtd", 200, "<!ENTITY x 'pwned'>");
    const std::string body =
        "<level0 header=\"L\">\n\t<level1 header=\"A\"><![CDATA[line 1\n  line 2 "
        "<&>]]></level1>\n  <!-- note -->\n  <level1 header=\"B\">  </level1>\n</level0>";
    std::string laughs = "<!DOCTYPE lolz [<!ENTITY lol0 \"lol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" +
                  Repeat("&lol" + std::to_string(i - 1) + ";", 10) + "\">";
    const std::string big = "<!DOCTYPE r [<!ENTITY big \"" + Repeat("a", 100 * 1024) + "\">]>";
    const std::size_t most = SXmlSourceLimits::kMaxAttributes, deep = SXmlSourceLimits::kMaxDepth;
    const std::string quiet = "<!-- <x a=1 b=2> --><![CDATA[<y a=1>]]>";
    const std::string cdatas = "<r>" + quiet + Repeat(",<![CDATA[<x a=1>]]>", most + 1) + "</r>";
    const std::string nested = Repeat("<a>", deep) + "x" + Repeat("</a>", deep);
    const std::u16string text16 = u"<r a=\"caf\u00E9\">\u20AC \u201Cq\u201D</r>";
    const std::string utf8 = "<r a=\"caf\xC3\xA9\">\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D</r>";
    const std::string xinclude =
        "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"file://" + secret +
        "\"/></r>";
    // What loads gives the root's serialisation: whitespace, CDATA, comments
    // and layout kept, the declaration gone; small internal entities expanded
    // into the text; external subsets, inclusions and declared defaults not
    // read. How a source is read: byte-order marks and declarations decide,
    // even when they lie; without them, what is not UTF-8 is Windows-1252
    // (undefined positions as C1 code points), or UTF-8 with stray bytes
    // replaced and counted when it holds any UTF-8 character.
    // What is refused: any other entity, and expansions beyond the limit;
    // what is not well-formed or has no root; nesting, and attributes in one
    // start tag, where markup characters inside values, comments and CDATA
    // count for nothing.
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {body, {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body + "\n"}},
        {"<level0 header=\"Acme &amp; Co\"><level1>Regards,\nAcme &amp; Co Regards,\nAcme &amp; "
         "Co</level1></level0>",
         {"<!DOCTYPE level0 [<!ENTITY co \"Acme &amp; Co\"><!ENTITY sig \"Regards,&#10;&co;\">]>"
          "<level0 header=\"&co;\"><level1>&sig; &sig;</level1></level0>"}},
        {"<r>&x;</r>", {"<!DOCTYPE r SYSTEM \"" + dtd + "\"><r>&x;</r>"}},
        {"<r/>",
         {"<!DOCTYPE r PUBLIC \"-//T//DTD T//EN\" \"file://" + secret + "\"><r/>",
          "<!DOCTYPE r [<!ELEMENT r (#PCDATA)><!ATTLIST r a CDATA \"default\">]><r/>"}},
        {xinclude, {xinclude}},
        {utf8,
         {utf8, "<?xml-stylesheet encoding='UTF-8'?><r a=\"caf\xE9\">\x80 \x93q\x94</r>",
          "<?xml version=\"1.0\"?><!-- encoding='UTF-8' -->\n<r a='caf\xE9'>\x80 \x93q\x94</r>",
          "\xEF\xBB\xBF" + utf8, Utf16(text16, false), Utf16(text16, true),
          Utf16(u"<?xml version=\"1.0\"?>" + std::u16string(text16), false).substr(2)}},
        {"<r a=\"\xC2\x81\">\xC2\x8D\xC5\xB8</r>", {"<r a=\"\x81\">\x8D\x9F</r>"}},
        {"<r a=\"\xC3\xA9\">\xE2\x82\xAC \xEF\xBF\xBD!</r> +1",
         {"<r a=\"\xC3\xA9\">\xE2\x82\xAC \xE9!</r>"}},
        {"<r a=\"\xEF\xBF\xBD\">\xC3\xA9 \xEF\xBF\xBD\xEF\xBF\xBD</r> +3",
         {"<r a=\"\x93\">\xC3\xA9 \xE2\x82</r>"}},
        {nested, {nested}},
        {Tag(most, "=\"=&gt;\""), {Tag(most, "='=>'")}},
        {cdatas, {cdatas}},
        {"!Malformed*entit",
         {"<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret + "\">]><r>&x;</r>",
          "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + dtd + "\">]><r>&x;</r>",
          "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]><r>&x;</r>",
          "<!DOCTYPE r [<!ENTITY % p \"<!ENTITY x 'y'>\"> %p;]><r>&x;</r>",
          "<!DOCTYPE r [<!ENTITY x \"a\"><!ENTITY p SYSTEM \"p.gif\" NDATA gif>]><r>&x;</r>",
          laughs + "]><lolz>&lol9;</lolz>", big + "<r>" + Repeat("&big;", 10000) + "</r>",
          big + "<r a=\"" + Repeat("&big;", 10000) + "\"/>",
          "<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>"}},
        {"!Malformed*line 1", {"<r><a></r>"}},
        {"<r xmlns:p=\"urn:x?a=1;b='2'\"><p:a xmlns=\"urn:y\"/></r>",
         {"<r xmlns:p=\"urn:x?a=1;b='2'\"><p:a xmlns=\"urn:y\"/></r>"}},
        // Namespace names are written back unescaped: one that would not read
        // back is refused.
        {"!Malformed*",
         {"<r><a xmlns:p=\"a&amp;b\"/></r>", "<r><a xmlns:p=\"&lt;\"/></r>",
          "<r><a xmlns:p=\"a&#13;\"/></r>", "<r><a xmlns:p=\"&#9;\"/></r>",
          "<r><a xmlns:p=\"&#10;\"/></r>", "<r>&undefined;</r>", Repeat("<a>", 100000),
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><r>caf\xE9</r>", "\xEF\xBB\xBF<r>caf\xE9</r>",
          "<?xml version=\"1.0\" encoding=\"no-such\"?><r/>"}},
        {"!Malformed*nested", {"<a>" + nested + "</a>"}},
        // In UTF-7, "+AD0AIg-" is '="', so no '=' shows in the bytes.
        {"!Malformed*attributes",
         {Tag(most + 1, "='v'"), Tag(300000, "=\"\""),
          "<!DOCTYPE r [<!ENTITY x '<'>]>" + quiet + Tag(most + 1, "='v'"),
          "<?xml version='1.0'\n encoding = 'UTF-7'?>" + Tag(most + 1, "+AD0AIg-v+ACI-")}},
    };
    testing::internal::CaptureStderr();
    for (const auto& [expected, inputs] : cases)
        for (const std::string& bytes : inputs) {
            // "!Status*words": a failure of that status whose detail holds the words.
            const std::string got = Loaded(bytes), head = expected.substr(0, expected.find('*'));
            EXPECT_TRUE(got == expected || (head != expected && got.starts_with(head) &&
                                            got.find(expected.substr(head.size() + 1)) != -1ul))
                << bytes.substr(0, 99) << "\ngave " << got.substr(0, 199);
        }
    // The engine's loader refuses even what the options above never reach.
    const xmlExternalEntityLoader loader = xmlGetExternalEntityLoader();
    EXPECT_FALSE(loader(secret.c_str(), nullptr, nullptr) || loader(dtd.c_str(), nullptr, nullptr));
    const bool opened = secretOpened();
    EXPECT_TRUE(testing::internal::GetCapturedStderr().empty() && server.RequestedPaths().empty() &&
                !opened)
        << "a warning, a request, or the secret opened";
    // At the size limit the size is no reason to refuse.
    const std::string full = "<r>" + std::string(SXmlSourceLimits::kMaxBytes - 3, ' ');
    EXPECT_EQ(Loaded(full + " ").substr(0, 9) + Loaded(full).substr(0, 10), "!TooLarge!Malformed");
    // What is valid UTF-8, which decides how an unmarked source is read.
    std::string verdicts;
    for (const std::string bytes :
         {"", "plain ascii text, longer than eight", "\xF0\x9F\x98\x80", "\xF4\x8F\xBF\xBF",
          "\xEF\xBF\xBD", "caf\xC3\xA9", "\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xED\xA0\x80",
          "\xF4\x90\x80\x80", "\xF5\x80", "\xE2\x82", "\x80", "caf\xE9",
          "0123456789abcdef\xE9 after"})
        verdicts += CTextEncoding::IsValidUtf8(bytes) ? "1" : "0";
    EXPECT_EQ(verdicts, "1111110000000000");
}
