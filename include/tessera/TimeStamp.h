/// \file
/// Varn::TimeStamp: a point in time as 100-nanosecond ticks since 1601-01-01T00:00:00 UTC,
/// with calendar fields, time_t seconds, FILETIME and RFC 3339 / ISO 8601 / W3C text forms.
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

/// One point in time: a signed count of 100-nanosecond ticks since 1601-01-01T00:00:00 UTC
/// in the proleptic Gregorian calendar, the unit and epoch of the Windows FILETIME. It
/// converts to and from calendar fields, `time_t` seconds, FILETIME, the current time and
/// three text forms (W3C date-time, RFC 3339, ISO 8601):
///
/// ```
/// Varn::TimeStamp stamp;
/// stamp.FromRFC3339("2024-02-29T12:34:56.5+01:00");  // true; held as UTC
/// stamp.ToW3DTF();                                   // "2024-02-29T11:34:56Z"
/// std::string iso;
/// stamp.ToISO8601(iso, true);                        // iso is "20240229T11:34:56"
/// stamp.ToTime_t();                                  // 1709206497 (rounded to the second)
/// Varn::TimeStamp(2000, 1, 1, 0, 0, 0, 0).ToInt64(); // 125911584000000000
/// ```
///
/// Calendar arithmetic never fails: a field out of its range enters the arithmetic as it
/// is (hour 25 is 01:00 the next day). The text readers return false, leaving the stamp
/// as it was, for text they do not accept. Stamps before 1601 (negative counts) are not
/// supported by the conversions to calendar fields and text.
///
/// A stamp is a plain 64-bit value without a lock: distinct stamps may be used on any
/// threads, one stamp on one thread at a time. Only GetGMTTime, GetLocalTimeFromGMT and
/// FromUTC read the process's time zone; every other operation is UTC.
class TESSERA_API TimeStamp {
public:
    /// Tick 0: 1601-01-01T00:00:00 UTC.
    TimeStamp();
    /// The stamp `ticks` 100-nanosecond ticks after 1601-01-01T00:00:00 UTC, unchecked.
    TimeStamp(std::int64_t ticks);
    /// The tick count `dwHighDateTime` * 2^32 + `dwLowDateTime` of a FILETIME, bit for bit.
    TimeStamp(const FILETIME& fileTime);
    /// The stamp of a UTC calendar date and time. No field is checked (day 0 is the last
    /// day of the month before). `fraction` holds the digits of the second after the
    /// decimal point, without leading zeros: 5, 50 and 500000 are 0.5 s, 123 is 0.123 s;
    /// an eighth digit rounds the seventh, further digits are dropped.
    TimeStamp(int year, int month, int day, int hour, int minute, int second, unsigned int fraction);

    /// Copies the tick count of `other`.
    TimeStamp(const TimeStamp& other) = default;
    /// Copies the tick count of `other`; returns this stamp.
    TimeStamp& operator=(const TimeStamp& other) = default;
    /// Takes the tick count of `fileTime`, as the FILETIME constructor does; returns this
    /// stamp.
    TimeStamp& operator=(const FILETIME& fileTime);

    /// The tick count: 100-nanosecond ticks since 1601-01-01T00:00:00 UTC.
    std::int64_t ToInt64() const;
    /// The tick count, as ToInt64().
    operator std::int64_t() const;
    /// The tick count as an unsigned number; a negative count wraps around.
    operator std::uint64_t();

    /// Seconds since 1970-01-01T00:00:00 UTC, rounded to the nearest second (half a
    /// second rounds up); 0 for every stamp up to 1970-01-01T00:00:00.
    std::int64_t ToTime_t() const;
    /// The stamp `seconds` after 1970-01-01T00:00:00 UTC (before it, if negative).
    static TimeStamp FromTime_t(std::int64_t seconds);
    /// The same as FromTime_t.
    static TimeStamp FromTime64_t(std::int64_t seconds);

    /// Writes the UTC calendar fields: month 1-12, day 1-31, hour 0-23, minute and second
    /// 0-59, and `fraction`, the rest of the second in ticks (0 to 9,999,999, not the
    /// digits the constructor takes). Always true.
    bool ToYMDHMSF(int& year, int& month, int& day, int& hour, int& minute, int& second, unsigned int& fraction) const;

    /// Sets the stamp to the current time in whole seconds (no ticks below the second).
    void SetToCurrentTime();

    /// The W3C date-time "YYYY-MM-DDThh:mm:ssZ" in UTC ("2024-02-29T11:34:56Z"): the
    /// second is cut, not rounded, and the year is not padded (999, not 0999).
    std::string ToW3DTF() const;
    /// Writes ToW3DTF() into `out`; always true.
    bool ToRFC3339(std::string& out);
    /// Reads RFC 3339 text, date "YYYY-MM-DD", "T", time "hh:mm", "hh:mm:ss" or
    /// "hh:mm:ss.ff", then "Z" or an offset "+hh:mm" or "-hh:mm", and holds it as UTC:
    /// "2000-01-01T12:00:00+05:30" is 06:30 UTC. Two digits of fraction are read at most
    /// (".123" is 0.12 s, and ".05" reads as 5, half a second). False, leaving the stamp as
    /// it was, without "T", without "Z" or an offset, for an offset without minutes
    /// ("+05") and for a date without dashes.
    bool FromRFC3339(const std::string& text);

    /// Writes the UTC time into `out` as "YYYY-MM-DDThh:mm:ss", or with `basic` as
    /// "YYYYMMDDThh:mm:ss" (only the date loses its separators); no zone, no fraction.
    /// Always true.
    bool ToISO8601(std::string& out, bool basic);
    /// Reads ISO 8601 text, extended ("2000-01-01T12:30:00") or basic ("20000101T1230",
    /// "20000101T123045"), as UTC. Extended text with an offset
    /// ("2000-01-01T12:00:00+01:00") is read as FromRFC3339 reads it; basic text with an
    /// offset is not accepted. False, leaving the stamp as it was, for text it does not
    /// accept. Throws std::out_of_range, leaving the stamp, for text of fewer than 6
    /// characters without a "-".
    bool FromISO8601(const std::string& text);

    /// The stamp's calendar fields read as local time under the daylight-saving flag in
    /// force now, converted to UTC, whose fields are read again as local standard time:
    /// seconds since 1970, or -1 when the platform cannot convert them. For the UTC
    /// seconds of a stamp, use ToTime_t.
    std::int64_t GetGMTTime();
    /// `seconds` plus the current offset of local standard time from UTC (daylight saving
    /// not counted): in a zone at UTC+01:00 it adds 3600.
    static std::int64_t GetLocalTimeFromGMT(std::int64_t seconds);
    /// The stamp whose calendar fields are the local time (the process's time zone and
    /// daylight saving) of `seconds` since 1970-01-01T00:00:00 UTC, in whole seconds; the
    /// zero stamp for -1 or a time the platform cannot break down.
    static TimeStamp FromUTC(std::int64_t seconds);

private:
    std::int64_t m_ticks;
};

/// \var FILETIME::dwLowDateTime
/// The low 32 bits of the tick count.

/// \var FILETIME::dwHighDateTime
/// The high 32 bits of the tick count.

}  // namespace Varn

#endif  // TESSERA_TIMESTAMP_H
