#pragma once
// One conditional request for a followed URL, run on a thread of its own so
// that a slow or silent server never holds up the caller. The answer goes to
// a callback on that thread, unless the request was cancelled first.

#include "library/UrlFetcher.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

class CUrlPollRequest {
public:
    using Done = std::function<void(SFetchResult)>;

    // Starts at once; options.pCancel is the request's own.
    CUrlPollRequest(std::string url, SFetchOptions options, Done done);
    // Cancels, then waits for the thread at most the request's time cap.
    ~CUrlPollRequest();
    CUrlPollRequest(const CUrlPollRequest&) = delete;
    CUrlPollRequest& operator=(const CUrlPollRequest&) = delete;

    bool Finished() const;
    // After this returns the callback is never called.
    void Cancel();

private:
    struct SShared;
    std::shared_ptr<SShared> m_pShared;
    std::thread m_thread;
    std::chrono::milliseconds m_nWaitCap;
};
