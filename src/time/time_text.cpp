// Writing and reading the time-stamp text forms: the usual shapes read directly, any
// other text by the scan patterns; ISO 8601 text read as its rewriting into the RFC 3339 shape.
#include "time/time_text.h"

#include <cstring>
#include <stdexcept>

#include "time/field_scanner.h"
#include "time/field_writer.h"

namespace tessera::time {
namespace {

char* WriteTimeOfDay(char* out, const CalendarFields& f) {
    out = WriteDecimal(out, f.hour, 2);
    *out++ = ':';
    out = WriteDecimal(out, f.minute, 2);
    *out++ = ':';
    return WriteDecimal(out, f.second, 2);
}

char* WriteDate(char* out, const CalendarFields& f, int yearWidth, bool dashes) {
    out = WriteDecimal(out, f.year, yearWidth);
    if (dashes) *out++ = '-';
    out = WriteDecimal(out, f.month, 2);
    if (dashes) *out++ = '-';
    return WriteDecimal(out, f.day, 2);
}

/// The first c in [from, end), or end.
const char* Find(const char* from, const char* end, char c) {
    while (from != end && *from != c) ++from;
    return from;
}

/// The first of the zone indicators "Z", "+", "-" in [from, end), or end.
const char* FindZoneIndicator(const char* from, const char* end) {
    for (; from != end; ++from) {
        if (*from == 'Z' || *from == '+' || *from == '-') return from;
    }
    return end;
}

/// What an RFC 3339 text reads as: date, time (fraction in digits form) and zone.
struct TextFields {
    int date[3];
    int clock[4] = {0, 0, 0, 0};
    char indicator;          // 'Z', '+' or '-'
    int offset[2] = {0, 0};  // hours, minutes
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

/// Reads two digits at p into value; false unless both are digits.
bool TwoDigits(const char* p, int& value) {
    if (!IsDigit(p[0]) || !IsDigit(p[1])) return false;
    value = (p[0] - '0') * 10 + (p[1] - '0');
    return true;
}

/// Reads "hh:mm" at p (five characters available).
bool HoursMinutes(const char* p, int* values) {
    return TwoDigits(p, values[0]) && p[2] == ':' && TwoDigits(p + 3, values[1]);
}

/// Reads four digits at p into value.
bool FourDigits(const char* p, int& value) {
    int high = 0;
    int low = 0;
    if (!TwoDigits(p, high) || !TwoDigits(p + 2, low)) return false;
    value = high * 100 + low;
    return true;
}

/// Reads "YYYY-MM-DDThh:mm:ss" at p (19 characters available).
bool ExtendedDateTime(const char* p, TextFields& f) {
    return FourDigits(p, f.date[0]) && p[4] == '-' && TwoDigits(p + 5, f.date[1]) && p[7] == '-' &&
           TwoDigits(p + 8, f.date[2]) && p[10] == 'T' && HoursMinutes(p + 11, f.clock) && p[16] == ':' &&
           TwoDigits(p + 17, f.clock[2]);
}

/// Reads "YYYYMMDDThhmm", and "ss" after it when seconds, at p.
bool BasicDateTime(const char* p, bool seconds, TextFields& f) {
    return FourDigits(p, f.date[0]) && TwoDigits(p + 4, f.date[1]) && TwoDigits(p + 6, f.date[2]) && p[8] == 'T' &&
           TwoDigits(p + 9, f.clock[0]) && TwoDigits(p + 11, f.clock[1]) && (!seconds || TwoDigits(p + 13, f.clock[2]));
}

/// The usual shape "YYYY-MM-DDThh:mm:ss[.f[f]]" followed by "Z", "+hh:mm", "-hh:mm" or an
/// empty offset, read directly. These texts read the same by the scan patterns, because
/// they hold no white space or signs and every number fills its width; false for any
/// other shape, which ReadAnyShape then decides.
bool ReadCommonShape(const char* text, std::size_t size, TextFields& f) {
    if (size < 20 || !ExtendedDateTime(text, f)) return false;
    const char* const end = text + size;
    const char* zone = text + 19;
    if (*zone == '.') {
        // The fraction takes at most two digits; the zone is the first indicator after it.
        if (zone + 1 == end || !IsDigit(zone[1])) return false;
        f.clock[3] = zone[1] - '0';
        if (zone + 2 != end && IsDigit(zone[2])) f.clock[3] = f.clock[3] * 10 + (zone[2] - '0');
        zone = FindZoneIndicator(zone + 1, end);
        if (zone == end) return false;
    }
    f.indicator = *zone;
    if (f.indicator == 'Z') return true;
    if (f.indicator != '+' && f.indicator != '-') return false;
    return zone + 1 == end || (end - zone >= 6 && HoursMinutes(zone + 1, f.offset));
}

/// The usual ISO 8601 shapes without a zone, read directly: "YYYYMMDDThhmmss",
/// "YYYYMMDDThhmm" and "YYYY-MM-DDThh:mm:ss". Rewritten into the RFC 3339 shape they
/// become "YYYY-MM-DDThh:mm:ssZ" with the same digits (seconds "00" for the second);
/// false for any other shape.
bool ReadIsoCommonShape(const char* text, std::size_t size, TextFields& f) {
    f.indicator = 'Z';
    switch (size) {
        case 13:
            return BasicDateTime(text, false, f);
        case 15:
            return BasicDateTime(text, true, f);
        case 19:
            return ExtendedDateTime(text, f);
        default:
            return false;
    }
}

std::int64_t TicksOf(const TextFields& f) {
    const std::int64_t local = TicksFromFields(f.date[0], f.date[1], f.date[2], f.clock[0], f.clock[1], f.clock[2],
                                               static_cast<unsigned int>(f.clock[3]));
    const std::int64_t offset =
        WrapAdd64(WrapMul64(f.offset[0], kTicksPerHour), WrapMul64(f.offset[1], kTicksPerMinute));
    return f.indicator == '+' ? WrapSub64(local, offset) : WrapAdd64(local, offset);
}

/// Any text, read by the scan patterns: "%04d-%02d-%02d" before the first "T";
/// "%02d:%02d:%02d.%02d", "%02d:%02d:%02d" or "%02d:%02d" up to the first zone
/// indicator; "%02d:%02d" after a "+" or "-" unless nothing follows it.
bool ReadAnyShape(const char* text, std::size_t size, TextFields& f) {
    const char* const end = text + size;
    const char* const t = Find(text, end, 'T');
    if (t == end) return false;
    const char* const rest = t + 1;
    const char* const zone = FindZoneIndicator(rest, end);
    if (zone == end) return false;
    f.indicator = *zone;

    if (ScanFields(text, static_cast<std::size_t>(t - text), "%04d-%02d-%02d", f.date) < 3) return false;

    // "%02d:%02d" and "%02d:%02d:%02d" are prefixes of the full pattern, so one scan gives
    // what each of the three patterns reads; fields no pattern sets stay 0.
    const int read = ScanFields(rest, static_cast<std::size_t>(zone - rest), "%02d:%02d:%02d.%02d", f.clock);
    if (read < 2) return false;
    if (read < 4) f.clock[3] = 0;
    if (read < 3) f.clock[2] = 0;

    if (f.indicator != 'Z' && zone + 1 != end) {
        return ScanFields(zone + 1, static_cast<std::size_t>(end - zone - 1), "%02d:%02d", f.offset) >= 2;
    }
    return true;
}

/// A copy of a short text that can grow by a few characters without touching the heap;
/// offers the few std::string operations the ISO 8601 rewriting uses.
class ShortText {
public:
    static constexpr std::size_t kCapacity = 64;
    static constexpr std::size_t npos = std::string::npos;

    ShortText(const char* text, std::size_t size) : m_size(size) { std::memcpy(m_chars, text, size); }
    std::size_t size() const { return m_size; }
    const char* data() const { return m_chars; }
    std::size_t find(char c) const {
        const char* hit = Find(m_chars, m_chars + m_size, c);
        return hit == m_chars + m_size ? npos : static_cast<std::size_t>(hit - m_chars);
    }
    void insert(std::size_t pos, std::size_t /*count, always 1*/, char c) {
        if (pos > m_size) throw std::out_of_range("FromISO8601: insertion point beyond the end of the text");
        std::memmove(m_chars + pos + 1, m_chars + pos, m_size - pos);
        m_chars[pos] = c;
        ++m_size;
    }
    void append(const char* text) {
        const std::size_t length = std::strlen(text);
        std::memcpy(m_chars + m_size, text, length);
        m_size += length;
    }

private:
    char m_chars[kCapacity];
    std::size_t m_size;
};

/// Longest text that ShortText takes: the rewriting adds at most 7 characters.
constexpr std::size_t kShortTextLimit = ShortText::kCapacity - 8;

/// Rewrites an ISO 8601 text (a std::string or a ShortText) into the RFC 3339 shape.
template <class Text>
void RewriteIsoAsRfc3339(Text& copy) {
    // A basic date: "20000101" becomes "2000-01-01". Throws when index 6 is past the end.
    if (copy.find('-') == Text::npos) {
        copy.insert(6, 1, '-');
        copy.insert(4, 1, '-');
    }
    // A basic time: the tail after the first "T" (or the whole text) gets its colons.
    if (copy.find(':') == Text::npos) {
        const std::size_t t = copy.find('T');
        const std::size_t tail = t == Text::npos ? 0 : t + 1;
        const std::size_t tailLength = copy.size() - tail;
        if (tailLength == 4) {
            copy.insert(tail + 2, 1, ':');
            copy.append(":00");
        } else if (tailLength == 6) {
            copy.insert(tail + 4, 1, ':');
            copy.insert(tail + 2, 1, ':');
        }
    }
    // Always: a text that already ends in a zone still reads, as the first indicator wins.
    copy.append("Z");
}

}  // namespace

std::size_t WriteW3DTF(const CalendarFields& fields, char* out) {
    char* end = WriteDate(out, fields, 0, true);
    *end++ = 'T';
    end = WriteTimeOfDay(end, fields);
    *end++ = 'Z';
    return static_cast<std::size_t>(end - out);
}

std::size_t WriteISO8601(const CalendarFields& fields, bool basic, char* out) {
    char* end = WriteDate(out, fields, 4, !basic);
    *end++ = 'T';
    end = WriteTimeOfDay(end, fields);
    return static_cast<std::size_t>(end - out);
}

bool ReadRFC3339(const char* text, std::size_t size, std::int64_t& ticks) {
    TextFields f;
    if (!ReadCommonShape(text, size, f)) {
        f = TextFields();  // start afresh: the shape test may have stored some fields
        if (!ReadAnyShape(text, size, f)) return false;
    }
    ticks = TicksOf(f);
    return true;
}

bool ReadISO8601(const std::string& text, std::int64_t& ticks) {
    TextFields f;
    if (ReadIsoCommonShape(text.data(), text.size(), f)) {
        ticks = TicksOf(f);
        return true;
    }
    if (text.size() <= kShortTextLimit) {
        ShortText copy(text.data(), text.size());
        RewriteIsoAsRfc3339(copy);
        return ReadRFC3339(copy.data(), copy.size(), ticks);
    }
    std::string copy = text;
    RewriteIsoAsRfc3339(copy);
    return ReadRFC3339(copy.data(), copy.size(), ticks);
}

}  // namespace tessera::time
