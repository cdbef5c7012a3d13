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

/// The first of the zone indicators "Z", "+", "-" in [from, end), or end.
const char* FindZoneIndicator(const char* from, const char* end) {
    for (; from != end; ++from) {
        if (*from == 'Z' || *from == '+' || *from == '-') return from;
    }
    return end;
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
        const void* hit = std::memchr(m_chars, c, m_size);
        return hit == nullptr ? npos : static_cast<std::size_t>(static_cast<const char*>(hit) - m_chars);
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
    const char* const end = text + size;
    const auto* t = static_cast<const char*>(std::memchr(text, 'T', size));
    if (t == nullptr) return false;
    const char* const rest = t + 1;
    const char* const zone = FindZoneIndicator(rest, end);
    if (zone == end) return false;

    int date[3];
    if (ScanFields(text, static_cast<std::size_t>(t - text), "%04d-%02d-%02d", date) < 3) return false;

    // "%02d:%02d" and "%02d:%02d:%02d" are prefixes of the full pattern, so one scan gives
    // what each of the three patterns reads; fields no pattern sets stay 0.
    int clock[4] = {0, 0, 0, 0};
    const int read = ScanFields(rest, static_cast<std::size_t>(zone - rest), "%02d:%02d:%02d.%02d", clock);
    if (read < 2) return false;
    if (read < 4) clock[3] = 0;
    if (read < 3) clock[2] = 0;

    std::int64_t offset = 0;
    if (*zone != 'Z' && zone + 1 != end) {
        int hoursMinutes[2];
        if (ScanFields(zone + 1, static_cast<std::size_t>(end - zone - 1), "%02d:%02d", hoursMinutes) < 2) {
            return false;
        }
        offset = WrapAdd64(WrapMul64(hoursMinutes[0], kTicksPerHour), WrapMul64(hoursMinutes[1], kTicksPerMinute));
    }

    const std::int64_t local = TicksFromFields(date[0], date[1], date[2], clock[0], clock[1], clock[2],
                                               static_cast<unsigned int>(clock[3]));
    ticks = *zone == '+' ? WrapSub64(local, offset) : WrapAdd64(local, offset);
    return true;
}

bool ReadISO8601(const std::string& text, std::int64_t& ticks) {
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
