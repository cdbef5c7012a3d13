// Varn::TimeStamp operations that read the process's time-zone settings.
#include <tessera/TimeStamp.h>

#include "platform/time.h"
#include "time/calendar.h"

namespace Varn {

namespace platform = tessera::platform;

std::int64_t TimeStamp::GetGMTTime() {
    // Start from the current local breakdown so that the daylight-saving flag in force
    // now is the one the fields are converted under.
    std::tm local{};
    platform::BreakDownLocal(platform::CurrentTime(), local);
    const tessera::time::CalendarFields f = tessera::time::FieldsFromTicks(m_ticks);
    local.tm_year = f.year - 1900;
    local.tm_mon = f.month - 1;
    local.tm_mday = f.day;
    local.tm_hour = f.hour;
    local.tm_min = f.minute;
    local.tm_sec = f.second;
    const std::int64_t seconds = platform::LocalToSeconds(local);
    if (seconds == -1) return -1;
    std::tm utc{};
    if (!platform::BreakDownUtc(seconds, utc)) return -1;
    return platform::LocalToSeconds(utc);
}

std::int64_t TimeStamp::GetLocalTimeFromGMT(std::int64_t seconds) {
    std::int64_t offset = 0;
    const std::int64_t now = platform::CurrentTime();
    std::tm utc{};
    if (now != -1 && platform::BreakDownUtc(now, utc)) {
        // The UTC fields read as local standard time (the breakdown's flag is 0).
        const std::int64_t asLocal = platform::LocalToSeconds(utc);
        if (asLocal != -1) offset = now - asLocal;
    }
    return tessera::time::WrapAdd64(seconds, offset);
}

TimeStamp TimeStamp::FromUTC(std::int64_t seconds) {
    std::tm local{};
    if (seconds == -1 || !platform::BreakDownLocal(seconds, local)) return TimeStamp();
    return TimeStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                     0);
}

}  // namespace Varn
