// IPv4 recognition (checked against sscanf's "%d"), IPv4-to-IPv6 groups and the full form
// of IPv6 addresses, with the partial output that failures leave behind.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;
using Octets = std::vector<int>;

// How each part reads is checked against sscanf below; here the count of parts, and long
// digit runs.
TEST(IPv4Address, PartCountAndTheOctetsAppendedUpToAFailure) {
    struct Case {
        const char* text;
        bool ok;
        Octets octets;
    };
    const Case cases[] = {
        {"1.2.3", false, {}},
        {"1.2.3.4.5", false, {}},
        {"1.2.99999999999.4", false, {1, 2}},
        // Long digit runs stay beyond 255 wherever a 32-bit value would wrap back into range.
        {"1.2.999999999999.4", false, {1, 2}},
        {"1.2.3.-99999999999999999999", false, {1, 2, 3}},
        {"1.2.3.00000000000000000000004", true, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        Octets octets;
        EXPECT_EQ(URI::IsIPv4Address(c.text, &octets), c.ok) << c.text;
        EXPECT_EQ(octets, c.octets) << c.text;
        EXPECT_EQ(URI::IsIPv4Address(c.text, nullptr), c.ok) << c.text;
    }
}

TEST(IPv4Address, ReadsEachPartAsScanfReadsADecimal) {
    const char* parts[] = {"0",  "00", "1",    "01",    "+1",         "-1",          "+",    "-",
                           "",   " ",  " 7",   "\t\n8", "255",        "256",         "-0",   "+0",
                           "1a", "a1", "0x1a", "9 9",   "2147483647", "-2147483648", "\v12", "+-3"};
    for (const char* first : parts) {
        for (const char* second : parts) {
            const std::string text = std::string("1.") + first + ".3." + second;
            Octets expected, actual;
            bool ok = *second != '\0';  // an empty last part fails before any octet is read
            for (const char* part : {"1", first, "3", second}) {
                int value = 0;
                if (std::sscanf(part, "%d", &value) != 1) value = 0;
                ok = ok && !((value == 0 && std::string(part) != "0") || value < 0 || value > 255);
                if (ok) expected.push_back(value);
            }
            EXPECT_EQ(URI::IsIPv4Address(text, &actual), ok) << '"' << text << '"';
            EXPECT_EQ(actual, expected) << '"' << text << '"';
        }
    }
}

// The two groups that four octets make are the fuzz replay's (and an IPv4 tail's below).
TEST(ConvertIPv4ToIPv6Addr, RefusesAnythingButFourOctetsInRangeAndWritesNothing) {
    for (Octets octets : {Octets{1, 2, 3}, Octets{1, 2, 3, 256}}) {
        std::string out = "kept";
        EXPECT_FALSE(URI::ConvertIPv4ToIPv6Addr(&octets, out)) << testing::PrintToString(octets);
        EXPECT_EQ(out, "kept") << testing::PrintToString(octets);
    }
}

// A list shorter than eight takes the groups that fit and fails beyond its end.
TEST(HelperIPv6, FillsFromEitherEndAndKeepsGroupsWrittenBeforeAFailure) {
    struct Case {
        const char* part;
        std::size_t size;
        bool fromLeft, ok;
        const char* groups;  // the list afterwards, in address form; "...." where nothing was written
    };
    const Case cases[] = {
        {"a:b", 8, false, true, "....:....:....:....:....:....:000a:000b"},
        {":a", 8, true, true, "0000:000a:....:....:....:....:....:...."},
        {"a:", 8, true, true, "000a:....:....:....:....:....:....:...."},
        {"1:2:12345", 8, true, false, "0001:0002:....:....:....:....:....:...."},
        {"1:2:3:4:5:6:1.2.3.4", 8, true, true, "0001:0002:0003:0004:0005:0006:0102:0304"},
        {"1.2.3.4:1", 8, false, false, "....:....:....:....:....:....:....:0001"},
        {"1:2:3:4:5:6:7:8:9", 8, true, false, "0001:0002:0003:0004:0005:0006:0007:0008"},
        {"a::b", 8, true, false, "....:....:....:....:....:....:....:...."},
        {"", 0, true, true, ""},
        {"1", 0, true, false, ""},
        {"a:b", 2, true, true, "000a:000b"},
        {"c:d:e", 2, true, false, "000c:000d"},
        {"1.2.3.4", 2, false, false, "....:...."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.part) + (c.fromLeft ? " from the left into " : " from the right into ") +
                     std::to_string(c.size));
        std::vector<std::string> groups(c.size, "....");
        EXPECT_EQ(URI::helperIPv6(c.part, groups, c.fromLeft), c.ok);
        std::string joined;
        for (const std::string& g : groups) joined += (joined.empty() ? "" : ":") + g;
        EXPECT_EQ(joined, c.groups);
    }
}

TEST(ExpandIPv6Addr, FullFormsAppendedAndRejectedFormsWriteNothing) {
    const struct {
        const char *address, *full;  // full: null when refused
    } cases[] = {
        {"FE80::1", "FE80:0000:0000:0000:0000:0000:0000:0001"},
        {"1:2:3:4:5::6:7", "0001:0002:0003:0004:0005:0000:0006:0007"},
        {"::", "0000:0000:0000:0000:0000:0000:0000:0000"},
        {"::ffff:192.168.0.1", "0000:0000:0000:0000:0000:ffff:c0a8:0001"},
        {"1:2:3:4:5:6:1.2.3.4", "0001:0002:0003:0004:0005:0006:0102:0304"},
        {"1:2:3:4:5:6::1.2.3.4", "0001:0002:0003:0004:0005:0006:0102:0304"},
        {"1:2:3", "0001:0002:0003:0000:0000:0000:0000:0000"},
        {"1:2:3:4:5:6:7::", nullptr},
        {"::1:2:3:4:5:6:7", nullptr},
        {"1::2::3", nullptr},
        {"fe80::1%eth0", nullptr},
        {"1.2.3.4::1", nullptr},
        {"1:2:3:4:5:6:7:1.2.3.4", nullptr},
        {"12345::", nullptr},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        EXPECT_EQ(URI::ExpandIPv6Addr(c.address, out), c.full != nullptr) << c.address;
        EXPECT_EQ(out, c.full ? std::string("x") + c.full : "x") << c.address;
    }
}

}  // namespace
