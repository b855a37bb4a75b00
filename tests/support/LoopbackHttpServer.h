#pragma once
// A tiny HTTP/1.0 server on 127.0.0.1 for tests of URL loading. It answers
// one connection at a time from its own thread, with a fixed response per
// path (404 for the others), until it is destroyed. A library served with an
// ETag answers 304 to a request that names it; a login, once required, is
// asked for with 401.

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

class CLoopbackHttpServer {
#ifdef _WIN32
    using Socket = SOCKET;
    static int CloseSocket(Socket s) {
        return closesocket(s);
    }
    static int Poll(pollfd* p, int ms) {
        return WSAPoll(p, 1, ms);
    }
    static Socket OpenSocket() {
        static const bool s_started = [] {
            WSADATA data;
            return WSAStartup(MAKEWORD(2, 2), &data) == 0;
        }();
        return s_started ? socket(AF_INET, SOCK_STREAM, 0) : INVALID_SOCKET;
    }
    static void SetTimeouts(Socket s) {
        const DWORD wait = 2000;
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, reinterpret_cast<const char*>(&wait), sizeof wait);
    }
    static Socket Accept(Socket s) {
        return accept(s, nullptr, nullptr);
    }
    static constexpr int kNoSignal = 0;
#else
    using Socket = int;
    static int CloseSocket(Socket s) {
        return close(s);
    }
    static int Poll(pollfd* p, int ms) {
        return poll(p, 1, ms);
    }
    static Socket OpenSocket() {
        return socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    }
    static void SetTimeouts(Socket s) {
        const timeval wait{2, 0};
        setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        setsockopt(s, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
    }
    static Socket Accept(Socket s) {
        return accept4(s, nullptr, nullptr, SOCK_CLOEXEC);
    }
    static constexpr int kNoSignal = MSG_NOSIGNAL;
#endif

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
        m_strBase = "http://127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
        m_thread = std::thread([this] { Run(); });
    }
    ~CLoopbackHttpServer() {
        m_bStopping = true; // ends a held connection
#ifdef _WIN32
        CloseSocket(m_nListenFd); // ends the wait in accept; shutdown does not there
        m_thread.join();
#else
        shutdown(m_nListenFd, SHUT_RDWR); // ends the wait in accept
        m_thread.join();
        close(m_nListenFd);
#endif
    }

    // Status 0 holds the connection, never answering, until the client hangs
    // up or the server goes. With hugeBytes the body is followed by filler up
    // to that size, and no length is sent.
    void Serve(const std::string& path, int status, const std::string& body,
               const std::string& location = {}, std::size_t hugeBytes = 0,
               const std::string& etag = {}) {
        const std::string head =
            "HTTP/1.0 " + std::to_string(status) + " Status\r\n" +
            (location.empty() ? "" : "Location: " + location + "\r\n") +
            (etag.empty() ? "" : "ETag: " + etag + "\r\nLast-Modified: " + etag + "\r\n") +
            (hugeBytes ? "" : "Content-Length: " + std::to_string(body.size()) + "\r\n") + "\r\n";
        std::lock_guard lock(m_mutex);
        m_mapRoutes[path] = {status ? head + body : "", status ? head.size() + hugeBytes : 0, etag};
    }
    // A library with an ETag (and the same text as Last-Modified).
    void ServeLibrary(const std::string& path, const std::string& body, const std::string& etag) {
        Serve(path, 200, body, {}, 0, etag);
    }
    // Requests without "Authorization: Basic <credentials>" get 401.
    void RequireLogin(const std::string& base64Credentials) {
        std::lock_guard lock(m_mutex);
        m_strLogin = "Authorization: Basic " + base64Credentials + "\r\n";
    }
    // Every request as it came, headers and all.
    std::vector<std::string> Requests() const {
        std::lock_guard lock(m_mutex);
        return m_vecRequests;
    }
    std::string Url(const std::string& path) const {
        return m_strBase + path;
    }
    std::vector<std::string> RequestedPaths() const {
        std::lock_guard lock(m_mutex);
        return m_vecPaths;
    }

private:
    void Run() {
        for (Socket fd; (fd = Accept(m_nListenFd)) != Socket(-1);) {
            // A client that stops reading or writing holds the server up two seconds at most.
            SetTimeouts(fd);
            char request[4096] = {}, path[1024] = {}; // one segment will do: "GET /path ..."
            const bool asked = recv(fd, request, sizeof request - 1, 0) > 0;
            std::unique_lock lock(m_mutex);
            if (asked && sscanf(request, "%*s %1023s", path) == 1) {
                m_vecPaths.push_back(path);
                m_vecRequests.push_back(request);
            }
            auto [bytes, size, etag] =
                m_mapRoutes.try_emplace(path, "HTTP/1.0 404 N\r\n\r\n", 0, "").first->second;
            const std::string text = request;
            if (!m_strLogin.empty() && text.find(m_strLogin) == std::string::npos)
                bytes = "HTTP/1.0 401 Login\r\nWWW-Authenticate: Basic realm=\"t\"\r\n\r\n";
            else if (!etag.empty() && text.find("If-None-Match: " + etag + "\r\n") != text.npos)
                bytes = "HTTP/1.0 304 Same\r\n\r\n";
            lock.unlock();
            bytes.resize(std::max(bytes.size(), size), 'x');
            // Blocks until all is sent, or two seconds pass; a silent route
            // waits for the client to hang up or the server to go.
            if (!bytes.empty())
                send(fd, bytes.data(), static_cast<int>(bytes.size()), kNoSignal);
            for (pollfd p{fd, POLLIN, 0}; bytes.empty() && !m_bStopping;)
                if (Poll(&p, 50) > 0 && recv(fd, request, sizeof request, 0) <= 0)
                    break;
            CloseSocket(fd);
        }
    }

    struct Route {
        std::string bytes; // the response
        std::size_t size;  // its size with filler
        std::string etag;
    };
    Socket m_nListenFd = OpenSocket();
    std::string m_strBase;
    mutable std::mutex m_mutex;
    std::map<std::string, Route> m_mapRoutes;
    std::vector<std::string> m_vecPaths;
    std::vector<std::string> m_vecRequests;
    std::string m_strLogin;
    std::atomic<bool> m_bStopping{false};
    std::thread m_thread;
};
