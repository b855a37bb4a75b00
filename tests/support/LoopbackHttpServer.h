#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of URL loading. It answers
// one connection at a time from its own thread, with a fixed response per
// path, and stops by itself when destroyed or at the latest after a minute.

#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CLoopbackHttpServer {
public:
    struct SResponse {
        int status = 200;
        std::string body;
        std::string contentType = "application/xml";
        std::string location; // for redirects
    };

    CLoopbackHttpServer(); // every path is 404 until set otherwise
    ~CLoopbackHttpServer();
    CLoopbackHttpServer(const CLoopbackHttpServer&) = delete;
    CLoopbackHttpServer& operator=(const CLoopbackHttpServer&) = delete;

    void Serve(const std::string& path, SResponse response);
    // Accepts the connection and holds it without ever answering.
    void NeverAnswer(const std::string& path);
    // Sends <r> followed by filler, bytes in all, without a Content-Length.
    void ServeHuge(const std::string& path, std::size_t bytes);

    int Port() const { return m_nPort; }
    std::string Url(const std::string& path) const;
    int RequestCount() const { return m_nRequests; } // connections accepted
    std::vector<std::string> RequestedPaths() const;

private:
    enum class ERoute { Respond, Hold, Huge };
    struct SRoute {
        ERoute kind = ERoute::Respond;
        SResponse response;
        std::size_t nHugeBytes = 0;
    };

    void Run();
    void HandleConnection(int fd);
    bool SendAll(int fd, const char* data, std::size_t size);

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
