#include "support/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace {

constexpr auto kLifetime = std::chrono::seconds(60);
constexpr int kPollMs = 50;
constexpr int kRequestWaitMs = 2000;

const char* Reason(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

} // namespace

CLoopbackHttpServer::CLoopbackHttpServer() {
    m_nListenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (m_nListenFd < 0)
        throw std::runtime_error("socket failed");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (bind(m_nListenFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
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

void CLoopbackHttpServer::Serve(const std::string& path, SResponse response) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = SRoute{ERoute::Respond, std::move(response), 0};
}

void CLoopbackHttpServer::NeverAnswer(const std::string& path) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = SRoute{ERoute::Hold, {}, 0};
}

void CLoopbackHttpServer::ServeHuge(const std::string& path, std::size_t bytes) {
    std::lock_guard lock(m_mutex);
    m_mapRoutes[path] = SRoute{ERoute::Huge, {}, bytes};
}

std::string CLoopbackHttpServer::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(m_nPort) + path;
}

std::vector<std::string> CLoopbackHttpServer::RequestedPaths() const {
    std::lock_guard lock(m_mutex);
    return m_vecPaths;
}

void CLoopbackHttpServer::Run() {
    const auto deadline = std::chrono::steady_clock::now() + kLifetime;
    while (!m_bStop && std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{m_nListenFd, POLLIN, 0};
        if (poll(&pfd, 1, kPollMs) <= 0)
            continue;
        int fd = accept4(m_nListenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        ++m_nRequests; // a connection counts even if it never sends a request
        HandleConnection(fd);
    }
}

void CLoopbackHttpServer::HandleConnection(int fd) {
    std::string request;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestWaitMs);
    while (request.find("\r\n\r\n") == std::string::npos && !m_bStop &&
           std::chrono::steady_clock::now() < deadline) {
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, kPollMs) <= 0)
            continue;
        char buffer[4096];
        ssize_t got = recv(fd, buffer, sizeof buffer, 0);
        if (got <= 0)
            break;
        request.append(buffer, static_cast<std::size_t>(got));
    }
    std::string path = "/";
    std::size_t start = request.find(' ');
    if (start != std::string::npos) {
        std::size_t end = request.find(' ', start + 1);
        path = request.substr(start + 1, end == std::string::npos ? end : end - start - 1);
    }
    SRoute route;
    route.response.status = 404;
    route.response.body = "<html><body>not found</body></html>";
    route.response.contentType = "text/html";
    {
        std::lock_guard lock(m_mutex);
        if (!request.empty())
            m_vecPaths.push_back(path);
        auto it = m_mapRoutes.find(path);
        if (it != m_mapRoutes.end())
            route = it->second;
    }

    if (route.kind == ERoute::Hold) {
        std::lock_guard lock(m_mutex);
        m_vecHeldFds.push_back(fd);
        return;
    }
    if (route.kind == ERoute::Huge) {
        std::string head = "HTTP/1.0 200 OK\r\nContent-Type: application/xml\r\n\r\n<r>";
        if (SendAll(fd, head.data(), head.size())) {
            const std::string filler(64 * 1024, 'x');
            std::size_t sent = 3;
            while (sent < route.nHugeBytes) {
                std::size_t chunk = std::min(filler.size(), route.nHugeBytes - sent);
                if (!SendAll(fd, filler.data(), chunk))
                    break;
                sent += chunk;
            }
        }
        close(fd);
        return;
    }
    const SResponse& r = route.response;
    std::string head = "HTTP/1.0 " + std::to_string(r.status) + " " + Reason(r.status) + "\r\n";
    head += "Content-Type: " + r.contentType + "\r\n";
    head += "Content-Length: " + std::to_string(r.body.size()) + "\r\n";
    if (!r.location.empty())
        head += "Location: " + r.location + "\r\n";
    head += "\r\n";
    if (SendAll(fd, head.data(), head.size()))
        SendAll(fd, r.body.data(), r.body.size());
    close(fd);
}

bool CLoopbackHttpServer::SendAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        if (m_bStop)
            return false;
        pollfd pfd{fd, POLLOUT, 0};
        int ready = poll(&pfd, 1, kPollMs);
        if (ready == 0)
            continue;
        if (ready < 0 || (pfd.revents & (POLLERR | POLLHUP)))
            return false;
        ssize_t sent = send(fd, data, size, MSG_NOSIGNAL);
        if (sent <= 0)
            return false;
        data += sent;
        size -= static_cast<std::size_t>(sent);
    }
    return true;
}
