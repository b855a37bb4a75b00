#include "library/UrlPollRequest.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <utility>

// Shared with the thread, which may outlive its owner when a transfer does
// not end in time.
struct CUrlPollRequest::SShared {
    std::mutex mutex;
    std::condition_variable finished;
    bool bFinished = false;
    Done done;
    std::atomic<bool> bCancel{false};
};

CUrlPollRequest::CUrlPollRequest(std::string url, SFetchOptions options, Done done)
    : m_pShared(std::make_shared<SShared>()), m_nWaitCap(options.totalTimeout) {
    m_pShared->done = std::move(done);
    options.pCancel = &m_pShared->bCancel;
    m_thread = std::thread([shared = m_pShared, url = std::move(url), options] {
        SFetchResult result = CUrlFetcher::Fetch(url, options);
        std::lock_guard lock(shared->mutex);
        if (!shared->bCancel && shared->done)
            shared->done(std::move(result));
        shared->done = nullptr;
        shared->bFinished = true;
        shared->finished.notify_all();
    });
}

CUrlPollRequest::~CUrlPollRequest() {
    Cancel();
    std::unique_lock lock(m_pShared->mutex);
    const bool ended = m_pShared->finished.wait_for(lock, m_nWaitCap + std::chrono::seconds(2),
                                                    [this] { return m_pShared->bFinished; });
    lock.unlock();
    // A transfer that ignores the cancel and its own cap is left to end alone.
    ended ? m_thread.join() : m_thread.detach();
}

bool CUrlPollRequest::Finished() const {
    std::lock_guard lock(m_pShared->mutex);
    return m_pShared->bFinished;
}

void CUrlPollRequest::Cancel() {
    std::lock_guard lock(m_pShared->mutex);
    m_pShared->bCancel = true;
    m_pShared->done = nullptr;
}
