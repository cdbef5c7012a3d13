// time_text: the input as RFC 3339 and ISO 8601 text, and a stamp derived from it
// written out and read back.
//
// Properties:
// - A text that FromRFC3339 or FromISO8601 refuses leaves the stamp unchanged.
// - FromISO8601 throws std::out_of_range exactly for text of fewer than six characters
//   without a '-', and then leaves the stamp unchanged; nothing else throws.
// - Any stamp from 1601 to 9999 read back from ToW3DTF (RFC 3339), ToISO8601 extended
//   and ToISO8601 basic is the stamp cut to whole seconds; its calendar fields give the
//   stamp back when the fraction is 0 or at least 1,000,000 ticks (seven digits); whole
//   seconds since 1970 give the same count back through FromTime_t and ToTime_t.
// - A parsed stamp can be written out in every form (no overflow in the formulas).
#include <cstdint>
#include <stdexcept>
#include <string>

#include <tessera/TimeStamp.h>

#include "check.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "time_text";
using Varn::TimeStamp;
constexpr std::int64_t kTicksPerSecond = 10000000;
constexpr std::int64_t kTicksTo1970 = 116444736000000000;

std::uint64_t Hash(const std::string& text) {
    std::uint64_t h = 1469598103934665603ULL;
    for (unsigned char c : text) h = (h ^ c) * 1099511628211ULL;
    return h;
}

void WriteAll(const TimeStamp& stamp) {
    TimeStamp copy(stamp);
    std::string text;
    copy.ToRFC3339(text);
    copy.ToISO8601(text, true);
    copy.ToISO8601(text, false);
    int year, month, day, hour, minute, second;
    unsigned fraction;
    copy.ToYMDHMSF(year, month, day, hour, minute, second, fraction);
    (void)copy.ToTime_t();
}

void CheckParse(const std::string& text) {
    const TimeStamp original(125911584000000000);
    TimeStamp rfc(original);
    if (rfc.FromRFC3339(text)) {
        WriteAll(rfc);
    } else {
        TESSERA_FUZZ_REQUIRE(rfc.ToInt64() == original.ToInt64(), Quote(text));
    }

    TimeStamp iso(original);
    const bool throws = text.size() < 6 && text.find('-') == std::string::npos;
    try {
        if (iso.FromISO8601(text)) {
            WriteAll(iso);
        } else {
            TESSERA_FUZZ_REQUIRE(iso.ToInt64() == original.ToInt64(), Quote(text));
        }
        TESSERA_FUZZ_REQUIRE(!throws, Quote(text) + " did not throw");
    } catch (const std::out_of_range&) {
        TESSERA_FUZZ_REQUIRE(throws && iso.ToInt64() == original.ToInt64(), Quote(text) + " threw");
    }
}

void CheckRoundTrips(std::uint64_t seed) {
    static const std::int64_t kEnd = TimeStamp(10000, 1, 1, 0, 0, 0, 0).ToInt64();
    const std::int64_t ticks = static_cast<std::int64_t>(seed % static_cast<std::uint64_t>(kEnd));
    const std::int64_t whole = ticks - ticks % kTicksPerSecond;
    TimeStamp stamp(ticks);
    const std::string note = std::to_string(ticks);

    TimeStamp read;
    TESSERA_FUZZ_REQUIRE(read.FromRFC3339(stamp.ToW3DTF()) && read.ToInt64() == whole, note + " " + stamp.ToW3DTF());
    for (bool basic : {false, true}) {
        std::string text;
        TESSERA_FUZZ_REQUIRE(stamp.ToISO8601(text, basic), note);
        TimeStamp back;
        TESSERA_FUZZ_REQUIRE(back.FromISO8601(text) && back.ToInt64() == whole, note + " " + text);
    }

    int year, month, day, hour, minute, second;
    unsigned fraction;
    TESSERA_FUZZ_REQUIRE(stamp.ToYMDHMSF(year, month, day, hour, minute, second, fraction), note);
    TESSERA_FUZZ_REQUIRE(fraction < kTicksPerSecond && hour < 24 && minute < 60 && second < 60, note);
    if (fraction == 0 || fraction >= 1000000) {
        const TimeStamp rebuilt(year, month, day, hour, minute, second, fraction);
        TESSERA_FUZZ_REQUIRE(rebuilt.ToInt64() == ticks, note + " -> " + std::to_string(rebuilt.ToInt64()));
    }

    if (whole > kTicksTo1970) {
        const std::int64_t seconds = (whole - kTicksTo1970) / kTicksPerSecond;
        TESSERA_FUZZ_REQUIRE(
            TimeStamp::FromTime_t(seconds).ToInt64() == whole && TimeStamp::FromTime_t(seconds).ToTime_t() == seconds,
            note);
    }
}

}  // namespace

void CheckTimeText(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckParse(text);
    CheckRoundTrips(Hash(text));
}

}  // namespace tessera::fuzz
