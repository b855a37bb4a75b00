#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of URL loading. It answers
// one connection at a time from its own thread, with a fixed response per
// path (404 for the others), until it is destroyed.

#include <atomic>
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

    // Status 0 holds the connection without ever answering. With hugeBytes
    // the body is followed by filler up to that size, and no length is sent.
    void Serve(const std::string& path, int status, std::string body, std::string location = {},
               std::size_t hugeBytes = 0);
    int Port() const { return m_nPort; }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
    }
    std::vector<std::string> RequestedPaths() const;

private:
    struct SRoute {
        int status;
        std::string body, location;
        std::size_t nHugeBytes;
    };
    void Run();

    int m_nListenFd = -1, m_nPort = 0;
    std::atomic<bool> m_bStop{false};
    mutable std::mutex m_mutex;
    std::map<std::string, SRoute> m_mapRoutes;
    std::vector<std::string> m_vecPaths;
    std::vector<int> m_vecHeldFds;
    std::thread m_thread;
};
