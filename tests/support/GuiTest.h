#pragma once
// Helpers for tests that drive real windows.

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/utils.h>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

// Runs pending events until pred() holds or the time is up; true if it held.
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        wxYield();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The same, naming what was waited for when the time runs out, so a failed
// wait says more than "false".
inline bool WaitFor(const char* what, const std::function<bool()>& pred, int timeoutMs = 5000) {
    const bool held = WaitFor(pred, timeoutMs);
    if (!held)
        ADD_FAILURE() << "waited " << timeoutMs << " ms in vain for " << what;
    return held;
}

// Lets the event loop and the X server settle.
inline void Settle(int ms = 100) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        wxYield();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}
