#include "ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

CChildProcess::~CChildProcess() {
    Stop();
}

bool CChildProcess::Start(const std::vector<std::string>& argv, const std::string* feed,
                          bool captureOutput) {
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if ((feed && pipe(input) != 0) || (captureOutput && pipe(output) != 0))
        return false;
    std::vector<char*> args;
    for (const std::string& arg : argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    m_nPid = fork();
    if (m_nPid < 0)
        return false;
    if (m_nPid == 0) {
        if (feed) {
            dup2(input[0], STDIN_FILENO);
            close(input[0]);
            close(input[1]);
        }
        if (captureOutput) {
            dup2(output[1], STDOUT_FILENO);
            close(output[0]);
            close(output[1]);
        } else {
            // xclip stays in the background serving the selection: it must
            // not hold our output open (a reader would wait for its end).
            const int null = open("/dev/null", O_WRONLY);
            dup2(null, STDOUT_FILENO);
            dup2(null, STDERR_FILENO);
            close(null);
        }
        execvp(args[0], args.data());
        _exit(127);
    }
    if (feed) {
        close(input[0]);
        // The texts are far below a pipe's capacity: one write, no deadlock.
        const ssize_t written = write(input[1], feed->data(), feed->size());
        close(input[1]);
        if (written != static_cast<ssize_t>(feed->size()))
            return false;
    }
    if (captureOutput) {
        close(output[1]);
        m_nOutput = output[0];
    }
    return true;
}

std::string CChildProcess::ReadLine(int timeoutMs) {
    for (;;) {
        const auto end = m_strPending.find('\n');
        if (end != std::string::npos) {
            std::string line = m_strPending.substr(0, end);
            m_strPending.erase(0, end + 1);
            return line;
        }
        pollfd fd{m_nOutput, POLLIN, 0};
        if (m_nOutput < 0 || poll(&fd, 1, timeoutMs) <= 0)
            return {};
        char buffer[256];
        const ssize_t n = read(m_nOutput, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        m_strPending.append(buffer, static_cast<std::size_t>(n));
    }
}

int CChildProcess::Wait() {
    if (m_nPid <= 0)
        return -1;
    int status = 0;
    pid_t got;
    do
        got = waitpid(m_nPid, &status, 0);
    while (got < 0 && errno == EINTR);
    m_nPid = -1;
    return got > 0 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void CChildProcess::Stop() {
    if (m_nPid > 0) {
        kill(m_nPid, SIGTERM);
        Wait();
    }
    if (m_nOutput >= 0) {
        close(m_nOutput);
        m_nOutput = -1;
    }
}
