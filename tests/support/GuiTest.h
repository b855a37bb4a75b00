#pragma once
// Helpers for tests that drive real windows.

#include <wx/app.h>
#include <wx/utils.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

// Runs pending events until pred() holds or the time is up; true if it held,
// else a failure that names what was waited for.
inline bool WaitFor(const char* what, const std::function<bool()>& pred, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) {
            ADD_FAILURE() << "waited " << timeoutMs << " ms in vain for " << what;
            return false;
        }
        wxYield();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}
