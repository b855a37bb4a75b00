#pragma once
// The hook's own thread, which alone uses the hook's X connection.
//
// Why a thread and not the program's main loop: the library knows no toolkit
// and must work whatever loop (or none) the program runs; and a busy GUI
// thread delays nothing here: a click is read and its report queued for the
// client window at once, and keymap changes are followed as they come. The
// grab itself is asynchronous, so the server ends it at the release without
// waiting for any client. The entry points, called from any thread, hand
// their request over through an eventfd that the thread polls together with
// the connection, and wait for its answer; so one thread calls Xlib on this
// Display and XInitThreads is not needed.

#include "hook/HookConnection.h"

#include <atomic>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

class CHookThread {
public:
    CHookThread() = default;
    // Stops the thread; bounded even if it is stuck on a dead server.
    ~CHookThread();
    CHookThread(const CHookThread&) = delete;
    CHookThread& operator=(const CHookThread&) = delete;

    void SetClient(unsigned long window) { m_nClient = window; }
    // A ZQ_HOOK_* code.
    int Start();
    void Stop();
    int LastError() const { return m_nLastError; }

private:
    enum class ERequest { Start, Stop, Quit };
    struct SRequest {
        ERequest m_eKind;
        std::promise<int> m_answer;
    };

    int Ask(ERequest kind);
    bool EnsureThreadLocked();
    void Wake();
    void Shutdown();
    void Run();
    // False once asked to quit.
    bool Serve();

    std::mutex m_mutex;
    std::deque<SRequest> m_queue;
    std::thread m_thread;
    int m_nWakeFd = -1;
    bool m_bShutDown = false;
    std::atomic<unsigned long> m_nClient{0};
    std::atomic<int> m_nLastError{0};
    // The hook thread's alone.
    CHookConnection m_connection;
};
