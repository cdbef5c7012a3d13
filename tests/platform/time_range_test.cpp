// The platform's clock and calendar conversions over the whole 64-bit range the library
// uses: instants past 2038 (beyond a 32-bit time_t) and past 2106 (beyond an unsigned
// one) break down and convert back as exactly as instants of today, on 32-bit Windows too.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>

#include "platform/time.h"

namespace {

struct Instant {
    const char* utc;  // the instant as W3C date-time text, for the failure message
    std::int64_t seconds;
    int year, month, day, hour, minute, second;
};

constexpr Instant kInstants[] = {
    {"2000-01-01T00:00:00Z", 946'684'800, 2000, 1, 1, 0, 0, 0},
    {"2038-01-19T03:14:07Z", 2'147'483'647, 2038, 1, 19, 3, 14, 7},
    {"2038-01-19T03:14:08Z", 2'147'483'648, 2038, 1, 19, 3, 14, 8},
    {"2106-02-07T06:28:16Z", 4'294'967'296, 2106, 2, 7, 6, 28, 16},
    {"2999-12-31T12:00:00Z", 32'503'636'800, 2999, 12, 31, 12, 0, 0},
};

TEST(PlatformTime, InstantsPast2038BreakDownAsUtc) {
    for (const Instant& instant : kInstants) {
        SCOPED_TRACE(instant.utc);
        std::tm utc{};
        ASSERT_TRUE(tessera::platform::BreakDownUtc(instant.seconds, utc));
        EXPECT_EQ(utc.tm_year + 1900, instant.year);
        EXPECT_EQ(utc.tm_mon + 1, instant.month);
        EXPECT_EQ(utc.tm_mday, instant.day);
        EXPECT_EQ(utc.tm_hour, instant.hour);
        EXPECT_EQ(utc.tm_min, instant.minute);
        EXPECT_EQ(utc.tm_sec, instant.second);
        EXPECT_EQ(utc.tm_isdst, 0);
    }
}

// Whatever the process's time zone, a local breakdown converts back to its instant.
TEST(PlatformTime, LocalBreakdownsPast2038ConvertBack) {
    for (const Instant& instant : kInstants) {
        SCOPED_TRACE(instant.utc);
        std::tm local{};
        ASSERT_TRUE(tessera::platform::BreakDownLocal(instant.seconds, local));
        EXPECT_EQ(tessera::platform::LocalToSeconds(local), instant.seconds);
    }
}

}  // namespace
