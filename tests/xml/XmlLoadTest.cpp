// Loading: what is kept, what is refused and why, and that nothing but the
// bytes handed in (or the regular file named) is ever read.

#include "support/LoadSource.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <libxml/parserInternals.h>

#include <cerrno>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

using testing::StartsWith;

namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Nested(std::size_t depth) {
    return Repeat("<a>", depth) + "x" + Repeat("</a>", depth);
}

// A start tag with n attributes a0, a1, ... each followed by equalsValue.
std::string Tag(std::size_t n, const std::string& equalsValue) {
    std::string xml = "<r";
    for (std::size_t i = 0; i < n; ++i)
        xml += " a" + std::to_string(i) + equalsValue;
    return xml + "/>";
}

} // namespace

TEST(XmlLoad, WhatIsKeptAndWhatIsRefused) {
    CTempDir dir;
    const std::string secret = dir.File("secret.txt");
    CTempDir::Write(secret, "tessary-secret-marker");
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(inotify_add_watch(watch, secret.c_str(), IN_OPEN | IN_ACCESS), 0);
    CLoopbackHttpServer server;
    const std::string dtd = server.Url("/x.dtd");
    server.Serve("/x.dtd", 200, "<!ENTITY x 'pwned'>");

    const std::string body = "<level0 header=\"L\">\n"
                             "\t<level1 header=\"A\"><![CDATA[line 1\n  line 2 <&>]]></level1>\n"
                             "  <!-- note -->\n  <level1 header=\"B\">  </level1>\n</level0>";
    std::string laughs = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" +
                  Repeat("&lol" + (i > 1 ? std::to_string(i - 1) : "") + ";", 10) + "\">";
    const std::string big = "<!DOCTYPE r [<!ENTITY big \"" + Repeat("a", 100 * 1024) + "\">]>";
    const std::size_t most = XmlSourceLimits::kMaxAttributes, deepest = XmlSourceLimits::kMaxDepth;
    const std::string quiet = "<!-- <x a=1 b=2> --><![CDATA[<y a=1>]]>";
    const std::string cdatas = "<r>" + quiet + Repeat(",<![CDATA[<x a=1>]]>", most + 1) + "</r>";
    const struct {
        std::string bytes, expected; // the root's serialisation, or how the load failed
        const char* detail = "";
    } cases[] = {
        // Whitespace, CDATA, comments and layout are kept; the declaration goes.
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body + "\n", body},
        {"<!DOCTYPE level0 [<!ENTITY co \"Acme &amp; Co\"><!ENTITY sig \"Regards,&#10;&co;\">]>"
         "<level0 header=\"&co;\"><level1>&sig; &sig;</level1></level0>",
         "<level0 header=\"Acme &amp; Co\"><level1>Regards,\nAcme &amp; Co Regards,\nAcme &amp; "
         "Co</level1></level0>"},
        // External subsets, inclusions and declared defaults are not read.
        {"<!DOCTYPE r SYSTEM \"" + dtd + "\"><r>&x;</r>", "<r>&x;</r>"},
        {"<!DOCTYPE r PUBLIC \"-//T//DTD T//EN\" \"file://" + secret + "\"><r/>", "<r/>"},
        {"<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"file://" + secret +
             "\" parse=\"text\"/></r>",
         "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\"><xi:include href=\"file://" + secret +
             "\" parse=\"text\"/></r>"},
        {"<!DOCTYPE r [<!ELEMENT r (#PCDATA)><!ATTLIST r a CDATA \"default\">]><r/>", "<r/>"},
        // Any other entity, and expansions beyond the limit, are refused.
        {"<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>", "!Malformed",
         "entit"},
        {"<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret + "\">]><r>&x;</r>", "!Malformed",
         "entit"},
        {"<!DOCTYPE r [<!ENTITY x SYSTEM \"" + secret + "\">]><r>&x;</r>", "!Malformed", "entit"},
        {"<!DOCTYPE r [<!ENTITY x SYSTEM \"" + dtd + "\">]><r>&x;</r>", "!Malformed", "entit"},
        {"<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]><r>&x;</r>", "!Malformed",
         "entit"},
        {"<!DOCTYPE r [<!ENTITY % p \"<!ENTITY x 'y'>\"> %p;]><r>&x;</r>", "!Malformed", "entit"},
        {"<!DOCTYPE r [<!ENTITY x \"a\"><!ENTITY pic SYSTEM \"p.gif\" NDATA gif>]><r>&x;</r>",
         "!Malformed", "entit"},
        {laughs + "]><lolz>&lol9;</lolz>", "!Malformed", "entit"},
        {big + "<r>" + Repeat("&big;", 10000) + "</r>", "!Malformed", "entit"},
        {big + "<r a=\"" + Repeat("&big;", 10000) + "\"/>", "!Malformed", "entit"},
        {"<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>", "!Malformed", "entit"},
        // Not well-formed, or no root.
        {"<r><a></r>", "!Malformed", "line 1"},
        {"<!DOCTYPE html><html><body><p>hi<br></body></html>", "!Malformed"},
        {"", "!Malformed"},
        {" \n ", "!Malformed"},
        {"<!-- only a comment -->", "!Malformed"},
        {"<a/><b/>", "!Malformed"},
        {"<r>\x01</r>", "!Malformed"},
        {"<r>&undefined;</r>", "!Malformed"},
        // Nesting, and attributes in one start tag; markup characters inside
        // values, comments and CDATA are no attributes.
        {Nested(deepest), Nested(deepest)},
        {Nested(deepest + 1), "!Malformed", "nested"},
        {Nested(100000), "!Malformed"},
        {Tag(most, "='=>'"), Tag(most, "=\"=&gt;\"")},
        {cdatas, cdatas},
        {Tag(most + 1, "='v'"), "!Malformed", "attributes"},
        {Tag(300000, "=\"\""), "!Malformed", "attributes"},
        {"<!DOCTYPE r [<!ENTITY x '<'>]>" + quiet + Tag(most + 1, "='v'"), "!Malformed",
         "attributes"},
        // In UTF-7, "+AD0AIg-" is '="', so no '=' shows in the bytes.
        {"<?xml version='1.0' encoding='UTF-7'?>" + Tag(most + 1, "+AD0AIg-v+ACI-"), "!Malformed",
         "attributes"},
    };
    testing::internal::CaptureStderr();
    for (const auto& c : cases) {
        const std::string got = Loaded(c.bytes);
        EXPECT_TRUE(c.expected.starts_with('!')
                        ? got.starts_with(c.expected) && got.find(c.detail) != std::string::npos
                        : got == c.expected)
            << c.bytes.substr(0, 99) << "\ngave " << got.substr(0, 199);
    }
    // The engine's loader refuses even what the options above never reach.
    const xmlExternalEntityLoader loader = xmlGetExternalEntityLoader();
    EXPECT_EQ(loader(secret.c_str(), nullptr, nullptr), nullptr);
    EXPECT_EQ(loader(dtd.c_str(), nullptr, nullptr), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(server.RequestCount(), 0);
    char events[4096];
    EXPECT_TRUE(read(watch, events, sizeof events) == -1 && errno == EAGAIN) << "secret opened";
    close(watch);
}

TEST(XmlLoad, OnlyRegularFilesWithinTheSizeLimitAreRead) {
    // A FIFO without a writer would block open() for good.
    CTempDir dir;
    const std::string fifo = dir.File("fifo.xml"), huge = dir.File("huge.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CTempDir::Write(huge, "<r>");
    std::filesystem::resize_file(huge, XmlSourceLimits::kMaxBytes + 1); // sparse, cheap
    CTempDir::Write(dir.File("good.xml"), "<r/>");
    const std::pair<std::string, const char*> cases[] = {
        {dir.File("good.xml"), "<r/>"},         {fifo, "!NotFound"},
        {"file://" + fifo, "!NotFound"},        {"/dev/null", "!NotFound"},
        {dir.Path().string(), "!NotFound"},     {"file://" + dir.Path().string(), "!NotFound"},
        {dir.File("missing.xml"), "!NotFound"}, {huge, "!TooLarge"},
    };
    for (const auto& [source, expected] : cases) {
        CXmlDocument doc = Parsed("<previous/>");
        EXPECT_THAT(Outcome(doc, LoadSource(doc, source)), StartsWith(expected)) << source;
        // An emptied document still takes content.
        EXPECT_TRUE(doc.DocumentElement() || doc.AppendChild(doc.CreateElement("again")));
    }
    const std::string bytes = "<r>" + std::string(XmlSourceLimits::kMaxBytes - 3, ' ');
    EXPECT_THAT(Loaded(bytes + " "), StartsWith("!TooLarge"));
    EXPECT_THAT(Loaded(bytes), StartsWith("!Malformed")); // the size alone is no reason
}
