#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of URL loading. It answers
// one connection at a time from its own thread, with a fixed response per
// path (404 for the others), until it is destroyed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class CLoopbackHttpServer {
public:
    CLoopbackHttpServer() {
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        auto* any = reinterpret_cast<sockaddr*>(&addr);
        if (bind(m_nListenFd, any, len) != 0 || listen(m_nListenFd, 16) != 0 ||
            getsockname(m_nListenFd, any, &len) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        m_nPort = ntohs(addr.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~CLoopbackHttpServer() {
        shutdown(m_nListenFd, SHUT_RDWR); // ends the wait in accept
        m_thread.join();
        for (int fd : m_vecHeldFds)
            close(fd);
        close(m_nListenFd);
    }
    CLoopbackHttpServer(const CLoopbackHttpServer&) = delete;
    CLoopbackHttpServer& operator=(const CLoopbackHttpServer&) = delete;

    // Status 0 holds the connection without ever answering. With hugeBytes
    // the body is followed by filler up to that size, and no length is sent.
    void Serve(const std::string& path, int status, std::string body, std::string location = {},
               std::size_t hugeBytes = 0) {
        std::lock_guard lock(m_mutex);
        m_mapRoutes[path] = {status, std::move(body), std::move(location), hugeBytes};
    }
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
    }
    int Port() const { return m_nPort; }
    std::vector<std::string> RequestedPaths() const {
        std::lock_guard lock(m_mutex);
        return m_vecPaths;
    }

private:
    struct SRoute {
        int status;
        std::string body, location;
        std::size_t nHugeBytes;
    };

    void Run() {
        for (int fd; (fd = accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            // A client that stops reading or writing holds the server up two seconds at most.
            const timeval wait{2, 0};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
            std::string request(4096, '\0'); // one segment will do
            request.resize(std::max<ssize_t>(recv(fd, request.data(), request.size(), 0), 0));
            const std::size_t start = request.find(' ') + 1; // "GET /path HTTP/1.1"
            const std::string path = request.substr(start, request.find(' ', start) - start);
            std::unique_lock lock(m_mutex);
            if (!request.empty())
                m_vecPaths.push_back(path);
            const auto it = m_mapRoutes.find(path);
            const SRoute r = it != m_mapRoutes.end() ? it->second : SRoute{404, "none", {}, 0};
            if (r.status == 0) {
                m_vecHeldFds.push_back(fd);
                continue;
            }
            lock.unlock();
            std::string bytes =
                "HTTP/1.0 " + std::to_string(r.status) + " Status\r\n" +
                (r.location.empty() ? "" : "Location: " + r.location + "\r\n") +
                (r.nHugeBytes ? "" : "Content-Length: " + std::to_string(r.body.size()) + "\r\n");
            bytes += "\r\n" + r.body;
            bytes.resize(std::max(bytes.size(), bytes.size() - r.body.size() + r.nHugeBytes), 'x');
            // Blocks until all is sent, the client hangs up, or two seconds pass.
            send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            close(fd);
        }
    }

    int m_nListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0), m_nPort = 0;
    mutable std::mutex m_mutex;
    std::map<std::string, SRoute> m_mapRoutes;
    std::vector<std::string> m_vecPaths;
    std::vector<int> m_vecHeldFds;
    std::thread m_thread;
};
