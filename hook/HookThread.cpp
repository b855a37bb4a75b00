#include "hook/HookThread.h"

#include "hook/ErrorTrap.h"
#include "hook/zqMouseHook.h"

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <system_error>

namespace {
// A thread caught in a round trip with a frozen server is left behind at exit
// rather than holding the process.
constexpr auto kQuitWait = std::chrono::seconds(2);
} // namespace

CHookThread::~CHookThread() {
    Shutdown();
}

int CHookThread::Start() {
    if (m_nClient == 0) {
        m_nLastError = ZQ_HOOK_NO_CLIENT;
        return ZQ_HOOK_NO_CLIENT;
    }
    const int result = Ask(ERequest::Start);
    m_nLastError = result;
    return result;
}

void CHookThread::Stop() {
    {
        std::lock_guard lock(m_mutex);
        // Never started: nothing to release.
        if (!m_thread.joinable())
            return;
    }
    Ask(ERequest::Stop);
}

int CHookThread::Ask(ERequest kind) {
    std::future<int> answer;
    {
        std::lock_guard lock(m_mutex);
        if (m_bShutDown || !EnsureThreadLocked())
            return ZQ_HOOK_NO_DISPLAY;
        m_queue.push_back({kind, {}});
        answer = m_queue.back().m_answer.get_future();
    }
    Wake();
    return answer.get();
}

bool CHookThread::EnsureThreadLocked() {
    if (m_thread.joinable())
        return true;
    if (m_nWakeFd < 0)
        m_nWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_nWakeFd < 0)
        return false;
    // Signals meant for the program go to its own threads; and a write to a
    // server that has gone fails with EPIPE here instead of raising SIGPIPE.
    sigset_t all;
    sigset_t previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    try {
        m_thread = std::thread(&CHookThread::Run, this);
    } catch (const std::system_error&) {
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return m_thread.joinable();
}

void CHookThread::Wake() {
    const std::uint64_t one = 1;
    while (write(m_nWakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void CHookThread::Shutdown() {
    std::future<int> done;
    {
        std::lock_guard lock(m_mutex);
        m_bShutDown = true;
        if (m_thread.joinable()) {
            m_queue.push_back({ERequest::Quit, {}});
            done = m_queue.back().m_answer.get_future();
        }
    }
    if (done.valid()) {
        Wake();
        if (done.wait_for(kQuitWait) != std::future_status::ready) {
            m_thread.detach();
            return;
        }
        m_thread.join();
    }
    if (m_nWakeFd >= 0)
        close(m_nWakeFd);
    m_nWakeFd = -1;
    CErrorTrap::RestoreIoHandler();
}

void CHookThread::Run() {
    for (;;) {
        // Events already queued by Xlib would not wake poll().
        if (const int error = m_connection.Pump(0, m_nClient); error != ZQ_HOOK_OK)
            m_nLastError = error;
        pollfd fds[2] = {{m_nWakeFd, POLLIN, 0}, {m_connection.Fd(), POLLIN, 0}};
        const nfds_t count = fds[1].fd >= 0 ? 2 : 1;
        if (poll(fds, count, -1) < 0)
            continue;
        if (fds[0].revents & POLLIN) {
            std::uint64_t value = 0;
            while (read(m_nWakeFd, &value, sizeof value) > 0) {
            }
            if (!Serve())
                return;
            // The connection may have changed: poll it afresh.
            continue;
        }
        if (count == 2 && fds[1].revents != 0)
            if (const int error = m_connection.Pump(fds[1].revents, m_nClient); error != ZQ_HOOK_OK)
                m_nLastError = error;
    }
}

bool CHookThread::Serve() {
    for (;;) {
        SRequest request{ERequest::Stop, {}};
        {
            std::lock_guard lock(m_mutex);
            if (m_queue.empty())
                return true;
            request = std::move(m_queue.front());
            m_queue.pop_front();
        }
        switch (request.m_eKind) {
        case ERequest::Start:
            request.m_answer.set_value(m_connection.Start());
            break;
        case ERequest::Stop:
            m_connection.Stop();
            request.m_answer.set_value(ZQ_HOOK_OK);
            break;
        case ERequest::Quit: {
            m_connection.Close();
            // Nobody queues after the quit; answer any that came before it.
            std::lock_guard lock(m_mutex);
            for (SRequest& left : m_queue)
                left.m_answer.set_value(ZQ_HOOK_NO_DISPLAY);
            m_queue.clear();
            request.m_answer.set_value(ZQ_HOOK_OK);
            return false;
        }
        }
    }
}
