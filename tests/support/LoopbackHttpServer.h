#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of URL loading. It answers
// one connection at a time from its own thread, with a fixed response per
// path (404 for the others), until it is destroyed.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class CLoopbackHttpServer {
public:
    CLoopbackHttpServer() {
        sockaddr_in addr{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t len = sizeof addr;
        auto* any = reinterpret_cast<sockaddr*>(&addr);
        if (bind(m_nListenFd, any, len) != 0 || listen(m_nListenFd, 16) != 0 ||
            getsockname(m_nListenFd, any, &len) != 0)
            throw std::runtime_error("cannot listen on 127.0.0.1");
        m_strBase = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
        m_thread = std::thread([this] { Run(); });
    }
    ~CLoopbackHttpServer() {
        shutdown(m_nListenFd, SHUT_RDWR); // ends the wait in accept
        m_thread.join();
        close(m_nListenFd);
    }

    // Status 0 holds the connection, never answering, until the client hangs
    // up (two seconds at most: the server serves one at a time). With hugeBytes
    // the body is followed by filler up to that size, and no length is sent.
    void Serve(const std::string& path, int status, const std::string& body,
               const std::string& location = {}, std::size_t hugeBytes = 0) {
        const std::string head =
            "HTTP/1.0 " + std::to_string(status) + " Status\r\n" +
            (location.empty() ? "" : "Location: " + location + "\r\n") +
            (hugeBytes ? "" : "Content-Length: " + std::to_string(body.size()) + "\r\n") + "\r\n";
        std::lock_guard lock(m_mutex);
        m_mapRoutes[path] = {status ? head + body : "", status ? head.size() + hugeBytes : 0};
    }
    std::string Url(const std::string& path) const { return m_strBase + path; }
    std::vector<std::string> RequestedPaths() const {
        std::lock_guard lock(m_mutex);
        return m_vecPaths;
    }

private:
    void Run() {
        for (int fd; (fd = accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            // A client that stops reading or writing holds the server up two seconds at most.
            const timeval wait{2, 0};
            setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
            setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
            char request[4096] = {}, path[1024] = {}; // one segment will do: "GET /path ..."
            const bool asked = recv(fd, request, sizeof request - 1, 0) > 0;
            std::unique_lock lock(m_mutex);
            if (asked && sscanf(request, "%*s %1023s", path) == 1)
                m_vecPaths.push_back(path);
            auto [bytes, size] =
                m_mapRoutes.try_emplace(path, "HTTP/1.0 404 N\r\n\r\n", 0).first->second;
            lock.unlock();
            bytes.resize(std::max(bytes.size(), size), 'x');
            // Blocks until all is sent (or for a silent route, until the
            // client hangs up), or two seconds pass.
            bytes.empty() ? recv(fd, request, 1, 0)
                          : send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            close(fd);
        }
    }

    using Route = std::pair<std::string, std::size_t>; // the response, and its size with filler
    int m_nListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    std::string m_strBase;
    mutable std::mutex m_mutex;
    std::map<std::string, Route> m_mapRoutes;
    std::vector<std::string> m_vecPaths;
    std::thread m_thread;
};
