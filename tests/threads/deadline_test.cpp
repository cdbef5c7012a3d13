// Deadlines of timed waits become whole milliseconds, low 32 bits, never negative.
#include <gtest/gtest.h>

#include "threads/deadline.h"

namespace {

TEST(Deadline, RoundsToTheNearestMillisecondAndClampsNegatives) {
    constexpr std::uint64_t kTicks1970 = 116444736000000000ULL;      // 1970-01-01 in 100-ns ticks
    constexpr std::uint64_t kNow = kTicks1970 + 1000 * 10000000ULL;  // 1970-01-01T00:16:40Z
    struct Case {
        varn_timespec deadline;
        std::uint32_t timeout_ms;
    };
    const Case cases[] = {
        {{1000, 0}, 0},        // now
        {{1000, 1500000}, 2},  // 1.5 ms ahead
        {{1000, 499999}, 0},
        {{1001, 0}, 1000},
        {{999, 0}, 0},                               // past
        {{-1000, 0}, 0},                             // before 1970
        {{1000 + 2147483, 647000000}, 0x7FFFFFFFu},  // 2^31 - 1 ms ahead
        {{1000 + 2147483, 648000000}, 0},            // 2^31 ms: the low 32 bits read negative
        {{1000 + 4294967, 297000000}, 1},            // 2^32 + 1 ms: only the low bits count
    };
    for (const Case& c : cases) {
        EXPECT_EQ(tessera::threads::DeadlineToTimeoutMs(c.deadline, kNow), c.timeout_ms)
            << c.deadline.tv_sec << "s " << c.deadline.tv_nsec << "ns";
    }
}

}  // namespace
