#include "support/LoadSource.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>
#include <libxml/parserInternals.h>

#include <cerrno>
#include <filesystem>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string Repeat(const std::string& piece, std::size_t times) {
    std::string out;
    out.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i)
        out += piece;
    return out;
}

std::string Nested(int depth) {
    return Repeat("<a>", static_cast<std::size_t>(depth)) + "x" +
           Repeat("</a>", static_cast<std::size_t>(depth));
}

} // namespace

TEST(XmlLoad, KeepsWhitespaceCdataAndLayout) {
    const std::string body = "<level0 header=\"L\">\n"
                             "\t<level1 header=\"A\"><![CDATA[line 1\n  line 2 <&>]]></level1>\n"
                             "  <!-- note -->\n"
                             "  <level1 header=\"B\">  </level1>\n"
                             "</level0>";
    CTempDir dir;
    CTempDir::Write(dir.File("lib.xml"),
                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body + "\n");

    CXmlDocument doc;
    XmlLoadResult result = LoadSource(doc, dir.File("lib.xml"));
    ASSERT_TRUE(result.ok()) << result.detail;
    CXmlNode root = doc.DocumentElement();
    EXPECT_EQ(root.Xml(), body);
    EXPECT_EQ(doc.DocumentNode().Xml(), body + "\n");
    EXPECT_EQ(root.FirstChild().NodeType(), NODE_TEXT);
    EXPECT_EQ(root.FirstChild().Text(), "\n\t");
    CXmlNode cdata = root.FirstChild().NextSibling().FirstChild();
    EXPECT_EQ(cdata.NodeType(), NODE_CDATA_SECTION);
    EXPECT_EQ(cdata.Text(), "line 1\n  line 2 <&>");
    EXPECT_EQ(doc.SelectSingleNode("//level1[@header='B']").FirstChild().Text(), "  ");
}

TEST(XmlLoad, FailuresLeaveTheDocumentEmpty) {
    CTempDir dir;
    CTempDir::Write(dir.File("good.xml"), "<r/>");
    CXmlDocument doc;
    auto loadFails = [&](const std::string& bytes, XmlLoadStatus expected) {
        EXPECT_TRUE(LoadSource(doc, dir.File("good.xml")).ok());
        XmlLoadResult result = doc.LoadBytes(bytes, "case");
        EXPECT_EQ(result.status, expected) << bytes;
        EXPECT_FALSE(result.detail.empty());
        EXPECT_FALSE(doc.DocumentElement()) << bytes;
        return result.detail;
    };

    testing::internal::CaptureStderr();
    EXPECT_NE(loadFails("<r><a></r>", XmlLoadStatus::Malformed).find("line 1"), std::string::npos);
    loadFails("<!DOCTYPE html><html><body><p>hi<br></body></html>", XmlLoadStatus::Malformed);
    loadFails("", XmlLoadStatus::Malformed);
    loadFails(" \n ", XmlLoadStatus::Malformed);
    loadFails("<!-- only a comment -->", XmlLoadStatus::Malformed);
    loadFails("<a/><b/>", XmlLoadStatus::Malformed);
    loadFails("<r>\x01</r>", XmlLoadStatus::Malformed);
    loadFails("<r>&undefined;</r>", XmlLoadStatus::Malformed);

    EXPECT_TRUE(LoadSource(doc, dir.File("good.xml")).ok());
    XmlLoadResult missing = LoadSource(doc, dir.File("missing.xml"));
    EXPECT_EQ(missing.status, XmlLoadStatus::NotFound);
    EXPECT_FALSE(doc.DocumentElement());
    EXPECT_EQ(LoadSource(doc, dir.Path().string()).status, XmlLoadStatus::NotFound);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // An empty document still takes new content.
    CXmlNode root = doc.AppendChild(doc.CreateElement("again"));
    EXPECT_EQ(doc.DocumentElement(), root);
}

TEST(XmlLoadSafety, ExternalEntitiesAndDtdsAreNeverRead) {
    CTempDir dir;
    const std::string secret = dir.File("secret.txt");
    CTempDir::Write(secret, "tessary-secret-marker");
    int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, secret.c_str(), IN_OPEN | IN_ACCESS), 0);

    CLoopbackHttpServer server;
    server.Serve("/x.dtd", {200, "<!ENTITY x 'pwned'>", "application/xml-dtd", {}});
    server.Serve("/p.dtd", {200, "<!ENTITY x 'pwned'>", "application/xml-dtd", {}});

    const std::vector<std::string> refused = {
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"file://" + secret + "\">]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + secret + "\">]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x SYSTEM \"" + server.Url("/x.dtd") + "\">]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY % p SYSTEM \"" + server.Url("/p.dtd") + "\"> %p;]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY % p \"<!ENTITY x 'y'>\"> %p;]><r>&x;</r>",
        "<!DOCTYPE r [<!ENTITY x \"a\"><!ENTITY pic SYSTEM \"p.gif\" NDATA gif>]><r>&x;</r>",
    };
    testing::internal::CaptureStderr();
    for (const std::string& xml : refused) {
        CXmlDocument doc;
        XmlLoadResult result = doc.LoadBytes(xml);
        EXPECT_EQ(result.status, XmlLoadStatus::Malformed) << xml;
        EXPECT_NE(result.detail.find("entity"), std::string::npos) << result.detail;
        EXPECT_FALSE(doc.DocumentElement());
    }

    // An external subset is not fetched; a document without entities loads.
    const std::vector<std::string> loaded = {
        "<!DOCTYPE r SYSTEM \"" + server.Url("/x.dtd") + "\"><r>&x;</r>",
        "<!DOCTYPE r PUBLIC \"-//T//DTD T//EN\" \"file://" + secret + "\"><r/>",
        "<r xmlns:xi=\"http://www.w3.org/2001/XInclude\">"
        "<xi:include href=\"file://" +
            secret + "\" parse=\"text\"/></r>",
        "<!DOCTYPE r [<!ELEMENT r (#PCDATA)><!ATTLIST r a CDATA \"default\">]><r/>",
    };
    for (const std::string& xml : loaded) {
        CXmlDocument doc;
        XmlLoadResult result = doc.LoadBytes(xml);
        EXPECT_TRUE(result.ok()) << xml << ": " << result.detail;
        EXPECT_EQ(doc.DocumentElement().Text(), "") << xml;
        EXPECT_EQ(doc.DocumentElement().GetNamedItem("a"), std::nullopt);
    }
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    // The engine's loader refuses even what the options above never reach.
    xmlExternalEntityLoader loader = xmlGetExternalEntityLoader();
    EXPECT_EQ(loader(secret.c_str(), nullptr, nullptr), nullptr);
    EXPECT_EQ(loader(server.Url("/x.dtd").c_str(), nullptr, nullptr), nullptr);

    EXPECT_EQ(server.RequestCount(), 0);
    char events[4096];
    EXPECT_EQ(read(watch, events, sizeof events), -1) << "the secret file was opened";
    EXPECT_EQ(errno, EAGAIN);
    close(watch);
}

TEST(XmlLoadSafety, SmallInternalEntitiesAreExpandedIntoTheText) {
    CXmlDocument doc;
    const XmlLoadResult result =
        doc.LoadBytes("<!DOCTYPE level0 [<!ENTITY co \"Acme &amp; Co\">"
                      "<!ENTITY sig \"Regards,&#10;&co;\">]>"
                      "<level0 header=\"&co;\"><level1>&sig; &sig;</level1></level0>");
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(doc.DocumentElement().Xml(),
              "<level0 header=\"Acme &amp; Co\"><level1>Regards,\nAcme &amp; Co "
              "Regards,\nAcme &amp; Co</level1></level0>");
}

TEST(XmlLoadSafety, EntityExpansionIsRefused) {
    std::string laughs = "<!DOCTYPE lolz [<!ENTITY lol \"lol\">";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY lol" + std::to_string(i) + " \"" +
                  Repeat("&lol" + (i > 1 ? std::to_string(i - 1) : std::string()) + ";", 10) +
                  "\">";
    laughs += "]><lolz>&lol9;</lolz>";

    std::string quadratic = "<!DOCTYPE r [<!ENTITY big \"" + Repeat("a", 100 * 1024) + "\">]><r>" +
                            Repeat("&big;", 10000) + "</r>";
    std::string inAttributes = "<!DOCTYPE r [<!ENTITY big \"" + Repeat("a", 100 * 1024) +
                               "\">]><r a=\"" + Repeat("&big;", 10000) + "\"/>";
    std::string loop = "<!DOCTYPE r [<!ENTITY a \"&b;\"><!ENTITY b \"&a;\">]><r>&a;</r>";

    for (const std::string* xml : {&laughs, &quadratic, &inAttributes, &loop}) {
        CXmlDocument doc;
        XmlLoadResult result = doc.LoadBytes(*xml);
        EXPECT_EQ(result.status, XmlLoadStatus::Malformed);
        EXPECT_NE(result.detail.find("entity"), std::string::npos) << result.detail;
        EXPECT_FALSE(doc.DocumentElement());
    }
}

TEST(XmlLoadSafety, NestingIsLimited) {
    CXmlDocument doc;
    XmlLoadResult atLimit = doc.LoadBytes(Nested(XmlSourceLimits::kMaxDepth));
    EXPECT_TRUE(atLimit.ok()) << atLimit.detail;
    EXPECT_EQ(doc.DocumentElement().Text(), "x");

    XmlLoadResult over = doc.LoadBytes(Nested(XmlSourceLimits::kMaxDepth + 1));
    EXPECT_EQ(over.status, XmlLoadStatus::Malformed);
    EXPECT_NE(over.detail.find("nested"), std::string::npos) << over.detail;
    EXPECT_EQ(doc.LoadBytes(Nested(100000)).status, XmlLoadStatus::Malformed);
    EXPECT_FALSE(doc.DocumentElement());
}

TEST(XmlLoadSafety, StartTagsWithTooManyAttributesAreRefused) {
    auto tag = [](std::size_t n, const std::string& equalsValue) {
        std::string xml = "<r";
        for (std::size_t i = 0; i < n; ++i)
            xml += " a" + std::to_string(i) + equalsValue;
        return xml + "/>";
    };
    const std::size_t limit = XmlSourceLimits::kMaxAttributes;
    // Characters of markup inside values, comments and CDATA are no attributes.
    const std::string quiet = "<!-- <x a=1 b=2> --><![CDATA[<y a=1>]]>";
    EXPECT_TRUE(CXmlDocument().LoadBytes(tag(limit, "='=>'")).ok());
    EXPECT_TRUE(CXmlDocument()
                    .LoadBytes("<r>" + quiet + Repeat("<![CDATA[<x a=1>]]>", limit + 1) + "</r>")
                    .ok());
    // In UTF-7, "+AD0AIg-" is '="', so no '=' shows in the bytes.
    for (const std::string& refused :
         {tag(limit + 1, "='v'"), tag(300000, "=\"\""),
          "<!DOCTYPE r [<!ENTITY x '<'>]>" + quiet + tag(limit + 1, "='v'"),
          "<?xml version='1.0' encoding='UTF-7'?>" + tag(limit + 1, "+AD0AIg-v+ACI-")}) {
        const XmlLoadResult result = CXmlDocument().LoadBytes(refused);
        EXPECT_EQ(result.status, XmlLoadStatus::Malformed) << refused.substr(0, 60);
        EXPECT_NE(result.detail.find("attributes"), std::string::npos) << result.detail;
    }
}

// The engine writes namespace names back unescaped: such a file, once saved,
// would no longer load.
TEST(XmlLoadSafety, NamespaceNamesThatCannotBeWrittenBackAreRefused) {
    for (const char* name : {"a&amp;b", "&lt;", "a&#13;", "&#9;", "&#10;"}) {
        const std::string xml = std::string("<r><a xmlns:p=\"") + name + "\"/></r>";
        EXPECT_EQ(CXmlDocument().LoadBytes(xml).status, XmlLoadStatus::Malformed) << xml;
    }
    CXmlDocument doc;
    const std::string kept = "<r xmlns:p=\"urn:x?a=1;b='2'\"><p:a xmlns=\"urn:y\"/></r>";
    ASSERT_TRUE(doc.LoadBytes(kept).ok());
    EXPECT_EQ(doc.DocumentElement().Xml(), kept);
}

TEST(XmlLoadSafety, OnlyRegularFilesAreRead) {
    // A FIFO without a writer would block open() for good.
    CTempDir dir;
    const std::string fifo = dir.File("fifo.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    CXmlDocument doc;
    for (const std::string& source :
         {fifo, "file://" + fifo, std::string("/dev/null"), "file://" + dir.Path().string()}) {
        ASSERT_TRUE(doc.LoadBytes("<r/>").ok());
        const XmlLoadResult result = LoadSource(doc, source);
        EXPECT_EQ(result.status, XmlLoadStatus::NotFound) << source << ": " << result.detail;
        EXPECT_FALSE(doc.DocumentElement());
    }
}

TEST(XmlLoadSafety, OversizeSourcesAreRefused) {
    CTempDir dir;
    const std::string path = dir.File("huge.xml");
    CTempDir::Write(path, "<r>");
    std::filesystem::resize_file(path, XmlSourceLimits::kMaxBytes + 1); // sparse, cheap

    CXmlDocument doc;
    ASSERT_TRUE(doc.LoadBytes("<r/>").ok());
    XmlLoadResult fromFile = LoadSource(doc, path);
    EXPECT_EQ(fromFile.status, XmlLoadStatus::TooLarge) << fromFile.detail;
    EXPECT_FALSE(doc.DocumentElement());

    const std::string bytes = "<r>" + std::string(XmlSourceLimits::kMaxBytes - 3, ' ');
    EXPECT_EQ(doc.LoadBytes(bytes + " ").status, XmlLoadStatus::TooLarge);
    // At the limit the size is no reason to refuse.
    EXPECT_EQ(doc.LoadBytes(bytes).status, XmlLoadStatus::Malformed);
}
