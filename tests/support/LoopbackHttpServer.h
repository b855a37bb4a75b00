#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of URL loading. It answers
// one connection at a time from its own thread, with a fixed response per
// path (404 for the others), until it is destroyed.

#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CLoopbackHttpServer {
public:
    CLoopbackHttpServer();
    ~CLoopbackHttpServer();
    CLoopbackHttpServer(const CLoopbackHttpServer&) = delete;
    CLoopbackHttpServer& operator=(const CLoopbackHttpServer&) = delete;

    void Serve(const std::string& path, int status, std::string body, std::string location = {});
    // "<r>" and filler, bytes in all, without a Content-Length.
    void ServeHuge(const std::string& path, std::size_t bytes);
    // The request is read and never answered.
    void ServeSilent(const std::string& path);
    int Port() const { return m_nPort; }
    std::string Url(const std::string& path) const;
    int RequestCount() const { return m_nRequests; } // connections accepted
    std::vector<std::string> RequestedPaths() const;

private:
    struct SRoute {
        int status;
        std::string body;
        std::string location;   // for redirects
        std::size_t nHugeBytes; // body and filler up to this size, no length sent
        bool bSilent;
    };

    void Run();

    int m_nListenFd = -1;
    int m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    std::atomic<int> m_nRequests{0};
    mutable std::mutex m_mutex;
    std::map<std::string, SRoute> m_mapRoutes;
    std::vector<std::string> m_vecPaths;
    std::vector<int> m_vecHeldFds;
    std::thread m_thread;
};
