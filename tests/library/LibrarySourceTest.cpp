// Libraries named by a path, an http or a file URL: what loads, what fails,
// and the limits that cut off huge files and silent and oversize servers.

#include "library/UrlFetcher.h"
#include "library/UrlPollRequest.h"
#include "support/Loaded.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;

// A file URL as the system writes one: file:///C:/dir/x on Windows.
static std::string FileUrl(std::string path) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '\\', '/');
    return "file:///" + path;
#else
    return "file://" + path;
#endif
}

static void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
    _putenv_s(name, value.c_str());
#else
    setenv(name, value.c_str(), 1);
#endif
}

TEST(LibrarySource, WhatLoadsAndWhatFailsAndSilentOrOversizeServersAreCutOff) {
    CTempDir dir;
    CTempDir::Write(dir.File("local file.xml"), "<level0>L</level0>");
    // A root of another name, or in a namespace, is a failed load too.
    CTempDir::Write(dir.File("wrong.xml"), "<level1 header=\"x\"/>");
    CTempDir::Write(dir.File("ns.xml"), "<level0 xmlns=\"urn:x\" header=\"x\"/>");
    // Only regular files within the size limit are read: a FIFO without a
    // writer would block open() for good.
    const std::string huge = dir.File("huge.xml");
#ifdef _WIN32
    const std::string fifo = "NUL"; // no FIFOs there; a device is no file either
#else
    const std::string fifo = dir.File("fifo.xml");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
#endif
    CTempDir::Write(huge, "<r>");
    std::filesystem::resize_file(huge, SXmlSourceLimits::kMaxBytes + 1); // sparse, cheap
    CLoopbackHttpServer server;
    const std::string nobody = CLoopbackHttpServer().Url("/x"); // gone at once
    server.Serve("/lib.xml", 200, "<level0>H</level0>");
    server.Serve("/moved", 302, {}, server.Url("/lib.xml"));
    server.Serve("/error", 500, "<r/>");
    server.Serve("/page", 200, "<!DOCTYPE html><html><p>hi<br></html>");
    server.Serve("/empty", 200, {});
    server.Serve("/loop", 302, {}, server.Url("/loop"));
    server.Serve("/nowhere", 302, "<r/>"); // a redirect without a Location
    server.Serve("/tofile", 302, {}, FileUrl(dir.File("local file.xml")));
    server.Serve("/silent", 0, {});
    // A library too large is refused as it arrives (with no length announced).
    server.Serve("/huge", 200, "<r>", {}, SXmlSourceLimits::kMaxBytes + 1024 * 1024);
    const std::string http = server.Url("/lib.xml"), file = FileUrl(dir.File("local%20file.xml"));
    // The root each source gives as the program loads it, or how it failed,
    // which keeps the library as it was.
    const auto load = [](const std::string& source) {
        CSnippetLibrary lib = Library("<level0/>");
        SXmlLoadResult detail;
        const bool ok = lib.Load(source, &detail) == CSnippetLibrary::ELoadOutcome::Ok;
        EXPECT_TRUE(ok || (lib.Serialize() == "<level0 iid=\"0\"/>" && lib.FindByItemId(0)))
            << source;
        const std::string got = ok            ? lib.Root().Xml()
                                : detail.ok() ? "!WrongRoot" // read and well-formed
                                              : Outcome(CXmlDocument(), detail);
        return got.substr(0, got.find(' ')) + " ";
    };
    // Other schemes are paths, never fetched.
    std::string loaded;
    for (const std::string& source :
         {dir.File("local file.xml"), fifo, FileUrl(fifo), std::string("/dev/null"),
          dir.Path().string(), FileUrl(dir.Path().string()), huge, file, "FILE" + file.substr(4),
          FileUrl(dir.File("missing.xml")), dir.File("wrong.xml"), dir.File("ns.xml")})
        loaded += load(source);
    for (const std::string& url :
         {http, "HTTP" + http.substr(4), server.Url("/moved"), server.Url("/missing"),
          server.Url("/error"), server.Url("/page"), server.Url("/empty"), server.Url("/tofile"),
          server.Url("/nowhere"), server.Url("/loop"), nobody, "ftp" + http.substr(4),
          server.Url("/huge")})
        loaded += load(url);
    EXPECT_EQ(loaded,
              "<level0>L</level0> !NotFound !NotFound !NotFound !NotFound !NotFound "
              "!TooLarge <level0>L</level0> <level0>L</level0> !NotFound !WrongRoot !WrongRoot "
              "<level0>H</level0> <level0>H</level0> <level0>H</level0> !NotFound !NotFound "
              "!Malformed !NotFound !NotFound !NotFound !NotFound !NotFound !NotFound !TooLarge ");
    EXPECT_EQ(std::ranges::count(server.RequestedPaths(), "/loop"), 6);

    // Silent servers are cut off; a download is refused as it outgrows the limit.
    const SFetchResult silent = CUrlFetcher::Fetch(server.Url("/silent"), {1000ms, 1000ms});
    EXPECT_TRUE(silent.status == EXmlLoadStatus::Timeout && silent.body.empty() &&
                CUrlFetcher::Fetch(server.Url("/huge"), {10s, 30s, 100 * 1024}).status ==
                    EXmlLoadStatus::TooLarge)
        << silent.detail;
}

TEST(LibrarySource, AFollowedUrlIsAskedConditionallyWithTheNetrcLoginAndCanBeCancelled) {
    CTempDir home, nobody;
    CTempDir::Write(home.File(".netrc"), "machine 127.0.0.1 login team password s3cret\n");
#ifndef _WIN32
    ASSERT_EQ(chmod(home.File(".netrc").c_str(), 0600), 0);
#endif
    const std::string oldHome = getenv("HOME") ? getenv("HOME") : "";
    SetEnv("HOME", home.Path().string());
    CLoopbackHttpServer server;
    server.RequireLogin("dGVhbTpzM2NyZXQ="); // team:s3cret
    server.ServeLibrary("/team.xml", "<level0/>", "\"v1\"");
    const std::string url = server.Url("/team.xml");
    const SFetchResult first = CUrlFetcher::Fetch(url);
    EXPECT_EQ(first.body + first.etag + first.lastModified, "<level0/>\"v1\"\"v1\"");
    // Both validators asked with; changed, the new library and validators.
    // Validators that would add a header line are not sent.
    SFetchOptions again;
    again.ifNoneMatch = first.etag;
    again.ifModifiedSince = first.lastModified;
    CUrlFetcher::Fetch(url, again);
    EXPECT_NE(server.Requests().back().find("If-None-Match: \"v1\"\r\nIf-Modified-Since: \"v1\""),
              std::string::npos);
    server.ServeLibrary("/team.xml", "<level0 header=\"x\"/>", "\"v2\"");
    const SFetchResult changed = CUrlFetcher::Fetch(url, again);
    EXPECT_EQ(changed.body + changed.etag + std::to_string(changed.notModified),
              "<level0 header=\"x\"/>\"v2\"0");
    again.ifNoneMatch = "\"v2\"\r\nX-Evil: 1";
    CUrlFetcher::Fetch(url, again);
    EXPECT_EQ(server.Requests().back().find("X-Evil"), std::string::npos);
    // Without the login the server refuses.
    SetEnv("HOME", nobody.Path().string());
    EXPECT_EQ(CUrlFetcher::Fetch(url).status, EXmlLoadStatus::NotFound);
    SetEnv("HOME", home.Path().string());

    // A request cancelled while its server stays silent ends long before its
    // time cap and never answers; one left alone answers once.
    server.Serve("/silent", 0, {});
    int answers = 0;
    const auto started = std::chrono::steady_clock::now();
    {
        CUrlPollRequest request(server.Url("/silent"), {}, [&](const SFetchResult&) { ++answers; });
        while (std::ranges::count(server.RequestedPaths(), "/silent") == 0)
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, 10s);
    {
        CUrlPollRequest request(url, {}, [&](const SFetchResult& r) {
            answers += r.status == EXmlLoadStatus::Ok ? 10 : 100;
        });
        while (!request.Finished())
            std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(answers, 10);
    SetEnv("HOME", oldHome);
}

TEST(LibrarySource, AUrlIsNamedByItsLastSegment) {
    const std::pair<const char*, const char*> names[] = {
        {"http://h:81/team%20lib/caf%C3%A9.xml?x=1#top", "caf\xC3\xA9.xml"},
        {"http://h/team/", "team"},
        {"https://example.org", "example.org"},
        {"http://h/%FF.xml", "%FF.xml"},
        {"http://h/a%0Ab.xml", "a%0Ab.xml"},
        {"file:///tmp/x/lib.xml", "lib.xml"},
        {"http://", "http://"},
    };
    for (const auto& [url, name] : names)
        EXPECT_EQ(CUrlFetcher::DisplayName(url), name) << url;
}
