// Text forms: the RFC 3339 and ISO 8601 readers on a table, and the readers and the
// writers compared with the standard scanf/printf family on random text and fields.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include <tessera/TimeStamp.h>

#include "time/field_scanner.h"
#include "time/time_text.h"

namespace {

using Varn::TimeStamp;

constexpr std::int64_t k2000 = 125'911'584'000'000'000;
constexpr std::int64_t kHour = 36'000'000'000;
constexpr std::int64_t kMinute = 600'000'000;

// Each reader on a stamp holding 42: true gives the ticks, false leaves the 42.
TEST(TimeStampText, ReadersTable) {
    const auto rfc3339 = &TimeStamp::FromRFC3339, iso8601 = &TimeStamp::FromISO8601;
    const struct {
        bool (TimeStamp::*read)(const std::string&);
        std::string text;
        bool ok;
        std::int64_t ticks;
    } cases[] = {
        {rfc3339, "2000-01-01T00:00:00Z", true, k2000},
        {rfc3339, "1999-12-31T23:00:00-01:00", true, k2000},
        {rfc3339, "2000-01-01T12:00:00+05:30", true, k2000 + 6 * kHour + 30 * kMinute},
        {rfc3339, "2000-01-01T12:30Z", true, k2000 + 12 * kHour + 30 * kMinute},
        {rfc3339, "2000-01-01T12:00:00+", true, k2000 + 12 * kHour},
        {rfc3339, "2000-01-01T00:00:00.05Z", true, k2000 + 5'000'000},   // leading zero lost
        {rfc3339, "2000-01-01T00:00:00.123Z", true, k2000 + 1'200'000},  // two digits read
        {rfc3339, " 2000- 1-01T 0:00:00Z", true, k2000},
        {rfc3339, "2000-01-01T00:00:00z+00:00", true, k2000},  // lower-case z is no indicator
        {rfc3339, "2000-01-01T12:00:00", false, 0},
        {rfc3339, "2000-01-01T12:00:00+05", false, 0},
        {rfc3339, "2000-01-01T12Z", false, 0},
        {iso8601, "20000101T1230", true, k2000 + 12 * kHour + 30 * kMinute},
        {iso8601, "20000101T123045", true, k2000 + 12 * kHour + 30 * kMinute + 450'000'000},
        {iso8601, "2000-01-01T12:30:00+01:00", true, k2000 + 11 * kHour + 30 * kMinute},
        {iso8601, "20000101T120000-0500", false, 0},
        {iso8601, "20000101", false, 0},
        // Longer texts take the general path and give the same answers.
        {iso8601, "20000101T12:30" + std::string(80, ' '), true, k2000 + 12 * kHour + 30 * kMinute},
        // Text shorter than six characters throws std::out_of_range: the fuzz target's check.
    };
    for (const auto& c : cases) {
        TimeStamp stamp(42);
        EXPECT_EQ((stamp.*c.read)(c.text), c.ok) << c.text;
        EXPECT_EQ(stamp.ToInt64(), c.ok ? c.ticks : 42) << c.text;
    }
}

/// The RFC 3339 reader written the plain way, with std::string and sscanf.
bool ReferenceRFC3339(const std::string& text, std::int64_t& ticks) {
    const auto t = text.find('T');
    if (t == std::string::npos) return false;
    const std::string rest = text.substr(t + 1);
    const auto z = rest.find_first_of("Z+-");
    if (z == std::string::npos) return false;
    int y, mo, d, h = 0, mi = 0, s = 0, f = 0, zh = 0, zm = 0;
    if (std::sscanf(text.substr(0, t).c_str(), "%04d-%02d-%02d", &y, &mo, &d) < 3) return false;
    const std::string clock = rest.substr(0, z);
    if (std::sscanf(clock.c_str(), "%02d:%02d:%02d.%02d", &h, &mi, &s, &f) != 4) {
        f = 0;
        if (std::sscanf(clock.c_str(), "%02d:%02d:%02d", &h, &mi, &s) != 3) {
            s = 0;
            if (std::sscanf(clock.c_str(), "%02d:%02d", &h, &mi) < 2) return false;
        }
    }
    const std::string zone = rest.substr(z + 1);
    if (rest[z] != 'Z' && !zone.empty() && std::sscanf(zone.c_str(), "%02d:%02d", &zh, &zm) < 2) return false;
    const std::int64_t offset = zh * kHour + zm * kMinute;
    ticks = TimeStamp(y, mo, d, h, mi, s, static_cast<unsigned>(f)).ToInt64() + (rest[z] == '+' ? -offset : offset);
    return true;
}

/// The ISO 8601 reader written the plain way, on a std::string.
bool ReferenceISO8601(std::string copy, std::int64_t& ticks) {
    if (copy.find('-') == std::string::npos) copy.insert(6, "-").insert(4, "-");
    if (copy.find(':') == std::string::npos) {
        const auto t = copy.find('T');
        std::string tail = t == std::string::npos ? copy : copy.substr(t + 1);
        if (tail.size() == 4) tail.insert(2, ":").append(":00");
        if (tail.size() == 6) tail.insert(4, ":").insert(2, ":");
        copy = (t == std::string::npos ? "" : copy.substr(0, t + 1)) + tail;
    }
    return ReferenceRFC3339(copy + "Z", ticks);
}

/// Random text near the shape of a time stamp: a valid one with a few characters changed.
std::string RandomStampText(std::mt19937& random, std::string text) {
    static const std::string alphabet = "0123456789-+:.TZz \t\nx";
    for (int edits = std::uniform_int_distribution<int>(0, 6)(random); edits > 0; --edits) {
        const char c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        const std::size_t at = std::uniform_int_distribution<std::size_t>(0, text.size())(random);
        const std::size_t removed = at < text.size() ? random() % 2 : 0;
        text.replace(at, removed, removed == 0 ? 1 : random() % 2, c);  // inserts, removes or changes one
    }
    return text;
}

/// The scanner and sscanf read the same count and numbers from text by pattern.
testing::AssertionResult ScansLikeSscanf(const std::string& text, const char* pattern) {
    int mine[4] = {}, theirs[4] = {};
    const int count = tessera::time::ScanFields(text.data(), text.size(), pattern, mine);
    const int expected = std::sscanf(text.c_str(), pattern, &theirs[0], &theirs[1], &theirs[2], &theirs[3]);
    for (int i = 0; i < count; ++i) {
        if (mine[i] != theirs[i]) return testing::AssertionFailure() << pattern << " on '" << text << "'";
    }
    if (count == expected) return testing::AssertionSuccess();
    return testing::AssertionFailure() << pattern << " on '" << text << "': " << count << " vs " << expected;
}

// Hand-picked edge cases first, then random text near the shape of a stamp.
TEST(TimeStampText, ScannerAndReadersMatchPlainSscanf) {
    std::mt19937 random(20261205);
    std::vector<std::string> texts = {"",       " ",         "-",       "+",          "+5",  "-05:3",
                                      "5x",     "12345",     "1:2:3.4", " \t\v1 : 2", "9-",  "-1-2-3",
                                      "007:08", "12:34:56.", "\n12:34", "12:-3",      "+-1", "1 2"};
    while (texts.size() < 20000) texts.push_back(RandomStampText(random, "2007-11-23T05:06:07.89+01:30"));
    const char* const isoShapes[] = {"20071123T050607", "20071123T0506", "2007-11-23T05:06:07", "20071123T0506-0130"};
    for (std::size_t round = 0; round < texts.size(); ++round) {
        const std::string& text = texts[round];
        for (const char* pattern : {"%04d-%02d-%02d", "%02d:%02d:%02d.%02d", "%02d:%02d", "%1d%1d"}) {
            ASSERT_TRUE(ScansLikeSscanf(text, pattern));
        }
        std::int64_t mine = 7, theirs = 7;
        ASSERT_EQ(tessera::time::ReadRFC3339(text.data(), text.size(), mine), ReferenceRFC3339(text, theirs)) << text;
        ASSERT_EQ(mine, theirs) << text;

        const std::string iso = RandomStampText(random, isoShapes[round % 4]);
        TimeStamp stamp(7);
        bool expected = false;  // both throw for short text, or neither does
        try {
            expected = ReferenceISO8601(iso, theirs = 7);
        } catch (const std::out_of_range&) {
            EXPECT_THROW(stamp.FromISO8601(iso), std::out_of_range) << iso;
            continue;
        }
        ASSERT_EQ(stamp.FromISO8601(iso), expected) << iso;
        ASSERT_EQ(stamp.ToInt64(), theirs) << iso;
    }
}

TEST(TimeStampText, WritersMatchSnprintf) {
    std::mt19937 random(1601);
    std::uniform_int_distribution<int> small(-120, 120), any;
    for (int round = 0; round < 5000; ++round) {
        auto pick = [&] { return round % 4 == 0 ? any(random) : small(random); };
        tessera::time::CalendarFields f;
        f.year = round % 2 ? pick() * 100 : pick();
        f.month = pick(), f.day = pick(), f.hour = pick(), f.minute = pick(), f.second = pick();
        const auto expect = [&f](const char* format, const std::string& mine) {
            char theirs[256];
            std::snprintf(theirs, sizeof theirs, format, f.year, f.month, f.day, f.hour, f.minute, f.second);
            EXPECT_EQ(mine, theirs) << format;
        };
        char mine[tessera::time::kStampTextCapacity];
        expect("%d-%02d-%02dT%02d:%02d:%02dZ", std::string(mine, tessera::time::WriteW3DTF(f, mine)));
        expect("%04d-%02d-%02dT%02d:%02d:%02d", std::string(mine, tessera::time::WriteISO8601(f, false, mine)));
        expect("%04d%02d%02dT%02d:%02d:%02d", std::string(mine, tessera::time::WriteISO8601(f, true, mine)));
        if (testing::Test::HasFailure()) break;
    }
}

}  // namespace
