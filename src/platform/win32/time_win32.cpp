// Time services over the C runtime's 64-bit functions: _time64, _localtime64_s,
// _gmtime64 and _mktime64.
#include "platform/time.h"

#include <time.h>
#include <windows.h>

namespace tessera::platform {

std::int64_t CurrentTime() { return static_cast<std::int64_t>(::_time64(nullptr)); }

bool BreakDownLocal(std::int64_t seconds, std::tm& out) {
    const __time64_t t = static_cast<__time64_t>(seconds);
    return ::_localtime64_s(&out, &t) == 0;
}

bool BreakDownUtc(std::int64_t seconds, std::tm& out) {
    const __time64_t t = static_cast<__time64_t>(seconds);
    // _gmtime64 returns the runtime's per-thread buffer: copy it out at once.
    const std::tm* utc = ::_gmtime64(&t);
    if (utc == nullptr) return false;
    out = *utc;
    out.tm_isdst = 0;
    return true;
}

std::int64_t LocalToSeconds(std::tm& local) { return static_cast<std::int64_t>(::_mktime64(&local)); }

std::uint64_t FileTimeCount(const Varn::FILETIME& fileTime) {
    return (static_cast<std::uint64_t>(fileTime.dwHighDateTime) << 32) | fileTime.dwLowDateTime;
}

}  // namespace tessera::platform
