#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace {

bool SendAll(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

CLoopbackHttpServer::CLoopbackHttpServer() {
    m_nListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (m_nListenFd < 0 || bind(m_nListenFd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        listen(m_nListenFd, 16) != 0 ||
        getsockname(m_nListenFd, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        close(m_nListenFd);
        throw std::runtime_error("cannot listen on 127.0.0.1");
    }
    m_nPort = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Run(); });
}

CLoopbackHttpServer::~CLoopbackHttpServer() {
    m_bStop = true;
    m_thread.join();
    for (int fd : m_vecHeldFds)
        close(fd);
    close(m_nListenFd);
}

void CLoopbackHttpServer::Serve(const std::string& path, int status, std::string body,
                                std::string location) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = {status, std::move(body), std::move(location), 0, false};
}

void CLoopbackHttpServer::ServeHuge(const std::string& path, std::size_t bytes) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = {200, "<r>", {}, bytes, false};
}

void CLoopbackHttpServer::ServeSilent(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = {0, {}, {}, 0, true};
}

std::string CLoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
}

std::vector<std::string> CLoopbackHttpServer::RequestedPaths() const {
    std::lock_guard lock(m_mutex);
    return m_vecPaths;
}

void CLoopbackHttpServer::Run() {
    while (!m_bStop) {
        pollfd pfd{m_nListenFd, POLLIN, 0};
        const int fd =
            poll(&pfd, 1, 50) > 0 ? accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (fd < 0)
            continue;
        ++m_nRequests; // a connection counts even if it never sends a request
        // A client that stops reading or writing holds the server up two seconds at most.
        const timeval wait{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        std::string request;
        char buffer[4096];
        for (ssize_t got = 1; got > 0 && request.find("\r\n\r\n") == std::string::npos;) {
            got = recv(fd, buffer, sizeof buffer, 0);
            request.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        }
        const std::size_t start = request.find(' ') + 1; // "GET /path HTTP/1.1"
        const std::string path = request.substr(start, request.find(' ', start) - start);
        SRoute route{404, "not found", {}, 0, false};
        {
            std::lock_guard lock(m_mutex);
            if (!request.empty())
                m_vecPaths.push_back(path);
            if (auto it = m_mapRoutes.find(path); it != m_mapRoutes.end())
                route = it->second;
            if (route.bSilent) {
                m_vecHeldFds.push_back(fd);
                continue;
            }
        }
        std::string head = "HTTP/1.0 " + std::to_string(route.status) + " Status\r\n";
        if (!route.location.empty())
            head += "Location: " + route.location + "\r\n";
        if (route.nHugeBytes == 0)
            head += "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
        bool ok = SendAll(fd, head + "\r\n" + route.body);
        const std::string filler(64 * 1024, 'x');
        for (std::size_t sent = route.body.size(); ok && !m_bStop && sent < route.nHugeBytes;
             sent += filler.size())
            ok = SendAll(fd, filler.substr(0, route.nHugeBytes - sent));
        close(fd);
    }
}
