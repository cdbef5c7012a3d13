// The runtime's clock and time-zone services: 64-bit seconds since 1970-01-01T00:00:00
// UTC, broken down and converted back through the process's time-zone settings.
#ifndef TESSERA_PLATFORM_TIME_H
#define TESSERA_PLATFORM_TIME_H

#include <cstdint>
#include <ctime>

#include <tessera/TimeStamp.h>

namespace tessera::platform {

/// The current time in seconds since 1970 UTC, or -1 if the clock cannot be read.
std::int64_t CurrentTime();

/// Breaks seconds since 1970 down as local time, tm_isdst telling whether daylight
/// saving is in force; false when the system cannot break that time down.
bool BreakDownLocal(std::int64_t seconds, std::tm& out);

/// Breaks seconds since 1970 down as UTC, tm_isdst 0; false when it cannot.
bool BreakDownUtc(std::int64_t seconds, std::tm& out);

/// Converts a local-time breakdown to seconds since 1970 UTC, honouring its tm_isdst
/// (positive: daylight saving, 0: standard time), and normalises the breakdown; -1 when
/// the fields cannot be converted.
std::int64_t LocalToSeconds(std::tm& local);

/// The 64-bit count a FILETIME holds: high half * 2^32 + low half.
std::uint64_t FileTimeCount(const Varn::FILETIME& fileTime);

}  // namespace tessera::platform

#endif
