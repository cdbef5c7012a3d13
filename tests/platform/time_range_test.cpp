// The platform's clock and calendar conversions over the whole 64-bit range the library
// uses: instants past 2038 (beyond a 32-bit time_t) and past 2106 (beyond an unsigned
// one) break down and convert back as exactly as instants of today, on 32-bit Windows too.
#include <gtest/gtest.h>

#include <cstdint>
#include <ctime>
#include <vector>

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

// The UTC breakdown gives the instant's fields; a local breakdown, whatever the process's
// time zone, converts back to the instant.
TEST(PlatformTime, InstantsPast2038BreakDownAndConvertBack) {
    for (const Instant& instant : kInstants) {
        SCOPED_TRACE(instant.utc);
        std::tm utc{}, local{};
        ASSERT_TRUE(tessera::platform::BreakDownUtc(instant.seconds, utc));
        EXPECT_EQ((std::vector<int>{utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min,
                                    utc.tm_sec, utc.tm_isdst}),
                  (std::vector<int>{instant.year, instant.month, instant.day, instant.hour, instant.minute,
                                    instant.second, 0}));
        ASSERT_TRUE(tessera::platform::BreakDownLocal(instant.seconds, local));
        EXPECT_EQ(tessera::platform::LocalToSeconds(local), instant.seconds);
    }
}

}  // namespace
