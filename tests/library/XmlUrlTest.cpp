#include "library/UrlFetcher.h"
#include "support/LoadSource.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"
#include "xml/XmlDocument.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

XmlLoadResult LoadInto(CXmlDocument& doc, const std::string& source) {
    EXPECT_TRUE(doc.LoadBytes("<previous/>").ok());
    return LoadSource(doc, source);
}

std::string UpperScheme(std::string url) {
    for (std::size_t i = 0; i < url.find(':'); ++i)
        url[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(url[i])));
    return url;
}

} // namespace

TEST(XmlUrl, LoadsFromHttpAndFileUrls) {
    CLoopbackHttpServer server;
    server.Serve("/lib.xml", {200, "<r a=\"1\"> hi <![CDATA[there]]></r>", "application/xml", {}});
    server.Serve("/moved", {302, {}, "text/plain", server.Url("/lib.xml")});

    CXmlDocument doc;
    XmlLoadResult result = LoadInto(doc, server.Url("/lib.xml"));
    ASSERT_TRUE(result.ok()) << result.detail;
    EXPECT_EQ(doc.DocumentElement().Text(), " hi there");
    EXPECT_TRUE(LoadInto(doc, UpperScheme(server.Url("/lib.xml"))).ok());
    EXPECT_TRUE(LoadInto(doc, server.Url("/moved")).ok());
    EXPECT_EQ(doc.DocumentElement().Text(), " hi there");
    EXPECT_EQ(server.RequestedPaths(),
              (std::vector<std::string>{"/lib.xml", "/lib.xml", "/moved", "/lib.xml"}));

    CTempDir dir;
    CTempDir::Write(dir.File("local file.xml"), "<local>x</local>");
    EXPECT_TRUE(LoadInto(doc, "file://" + dir.File("local%20file.xml")).ok());
    EXPECT_EQ(doc.DocumentElement().NodeName(), "local");
    EXPECT_TRUE(LoadInto(doc, "FILE://" + dir.File("local%20file.xml")).ok());
    EXPECT_EQ(LoadInto(doc, "file://" + dir.File("missing.xml")).status, XmlLoadStatus::NotFound);
    EXPECT_FALSE(doc.DocumentElement());
}

TEST(XmlUrl, HttpFailuresLeaveTheDocumentEmpty) {
    CLoopbackHttpServer server;
    server.Serve("/error", {500, "<r/>", "application/xml", {}});
    server.Serve("/page",
                 {200, "<!DOCTYPE html><html><body><p>hi<br></body></html>", "text/html", {}});
    server.Serve("/empty", {200, {}, "application/xml", {}});
    server.Serve("/loop", {302, {}, "text/plain", server.Url("/loop")});
    server.Serve("/nowhere", {302, "<r/>", "application/xml", {}}); // no Location
    CTempDir dir;
    CTempDir::Write(dir.File("local.xml"), "<local/>");
    server.Serve("/tofile", {302, {}, "text/plain", "file://" + dir.File("local.xml")});

    CXmlDocument doc;
    auto statusOf = [&](const std::string& path) {
        XmlLoadResult result = LoadInto(doc, server.Url(path));
        EXPECT_FALSE(result.detail.empty()) << path;
        EXPECT_FALSE(doc.DocumentElement()) << path;
        return result.status;
    };
    EXPECT_EQ(statusOf("/missing"), XmlLoadStatus::NotFound);
    EXPECT_EQ(statusOf("/error"), XmlLoadStatus::NotFound);
    EXPECT_EQ(statusOf("/page"), XmlLoadStatus::Malformed);
    EXPECT_EQ(statusOf("/empty"), XmlLoadStatus::NotFound);
    EXPECT_EQ(statusOf("/tofile"), XmlLoadStatus::NotFound);
    EXPECT_EQ(statusOf("/nowhere"), XmlLoadStatus::NotFound);
    const int before = server.RequestCount();
    EXPECT_EQ(statusOf("/loop"), XmlLoadStatus::NotFound);
    EXPECT_EQ(server.RequestCount() - before, 6); // the first request and five redirects

    // Nobody listening.
    int port;
    {
        CLoopbackHttpServer gone;
        port = gone.Port();
    }
    EXPECT_EQ(LoadInto(doc, "http://127.0.0.1:" + std::to_string(port) + "/x").status,
              XmlLoadStatus::NotFound);

    // Other schemes are paths, never fetched.
    EXPECT_EQ(LoadInto(doc, "ftp://127.0.0.1:" + std::to_string(server.Port()) + "/x").status,
              XmlLoadStatus::NotFound);
    EXPECT_FALSE(CUrlFetcher::IsUrl("httpx://host/x"));
    EXPECT_FALSE(CUrlFetcher::IsUrl("/home/u/http://x"));
    EXPECT_TRUE(CUrlFetcher::IsUrl("Https://host/x"));
}

TEST(XmlUrl, SilentAndOversizeServersAreCutOff) {
    CLoopbackHttpServer server;
    server.NeverAnswer("/silent");
    server.ServeHuge("/huge", XmlSourceLimits::kMaxBytes + 1024 * 1024);
    server.ServeHuge("/big", 200 * 1024);
    server.Serve("/sized", {200, "<r>" + std::string(2000, 'x') + "</r>", "application/xml", {}});

    FetchOptions quick;
    quick.connectTimeout = 1000ms;
    quick.totalTimeout = 1000ms;
    FetchResult silent = CUrlFetcher::Fetch(server.Url("/silent"), quick);
    EXPECT_EQ(silent.status, XmlLoadStatus::Timeout) << silent.detail;
    EXPECT_TRUE(silent.body.empty());

    CXmlDocument doc;
    XmlLoadResult huge = LoadInto(doc, server.Url("/huge"));
    EXPECT_EQ(huge.status, XmlLoadStatus::TooLarge) << huge.detail;
    EXPECT_FALSE(doc.DocumentElement());

    FetchOptions small;
    small.maxBytes = 100 * 1024;
    EXPECT_EQ(CUrlFetcher::Fetch(server.Url("/big"), small).status, XmlLoadStatus::TooLarge);
    small.maxBytes = 1000; // refused from the announced length
    EXPECT_EQ(CUrlFetcher::Fetch(server.Url("/sized"), small).status, XmlLoadStatus::TooLarge);
    small.maxBytes = 4000;
    FetchResult sized = CUrlFetcher::Fetch(server.Url("/sized"), small);
    EXPECT_EQ(sized.status, XmlLoadStatus::Ok);
    EXPECT_EQ(sized.body.size(), 2007u);
}
