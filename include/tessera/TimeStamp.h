// A point in time as 100-nanosecond ticks since 1601-01-01T00:00:00, with calendar
// fields, time_t seconds, FILETIME and RFC 3339 / ISO 8601 / W3C text forms.
#ifndef TESSERA_TIMESTAMP_H
#define TESSERA_TIMESTAMP_H

#include <cstdint>
#include <string>

#include <tessera/Export.h>

#if defined(_WIN32)
// The system's own FILETIME; <minwindef.h> is the smallest system header that defines it.
#include <minwindef.h>
namespace Varn {
using FILETIME = ::FILETIME;
}  // namespace Varn
#else
namespace Varn {
/// A 64-bit tick count split in two 32-bit halves, as the Windows FILETIME.
struct FILETIME {
    std::uint32_t dwLowDateTime;
    std::uint32_t dwHighDateTime;
};
}  // namespace Varn
#endif

namespace Varn {

/// One point in time: a signed count of 100-nanosecond ticks since 1601-01-01T00:00:00
/// (proleptic Gregorian calendar), read as UTC except by GetGMTTime and FromUTC.
/// Calendar arithmetic never fails: out-of-range fields are folded into the count.
class TESSERA_API TimeStamp {
public:
    /// 1601-01-01T00:00:00 (tick 0).
    TimeStamp();
    /// The given tick count, unchecked.
    TimeStamp(std::int64_t ticks);
    /// The tick count high * 2^32 + low of a FILETIME, bit for bit.
    TimeStamp(const FILETIME& fileTime);
    /// From calendar fields; fraction holds the second's decimal digits (5 or 50: 0.5 s).
    TimeStamp(int year, int month, int day, int hour, int minute, int second, unsigned int fraction);

    /// Copies the tick count of another stamp.
    TimeStamp(const TimeStamp& other) = default;
    /// Copies the tick count of another stamp.
    TimeStamp& operator=(const TimeStamp& other) = default;
    /// Takes the tick count of a FILETIME.
    TimeStamp& operator=(const FILETIME& fileTime);

    /// The tick count.
    std::int64_t ToInt64() const;
    /// The tick count.
    operator std::int64_t() const;
    /// The tick count, as an unsigned number.
    operator std::uint64_t();

    /// Seconds since 1970-01-01T00:00:00 UTC, rounded to the nearest; 0 up to 1970.
    std::int64_t ToTime_t() const;
    /// The stamp of a count of seconds since 1970-01-01T00:00:00 UTC.
    static TimeStamp FromTime_t(std::int64_t seconds);
    /// Same as FromTime_t.
    static TimeStamp FromTime64_t(std::int64_t seconds);

    /// Calendar fields; fraction comes back in ticks (0 to 9,999,999). Always true.
    bool ToYMDHMSF(int& year, int& month, int& day, int& hour, int& minute, int& second, unsigned int& fraction) const;

    /// Sets the stamp to the current UTC time in whole seconds.
    void SetToCurrentTime();

    /// W3C date-time text "YYYY-MM-DDThh:mm:ssZ" (no fraction; year without padding).
    std::string ToW3DTF() const;
    /// Writes ToW3DTF() to out; true when out is not empty (always).
    bool ToRFC3339(std::string& out);
    /// Reads RFC 3339 text ("Z" or "+hh:mm"/"-hh:mm") as UTC; false leaves the stamp as is.
    bool FromRFC3339(const std::string& text);

    /// Writes "YYYY-MM-DDThh:mm:ss", or "YYYYMMDDThh:mm:ss" when basic; always true.
    bool ToISO8601(std::string& out, bool basic);
    /// Reads ISO 8601 extended or basic text as UTC; false leaves the stamp as is.
    /// Throws std::out_of_range for text of fewer than 6 characters without a "-".
    bool FromISO8601(const std::string& text);

    /// Fields read as local time under today's daylight-saving flag, their UTC fields
    /// read again as local standard time: seconds since 1970, or -1 if not convertible.
    std::int64_t GetGMTTime();
    /// Seconds shifted by the current offset of local standard time from UTC.
    static std::int64_t GetLocalTimeFromGMT(std::int64_t seconds);
    /// The local calendar fields of seconds since 1970; the zero stamp for -1 or no breakdown.
    static TimeStamp FromUTC(std::int64_t seconds);

private:
    std::int64_t m_ticks;
};

}  // namespace Varn

#endif  // TESSERA_TIMESTAMP_H
