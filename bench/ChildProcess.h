#pragma once
// A program bench_paste starts: the paste targets, and the stock tools of the
// baseline (xclip, xdotool), run without a shell in between so that the
// baseline is not charged for one.

#include <string>
#include <sys/types.h>
#include <vector>

class CChildProcess {
public:
    CChildProcess() = default;
    ~CChildProcess();
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;

    // Starts `argv`; with `feed`, its standard input is a pipe holding that
    // text, closed after it; with `captureOutput`, its standard output can be
    // read with ReadLine.
    bool Start(const std::vector<std::string>& argv, const std::string* feed = nullptr,
               bool captureOutput = false);
    // A line of its output; empty at the end or after `timeoutMs`.
    std::string ReadLine(int timeoutMs);
    // Waits for it to end; its exit status, -1 when it did not end normally.
    int Wait();
    // Ends it (SIGTERM) if still running, and reaps it.
    void Stop();

private:
    pid_t m_nPid = -1;
    int m_nOutput = -1;
    std::string m_strPending;
};
