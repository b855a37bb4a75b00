// Libraries named by http and file URLs: what loads, what fails, and the
// limits that cut off silent and oversize servers.

#include "library/UrlFetcher.h"
#include "support/LoadSource.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

TEST(XmlUrl, WhatLoadsAndWhatFails) {
    CTempDir dir;
    CTempDir::Write(dir.File("local file.xml"), "<local/>");
    CLoopbackHttpServer server;
    const std::string nobody = CLoopbackHttpServer().Url("/x"); // gone at once
    server.Serve("/lib.xml", 200, "<r>hi</r>");
    server.Serve("/moved", 302, {}, server.Url("/lib.xml"));
    server.Serve("/error", 500, "<r/>");
    server.Serve("/page", 200, "<!DOCTYPE html><html><p>hi<br></html>");
    server.Serve("/empty", 200, {});
    server.Serve("/loop", 302, {}, server.Url("/loop"));
    server.Serve("/nowhere", 302, "<r/>"); // a redirect without a Location
    server.Serve("/tofile", 302, {}, "file://" + dir.File("local file.xml"));
    const std::string http = server.Url("/lib.xml"),
                      file = "file://" + dir.File("local%20file.xml");
    // Other schemes are paths, never fetched.
    std::string outcomes;
    for (const std::string& url :
         {http, "HTTP" + http.substr(4), server.Url("/moved"), file, "FILE" + file.substr(4),
          "file://" + dir.File("missing.xml"), server.Url("/missing"), server.Url("/error"),
          server.Url("/page"), server.Url("/empty"), server.Url("/tofile"), server.Url("/nowhere"),
          server.Url("/loop"), nobody, "ftp://127.0.0.1:" + std::to_string(server.Port()) + "/x"}) {
        CXmlDocument doc = Parsed("<previous/>");
        const std::string got = Outcome(doc, LoadSource(doc, url));
        outcomes += got.substr(0, got.find(' ')) + " ";
    }
    EXPECT_EQ(
        outcomes,
        "<r>hi</r> <r>hi</r> <r>hi</r> <local/> <local/> !NotFound !NotFound !NotFound !Malformed "
        "!NotFound !NotFound !NotFound !NotFound !NotFound !NotFound ");
    // The first request and five redirects of the loop; nothing for the others.
    const std::vector<std::string> paths = server.RequestedPaths();
    EXPECT_EQ(std::vector<std::string>(paths.begin(), paths.begin() + 4),
              (std::vector<std::string>{"/lib.xml", "/lib.xml", "/moved", "/lib.xml"}));
    EXPECT_EQ(std::count(paths.begin(), paths.end(), "/loop"), 6);
    EXPECT_FALSE(CUrlFetcher::IsUrl("httpx://host/x") || CUrlFetcher::IsUrl("/home/u/http://x"));
    EXPECT_TRUE(CUrlFetcher::IsUrl("Https://host/x"));
}

TEST(XmlUrl, SilentAndOversizeServersAreCutOff) {
    CLoopbackHttpServer server;
    server.Serve("/silent", 0, {});
    server.Serve("/huge", 200, "<r>", {}, XmlSourceLimits::kMaxBytes + 1024 * 1024);
    server.Serve("/big", 200, "<r>", {}, 200 * 1024);
    server.Serve("/sized", 200, "<r>" + std::string(2000, 'x') + "</r>");
    const FetchOptions quick{1000ms, 1000ms};
    const FetchResult silent = CUrlFetcher::Fetch(server.Url("/silent"), quick);
    EXPECT_TRUE(silent.status == XmlLoadStatus::Timeout && silent.body.empty()) << silent.detail;
    CXmlDocument doc;
    EXPECT_EQ(Outcome(doc, LoadSource(doc, server.Url("/huge"))).substr(0, 9), "!TooLarge");

    // Refused as it arrives, and from the announced length.
    const std::pair<std::string, std::size_t> limits[] = {{"/big", 100 * 1024}, {"/sized", 1000}};
    for (const auto& [path, limit] : limits)
        EXPECT_EQ(CUrlFetcher::Fetch(server.Url(path), {10s, 30s, limit}).status,
                  XmlLoadStatus::TooLarge);
    const FetchResult sized = CUrlFetcher::Fetch(server.Url("/sized"), {10s, 30s, 4000});
    EXPECT_TRUE(sized.status == XmlLoadStatus::Ok && sized.body.size() == 2007u);
}
