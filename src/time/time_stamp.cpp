// Varn::TimeStamp: construction, tick and time_t conversions, calendar fields and text.
#include <tessera/TimeStamp.h>

#include "platform/time.h"
#include "time/calendar.h"
#include "time/time_text.h"

namespace Varn {

using tessera::time::CalendarFields;
using tessera::time::FieldsFromTicks;
using tessera::time::kSecondsFrom1601To1970;
using tessera::time::kStampTextCapacity;
using tessera::time::kTicksFrom1601To1970;
using tessera::time::kTicksPerSecond;
using tessera::time::ReadISO8601;
using tessera::time::ReadRFC3339;
using tessera::time::TicksFromFields;
using tessera::time::WrapAdd64;
using tessera::time::WrapMul64;
using tessera::time::WriteISO8601;
using tessera::time::WriteW3DTF;

TimeStamp::TimeStamp() : m_ticks(0) {}

TimeStamp::TimeStamp(std::int64_t ticks) : m_ticks(ticks) {}

TimeStamp::TimeStamp(const FILETIME& fileTime)
    : m_ticks(static_cast<std::int64_t>(tessera::platform::FileTimeCount(fileTime))) {}

TimeStamp::TimeStamp(int year, int month, int day, int hour, int minute, int second, unsigned int fraction)
    : m_ticks(TicksFromFields(year, month, day, hour, minute, second, fraction)) {}

TimeStamp& TimeStamp::operator=(const FILETIME& fileTime) {
    m_ticks = static_cast<std::int64_t>(tessera::platform::FileTimeCount(fileTime));
    return *this;
}

std::int64_t TimeStamp::ToInt64() const { return m_ticks; }

TimeStamp::operator std::int64_t() const { return m_ticks; }

TimeStamp::operator std::uint64_t() { return static_cast<std::uint64_t>(m_ticks); }

std::int64_t TimeStamp::ToTime_t() const {
    if (m_ticks <= kTicksFrom1601To1970) return 0;
    // Cut to whole tenths of a second, then round to the second with 5 tenths going up.
    return ((m_ticks - kTicksFrom1601To1970) / 1'000'000 + 5) / 10;
}

TimeStamp TimeStamp::FromTime_t(std::int64_t seconds) {
    return TimeStamp(WrapMul64(WrapAdd64(seconds, kSecondsFrom1601To1970), kTicksPerSecond));
}

TimeStamp TimeStamp::FromTime64_t(std::int64_t seconds) { return FromTime_t(seconds); }

bool TimeStamp::ToYMDHMSF(int& year, int& month, int& day, int& hour, int& minute, int& second,
                          unsigned int& fraction) const {
    const CalendarFields f = FieldsFromTicks(m_ticks);
    year = f.year;
    month = f.month;
    day = f.day;
    hour = f.hour;
    minute = f.minute;
    second = f.second;
    fraction = f.fraction;
    return true;
}

void TimeStamp::SetToCurrentTime() { *this = FromTime64_t(tessera::platform::CurrentTime()); }

std::string TimeStamp::ToW3DTF() const {
    char text[kStampTextCapacity];
    return std::string(text, WriteW3DTF(FieldsFromTicks(m_ticks), text));
}

bool TimeStamp::ToRFC3339(std::string& out) {
    out = ToW3DTF();
    return !out.empty();
}

bool TimeStamp::FromRFC3339(const std::string& text) { return ReadRFC3339(text.data(), text.size(), m_ticks); }

bool TimeStamp::ToISO8601(std::string& out, bool basic) {
    char text[kStampTextCapacity];
    out.assign(text, WriteISO8601(FieldsFromTicks(m_ticks), basic, text));
    return true;
}

bool TimeStamp::FromISO8601(const std::string& text) { return ReadISO8601(text, m_ticks); }

}  // namespace Varn
