// The operations that read the process's time zone, under zones the test sets itself.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include <tessera/TimeStamp.h>

namespace {

using Varn::TimeStamp;

/// Sets TZ for the life of the object and restores the previous setting afterwards.
class ScopedTimeZone {
public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) m_old = old, m_hadOld = true;
        Set(zone);
    }
    ~ScopedTimeZone() { Set(m_hadOld ? m_old.c_str() : nullptr); }

private:
    static void Set(const char* zone) {
#if defined(_WIN32)
        _putenv_s("TZ", zone ? zone : "");
        _tzset();
#else
        zone ? setenv("TZ", zone, 1) : unsetenv("TZ");
        tzset();
#endif
    }
    std::string m_old;
    bool m_hadOld = false;
};

#if defined(_WIN32)
constexpr const char* kNewYork = "EST5EDT";
#else
constexpr const char* kNewYork = "America/New_York";  // needs the tzdata package
#endif

constexpr std::int64_t k2000 = 946'684'800;      // 2000-01-01T00:00:00Z in seconds
constexpr std::int64_t kJuly2000 = 962'409'600;  // 2000-07-01T00:00:00Z

TEST(TimeStampLocalTime, UnderUtc) {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(TimeStamp(2000, 1, 1, 0, 0, 0, 0).GetGMTTime(), k2000);
    EXPECT_EQ(TimeStamp::GetLocalTimeFromGMT(k2000), k2000);
    EXPECT_EQ(TimeStamp::FromUTC(k2000).ToW3DTF(), "2000-01-01T00:00:00Z");
    EXPECT_EQ(TimeStamp::FromUTC(-1).ToInt64(), 0);
    TimeStamp now;
    now.SetToCurrentTime();
    EXPECT_EQ(now.ToInt64() % 10'000'000, 0);
    EXPECT_NEAR(static_cast<double>(now.ToTime_t()), static_cast<double>(std::time(nullptr)), 2.0);
}

TEST(TimeStampLocalTime, UnderNewYork) {
    ScopedTimeZone zone(kNewYork);
    // Without the zone database an unknown zone silently reads as UTC.
    const std::time_t t2000 = k2000;
    if (std::localtime(&t2000)->tm_hour != 19) GTEST_SKIP() << "no time-zone data for " << kNewYork;
    // Local breakdowns follow daylight saving.
    EXPECT_EQ(TimeStamp::FromUTC(k2000).ToW3DTF(), "1999-12-31T19:00:00Z");
    EXPECT_EQ(TimeStamp::FromUTC(kJuly2000).ToW3DTF(), "2000-06-30T20:00:00Z");
    // The UTC breakdown of now is read as standard time: the offset never includes DST.
    EXPECT_EQ(TimeStamp::GetLocalTimeFromGMT(k2000), k2000 - 5 * 3600);
    EXPECT_EQ(TimeStamp::GetLocalTimeFromGMT(kJuly2000), kJuly2000 - 5 * 3600);
    // The fields are read as local time under today's DST flag, then the UTC breakdown of
    // that moment is read again as standard time.
    const std::time_t now = std::time(nullptr);
    const bool summerNow = std::localtime(&now)->tm_isdst > 0;
    const std::int64_t fieldsAsLocal = k2000 + (summerNow ? 4 : 5) * 3600;
    EXPECT_EQ(TimeStamp(2000, 1, 1, 0, 0, 0, 0).GetGMTTime(), fieldsAsLocal + 5 * 3600);
}

}  // namespace
