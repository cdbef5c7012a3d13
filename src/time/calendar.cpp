// Day numbers after Fliegel and Van Flandern, shifted so that day 0 is 1601-01-01.
#include "time/calendar.h"

namespace tessera::time {
namespace {

/// The low 32 bits of x as a signed number: the result of 32-bit wrapping arithmetic.
std::int32_t Wrap32(std::int64_t x) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(x)));
}

}  // namespace

std::int32_t DayNumber(int year, int month, int day) {
    const std::int32_t a = Wrap32(std::int64_t{month} - 14) / 12;
    const std::int32_t yearTerm = Wrap32(1461 * std::int64_t{Wrap32(std::int64_t{year} + a + 4800)}) / 4;
    const std::int32_t monthTerm =
        Wrap32(367 * std::int64_t{Wrap32(std::int64_t{month} - 2 - 12 * std::int64_t{a})}) / 12;
    const std::int32_t centuryTerm = Wrap32(3 * std::int64_t{Wrap32(std::int64_t{year} + a + 4900) / 100}) / 4;
    return Wrap32(std::int64_t{yearTerm} + monthTerm - centuryTerm + day - 32'075 - kJulianDayOf1601);
}

std::int64_t FractionTicks(unsigned int fraction) {
    if (fraction == 0) return 0;
    unsigned int value = fraction;
    int digits = 1;
    for (unsigned int rest = fraction / 10; rest != 0; rest /= 10) ++digits;
    // Beyond seven digits: digits past the eighth are cut, the eighth rounds half up.
    for (; digits > 7; --digits) {
        if (digits == 8) value += 5;
        value /= 10;
    }
    std::int64_t ticks = value;
    for (; digits < 7; ++digits) ticks *= 10;
    return ticks;
}

std::int64_t TicksFromFields(int year, int month, int day, int hour, int minute, int second, unsigned int fraction) {
    std::int64_t ticks = WrapMul64(DayNumber(year, month, day), kTicksPerDay);
    ticks = WrapAdd64(ticks, WrapMul64(hour, kTicksPerHour));
    ticks = WrapAdd64(ticks, WrapMul64(minute, kTicksPerMinute));
    ticks = WrapAdd64(ticks, WrapMul64(second, kTicksPerSecond));
    return WrapAdd64(ticks, FractionTicks(fraction));
}

namespace {

/// The breakdown of a count of 0 or more, in unsigned arithmetic: every intermediate of
/// the formula is then non-negative, so each division gives what the signed one gives,
/// and the day number of the resulting date is ticks / kTicksPerDay again, so the rest
/// of the day is the remainder of that division.
CalendarFields FieldsFromNonNegativeTicks(std::uint64_t ticks) {
    const std::uint64_t days = ticks / kTicksPerDay;
    std::uint64_t l = days + (kJulianDayOf1601 + 68'569);
    const std::uint64_t n = 4 * l / 146'097;
    l = l - (146'097 * n + 3) / 4;
    const std::uint64_t i = 4'000 * (l + 1) / 1'461'001;
    l = l - 1'461 * i / 4 + 31;
    const auto j = static_cast<std::uint32_t>(80 * l / 2'447);
    CalendarFields f;
    f.day = static_cast<int>(static_cast<std::uint32_t>(l) - 2'447 * j / 80);
    const std::uint32_t k = j / 11;
    f.month = static_cast<int>(j + 2 - 12 * k);
    f.year = static_cast<int>(100 * n + i + k) - 4'900;

    const std::uint64_t rest = ticks - days * kTicksPerDay;
    const auto seconds = static_cast<std::uint32_t>(rest / kTicksPerSecond);
    f.hour = static_cast<int>(seconds / 3'600);
    f.minute = static_cast<int>(seconds / 60 % 60);
    f.second = static_cast<int>(seconds % 60);
    f.fraction = static_cast<unsigned int>(rest - std::uint64_t{seconds} * kTicksPerSecond);
    return f;
}

}  // namespace

CalendarFields FieldsFromTicks(std::int64_t ticks) {
    if (ticks >= 0) return FieldsFromNonNegativeTicks(static_cast<std::uint64_t>(ticks));
    return FieldsFromTicksByFormula(ticks);
}

CalendarFields FieldsFromTicksByFormula(std::int64_t ticks) {
    // Julian Day Number plus 68,569, then the inverse of the day-number formula.
    std::int64_t l = ticks / kTicksPerDay + (kJulianDayOf1601 + 68'569);
    const std::int64_t n = 4 * l / 146'097;
    l = l - (146'097 * n + 3) / 4;
    const std::int64_t i = 4'000 * (l + 1) / 1'461'001;
    l = l - 1'461 * i / 4 + 31;
    const std::int64_t j = 80 * l / 2'447;
    CalendarFields f;
    f.day = static_cast<int>(l - 2'447 * j / 80);
    l = j / 11;
    f.month = static_cast<int>(j + 2 - 12 * l);
    f.year = static_cast<int>(100 * (n - 49) + i + l);

    const std::int64_t rest = WrapSub64(ticks, WrapMul64(DayNumber(f.year, f.month, f.day), kTicksPerDay));
    const std::int64_t hours = rest / kTicksPerHour;
    const std::int64_t minutes = rest / kTicksPerMinute - 60 * hours;
    f.hour = static_cast<int>(hours);
    f.minute = static_cast<int>(minutes);
    f.second = static_cast<int>(rest / kTicksPerSecond - 60 * (minutes + 60 * hours));
    f.fraction = static_cast<unsigned int>(rest % kTicksPerSecond);
    return f;
}

}  // namespace tessera::time
