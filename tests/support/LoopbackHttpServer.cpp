#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

CLoopbackHttpServer::CLoopbackHttpServer() {
    m_nListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
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

CLoopbackHttpServer::~CLoopbackHttpServer() {
    m_bStop = true;
    m_thread.join();
    for (int fd : m_vecHeldFds)
        close(fd);
    close(m_nListenFd);
}

void CLoopbackHttpServer::Serve(const std::string& path, int status, std::string body,
                                std::string location, std::size_t hugeBytes) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = {status, std::move(body), std::move(location), hugeBytes};
}

std::vector<std::string> CLoopbackHttpServer::RequestedPaths() const {
    std::lock_guard lock(m_mutex);
    return m_vecPaths;
}

void CLoopbackHttpServer::Run() {
    while (!m_bStop) {
        pollfd listening{m_nListenFd, POLLIN, 0};
        const int fd =
            poll(&listening, 1, 50) > 0 ? accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC) : -1;
        if (fd < 0)
            continue;
        // A client that stops reading or writing holds the server up two seconds at most.
        const timeval wait{2, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait);
        std::string request(4096, '\0');
        const ssize_t got = recv(fd, request.data(), request.size(), 0); // one segment will do
        request.resize(static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        const std::size_t start = request.find(' ') + 1; // "GET /path HTTP/1.1"
        const std::string path = request.substr(start, request.find(' ', start) - start);
        std::unique_lock lock(m_mutex);
        if (!request.empty())
            m_vecPaths.push_back(path);
        const auto it = m_mapRoutes.find(path);
        const SRoute route = it != m_mapRoutes.end() ? it->second : SRoute{404, "none", {}, 0};
        if (route.status == 0) {
            m_vecHeldFds.push_back(fd);
            continue;
        }
        lock.unlock();
        std::string bytes = "HTTP/1.0 " + std::to_string(route.status) + " Status\r\n";
        bytes += route.location.empty() ? "" : "Location: " + route.location + "\r\n";
        bytes +=
            route.nHugeBytes ? "" : "Content-Length: " + std::to_string(route.body.size()) + "\r\n";
        bytes += "\r\n" + route.body;
        bytes.resize(std::max(bytes.size(), route.nHugeBytes + bytes.size() - route.body.size()),
                     'x');
        // Blocks until all is sent, the client hangs up, or two seconds pass.
        send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        close(fd);
    }
}
