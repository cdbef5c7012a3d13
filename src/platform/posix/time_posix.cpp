// Time services over the C library: time, localtime_r, gmtime_r and mktime on a 64-bit
// time_t.
#include "platform/time.h"

#include <time.h>

namespace tessera::platform {

static_assert(sizeof(time_t) >= sizeof(std::int64_t), "the time services need a 64-bit time_t");

std::int64_t CurrentTime() { return static_cast<std::int64_t>(::time(nullptr)); }

bool BreakDownLocal(std::int64_t seconds, std::tm& out) {
    const time_t t = static_cast<time_t>(seconds);
    return ::localtime_r(&t, &out) != nullptr;
}

bool BreakDownUtc(std::int64_t seconds, std::tm& out) {
    const time_t t = static_cast<time_t>(seconds);
    if (::gmtime_r(&t, &out) == nullptr) return false;
    out.tm_isdst = 0;
    return true;
}

std::int64_t LocalToSeconds(std::tm& local) { return static_cast<std::int64_t>(::mktime(&local)); }

std::uint64_t FileTimeCount(const Varn::FILETIME& fileTime) {
    return (std::uint64_t{fileTime.dwHighDateTime} << 32) | fileTime.dwLowDateTime;
}

}  // namespace tessera::platform
