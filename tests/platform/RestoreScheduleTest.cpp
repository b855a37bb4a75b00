// When the clipboard is given back, in the cases the tests on the real server
// leave out for their length: no keys ever, and a second paste's start.

#include "platform/RestoreSchedule.h"

#include <gtest/gtest.h>

#include <vector>

using namespace std::chrono_literals;

TEST(RestoreScheduleTest, DueAfterTheLastReadFollowingTheKeysOrAfterAWait) {
    using S = CRestoreSchedule;
    struct SCase {
        const char* name;
        std::vector<std::pair<char, int>> events; // 'k' keys, 'r' a read, 's' a start, at ms
        std::chrono::milliseconds due;
    };
    for (const SCase& test : std::vector<SCase>{
             {"a read without keys", {{'r', 5}}, S::kNoKeys},
             {"a read before the keys", {{'r', 5}, {'k', 400}}, 400ms + S::kNoRequestAfterKeys},
             {"reads after the keys", {{'k', 10}, {'r', 30}, {'r', 200}}, 200ms + S::kQuiet},
             {"a second paste", {{'k', 10}, {'r', 30}, {'s', 100}}, 100ms + S::kNoKeys},
         }) {
        CRestoreSchedule schedule;
        const S::Clock::time_point start{};
        schedule.Start(start);
        for (const auto& [what, ms] : test.events) {
            const auto at = start + std::chrono::milliseconds(ms);
            what == 'k' ? schedule.KeysSent(at)
                        : (what == 'r' ? schedule.Requested(at) : schedule.Start(at));
        }
        EXPECT_EQ(schedule.DueAt() - start, test.due) << test.name;
        EXPECT_TRUE(!schedule.Due(schedule.DueAt() - 1ms) && schedule.Due(schedule.DueAt()))
            << test.name;
    }
}
