// tessera time now | parse | from-ticks | from-time_t: read and write time stamps.
#include <charconv>
#include <cstdint>
#include <iostream>
#include <stdexcept>

#include <tessera/TimeStamp.h>

#include "commands.h"
#include "text_items.h"

namespace tessera::tool {
namespace {

void PrintStamp(Varn::TimeStamp stamp) {
    std::string basic, extended;
    stamp.ToISO8601(basic, true);
    stamp.ToISO8601(extended, false);
    std::cout << "ticks         " << stamp.ToInt64() << '\n'
              << "W3C           " << stamp.ToW3DTF() << '\n'
              << "ISO basic     " << basic << '\n'
              << "ISO extended  " << extended << '\n'
              << "time_t        " << stamp.ToTime_t() << '\n';
}

/// RFC 3339 first, then ISO 8601; false when neither reads the text.
bool ReadStamp(const std::string& text, Varn::TimeStamp& stamp) {
    if (stamp.FromRFC3339(text)) return true;
    try {
        return stamp.FromISO8601(text);
    } catch (const std::out_of_range&) {
        return false;  // too short to hold a date
    }
}

/// Prints the stamp made from each integer item.
int ForEachNumber(const Invocation& in, Varn::TimeStamp (*make)(std::int64_t)) {
    BlockSeparator blocks;
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        std::int64_t value = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (error != std::errc() || end != text.data() + text.size() || text.empty()) {
            return in.Reject(Quote(text) + " is not a 64-bit integer");
        }
        blocks.Next();
        PrintStamp(make(value));
        return kSuccess;
    });
}

Varn::TimeStamp FromTicks(std::int64_t ticks) { return Varn::TimeStamp(ticks); }

}  // namespace

int RunTimeNow(const Invocation&) {
    Varn::TimeStamp stamp;
    stamp.SetToCurrentTime();
    PrintStamp(stamp);
    return kSuccess;
}

int RunTimeParse(const Invocation& in) {
    BlockSeparator blocks;
    return ForEachItem(in, 0, [&](const std::string& text) -> int {
        Varn::TimeStamp stamp;
        if (!ReadStamp(text, stamp)) return in.Reject(Quote(text) + " is not an RFC 3339 or ISO 8601 time stamp");
        blocks.Next();
        std::cout << "text          " << text << '\n';
        PrintStamp(stamp);
        return kSuccess;
    });
}

int RunTimeFromTicks(const Invocation& in) { return ForEachNumber(in, FromTicks); }

int RunTimeFromTime_t(const Invocation& in) { return ForEachNumber(in, Varn::TimeStamp::FromTime_t); }

}  // namespace tessera::tool
