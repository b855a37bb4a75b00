#pragma once
// Runs work on a thread of its own and tells whether it finished in time, for
// faults where the program would hang. Work that does not finish is left
// running, detached, until the test program ends: it must own what it uses.

#include <chrono>
#include <exception>
#include <functional>
#include <future>
#include <memory>
#include <thread>

inline bool FinishesWithin(std::chrono::seconds limit, std::function<void()> work) {
    auto done = std::make_shared<std::promise<void>>();
    std::future<void> finished = done->get_future();
    std::thread([done, work = std::move(work)]() mutable {
        // What the work owns goes before the waiter is told, not when this
        // detached thread happens to end, perhaps after the test program.
        try {
            work();
            work = nullptr;
            done->set_value();
        } catch (...) {
            work = nullptr;
            done->set_exception(std::current_exception());
        }
    }).detach();
    if (finished.wait_for(limit) != std::future_status::ready)
        return false;
    finished.get(); // what the work threw
    return true;
}
