// When the clipboard is given back: only the target's read counts, and each
// read restarts the quiet time.

#include "platform/RestoreSchedule.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = CRestoreSchedule::Clock;

struct SCase {
    const char* name;
    // Milliseconds after the start: 'k' the keys, 'r' a request, 's' a new start.
    std::vector<std::pair<char, int>> events;
    std::chrono::milliseconds due;
};

} // namespace

TEST(RestoreScheduleTest, DueAfterTheLastReadFollowingTheKeysOrAfterAWait) {
    const std::vector<SCase> cases{
        {"never any keys", {}, CRestoreSchedule::kNoKeys},
        {"a manager's read, no keys", {{'r', 5}}, CRestoreSchedule::kNoKeys},
        {"keys, no read", {{'k', 400}}, 400ms + CRestoreSchedule::kNoRequestAfterKeys},
        {"a manager's read, then keys",
         {{'r', 5}, {'k', 400}},
         400ms + CRestoreSchedule::kNoRequestAfterKeys},
        {"reads after the keys",
         {{'k', 10}, {'r', 30}, {'r', 200}},
         200ms + CRestoreSchedule::kQuiet},
        {"a second paste's start",
         {{'k', 10}, {'r', 30}, {'s', 100}},
         100ms + CRestoreSchedule::kNoKeys},
        {"a second paste's keys",
         {{'k', 10}, {'r', 30}, {'s', 100}, {'k', 150}},
         150ms + CRestoreSchedule::kNoRequestAfterKeys},
    };
    for (const SCase& test : cases) {
        CRestoreSchedule schedule;
        const Clock::time_point start{};
        schedule.Start(start);
        auto origin = start;
        for (const auto& [what, ms] : test.events) {
            const auto at = start + std::chrono::milliseconds(ms);
            what == 'k'   ? schedule.KeysSent(at)
            : what == 'r' ? schedule.Requested(at)
                          : schedule.Start(origin = at);
        }
        EXPECT_EQ(schedule.DueAt() - start, test.due) << test.name;
        EXPECT_FALSE(schedule.Due(schedule.DueAt() - 1ms)) << test.name;
        EXPECT_TRUE(schedule.Due(schedule.DueAt())) << test.name;
    }
    CRestoreSchedule stopped;
    stopped.Start(Clock::time_point{});
    stopped.Stop();
    stopped.KeysSent(Clock::time_point{} + 1ms);
    EXPECT_FALSE(stopped.Running() || stopped.Due(Clock::time_point{} + 1h));
}
