// Calendar arithmetic: worked values, the fraction rule, time_t rounding and round trips.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#if defined(_WIN32)
#include <windows.h>  // Varn::FILETIME is the system's FILETIME there
#endif
#include <tessera/TimeStamp.h>

#include "time/calendar.h"

namespace {

using Varn::TimeStamp;

constexpr std::int64_t kSecond = 10'000'000, kMinute = 60 * kSecond, kHour = 60 * kMinute, kDay = 24 * kHour;
constexpr std::int64_t k1970 = 116'444'736'000'000'000, k2000 = 125'911'584'000'000'000;
constexpr std::int64_t k1900 = k2000 - 36'524 * kDay;  // 100 years with 24 leap days

TEST(TimeStampCalendar, FieldsGiveTicks) {
    const struct {
        int year, month, day, hour, minute, second;
        unsigned fraction;
        std::int64_t ticks;
    } cases[] = {
        {1601, 1, 1, 0, 0, 0, 0, 0},
        {1601, 1, 2, 1, 1, 1, 0, kDay + kHour + kMinute + kSecond},
        {1970, 1, 1, 0, 0, 0, 0, k1970},
        {2000, 1, 1, 0, 0, 0, 0, k2000},
        {2000, 3, 1, 0, 0, 0, 0, k2000 + 60 * kDay},  // every 400th year has a leap day
        {1900, 3, 1, 0, 0, 0, 0, k1900 + 59 * kDay},  // other 100th years have none
        // Out-of-range fields fold into the count.
        {2000, 13, 1, 0, 0, 0, 0, k2000 + 366 * kDay},
        {2000, 3, 0, 25, 0, 0, 0, k2000 + 60 * kDay + kHour},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TimeStamp(c.year, c.month, c.day, c.hour, c.minute, c.second, c.fraction).ToInt64(), c.ticks)
            << c.year << '-' << c.month << '-' << c.day << ' ' << c.hour << ':' << c.minute << ':' << c.second;
    }
}

TEST(TimeStampCalendar, FromFileTime) {
    Varn::FILETIME ft{0x89ABCDEFu, 0x01234567u};
    EXPECT_EQ(TimeStamp(ft).ToInt64(), 0x0123456789ABCDEF);
    TimeStamp assigned;
    assigned = Varn::FILETIME{1u, 0xFFFFFFFFu};
    EXPECT_EQ(static_cast<std::uint64_t>(assigned), 0xFFFFFFFF00000001u);
}

TEST(TimeStampCalendar, FractionDigitsRule) {
    const struct {
        unsigned int fraction;
        std::int64_t ticks;
    } cases[] = {
        {0, 0},
        {5, 5'000'000},
        {500000, 5'000'000},
        {123, 1'230'000},
        {1234567, 1'234'567},
        {12345678, 1'234'568},
        {12345674, 1'234'567},
        {99999999, 10'000'000},
        {4294967295u, 4'294'967},
    };
    for (const auto& c : cases) EXPECT_EQ(tessera::time::FractionTicks(c.fraction), c.ticks) << c.fraction;
    // A breakdown's fraction comes back in ticks: 0.05 s reads back as 500,000 -> 0.5 s.
    int y, mo, d, h, mi, s;
    unsigned int f;
    EXPECT_TRUE(TimeStamp(2000, 1, 1, 0, 0, 0, 5).ToYMDHMSF(y, mo, d, h, mi, s, f));
    EXPECT_EQ(f, 5'000'000u);
    TimeStamp(k2000 + 500'000).ToYMDHMSF(y, mo, d, h, mi, s, f);
    EXPECT_EQ(f, 500'000u);
    EXPECT_EQ(TimeStamp(y, mo, d, h, mi, s, f).ToInt64() % 10'000'000, 5'000'000);
}

// Tenths of a second round half up; nothing before 1970 reads as less than 0.
TEST(TimeStampCalendar, ToTimeTRoundsTenthsHalfUp) {
    EXPECT_EQ(TimeStamp(k1970 - 1).ToTime_t(), 0);
    EXPECT_EQ(TimeStamp(k1970 + 4'999'999).ToTime_t(), 0);
    EXPECT_EQ(TimeStamp(k1970 + 5'000'000).ToTime_t(), 1);
}

TEST(TimeStampCalendar, FieldsRoundTripAcrossCenturiesAndLeapDays) {
    // Every day from the epoch to 2400 breaks down into fields that give its start again.
    const std::int64_t end = TimeStamp(2401, 1, 1, 0, 0, 0, 0).ToInt64();
    for (std::int64_t ticks = 0; ticks < end; ticks += kDay) {
        int y, mo, d, h, mi, s;
        unsigned int f;
        TimeStamp(ticks + kDay - 1).ToYMDHMSF(y, mo, d, h, mi, s, f);
        ASSERT_EQ(TimeStamp(y, mo, d, 0, 0, 0, 0).ToInt64(), ticks) << y << '-' << mo << '-' << d;
        ASSERT_EQ((std::vector<unsigned>{unsigned(h), unsigned(mi), unsigned(s), f}),
                  (std::vector<unsigned>{23, 59, 59, 9'999'999}));
    }
}

TEST(TimeStampCalendar, ExtremeValuesWrapWithoutFault) {
    // Wrapping arithmetic: meaningless but defined results (checked under the sanitizers).
    const TimeStamp folded(INT_MAX, INT_MIN, INT_MAX, INT_MAX, INT_MIN, INT_MAX, UINT_MAX);
    for (std::int64_t ticks : {folded.ToInt64(), INT64_MIN, INT64_MIN + 1, std::int64_t{-1}, INT64_MAX}) {
        EXPECT_FALSE(TimeStamp(ticks).ToW3DTF().empty());
        EXPECT_GE(TimeStamp(ticks).ToTime_t(), 0);
    }
    EXPECT_EQ(TimeStamp::FromTime_t(INT64_MAX).ToInt64(),
              static_cast<std::int64_t>((static_cast<std::uint64_t>(INT64_MAX) + 11'644'473'600u) * 10'000'000u));
}

TEST(TimeStampCalendar, QuickBreakdownMatchesFormula) {
    std::mt19937_64 random(1601);
    std::vector<std::int64_t> counts = {0, 1, kDay - 1, kDay, INT64_MAX, INT64_MAX - 9'999'999};
    for (int i = 0; i < 200'000; ++i) counts.push_back(static_cast<std::int64_t>(random() >> (1 + i % 20)));
    for (std::int64_t ticks : counts) {
        const auto quick = tessera::time::FieldsFromTicks(ticks);
        const auto formula = tessera::time::FieldsFromTicksByFormula(ticks);
        ASSERT_EQ(
            (std::vector<int>{quick.year, quick.month, quick.day, quick.hour, quick.minute, quick.second}),
            (std::vector<int>{formula.year, formula.month, formula.day, formula.hour, formula.minute, formula.second}))
            << ticks;
        ASSERT_EQ(quick.fraction, formula.fraction) << ticks;
    }
}

}  // namespace
