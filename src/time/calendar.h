// Calendar arithmetic on tick counts: the day-number formula, the fraction rule and the
// breakdown of a tick count into calendar fields. Every operation wraps like the
// fixed-width machine arithmetic it describes (32-bit day numbers, 64-bit ticks) and
// divides truncating toward zero; nothing here checks ranges or fails.
#ifndef TESSERA_TIME_CALENDAR_H
#define TESSERA_TIME_CALENDAR_H

#include <cstdint>

namespace tessera::time {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
constexpr std::int64_t kTicksPerMinute = 600'000'000;
constexpr std::int64_t kTicksPerHour = 36'000'000'000;
constexpr std::int64_t kTicksPerDay = 864'000'000'000;
constexpr std::int64_t kSecondsFrom1601To1970 = 11'644'473'600;
constexpr std::int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
/// Julian Day Number of 1601-01-01: day numbers here count from that day.
constexpr std::int32_t kJulianDayOf1601 = 2'305'814;

/// Calendar fields as the stamp's text forms and breakdowns use them.
struct CalendarFields {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
    unsigned int fraction = 0;  // in the breakdown: ticks below the second
};

/// a + b, a - b and a * b in 64-bit two's-complement arithmetic (wrapping, never undefined).
inline std::int64_t WrapAdd64(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}
inline std::int64_t WrapSub64(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}
inline std::int64_t WrapMul64(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) * static_cast<std::uint64_t>(b));
}

/// Day number (0 = 1601-01-01) of a year, month and day, in 32-bit arithmetic.
std::int32_t DayNumber(int year, int month, int day);

/// Ticks that a fraction in digits form (the digits after the decimal point without
/// their leading zeros) stands for: 0 for 0, otherwise 1 to 10,000,000.
std::int64_t FractionTicks(unsigned int fraction);

/// The tick count of calendar fields (fraction in digits form).
std::int64_t TicksFromFields(int year, int month, int day, int hour, int minute, int second, unsigned int fraction);

/// Calendar fields of a tick count (fraction in ticks). Counts below 0 give fields that
/// do not convert back.
CalendarFields FieldsFromTicks(std::int64_t ticks);

/// The same, computed step by step in signed 64-bit arithmetic as the formula is written;
/// FieldsFromTicks takes this path for counts below 0 and a quicker one otherwise.
CalendarFields FieldsFromTicksByFormula(std::int64_t ticks);

}  // namespace tessera::time

#endif
