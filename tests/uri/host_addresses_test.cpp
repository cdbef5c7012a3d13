// IPv4 recognition, IPv4-to-IPv6 groups, and the full form of IPv6 addresses, with the
// partial output that failures leave behind.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <tessera/URI.h>

namespace {

using Varn::URI;
using Octets = std::vector<int>;

TEST(IPv4Address, AcceptedFormsAndTheirOctets) {
    struct Case { const char* text; Octets octets; };
    const Case cases[] = {
        {"192.168.0.1", {192, 168, 0, 1}}, {"01.2.3.4", {1, 2, 3, 4}},   {"1.2.3.4x", {1, 2, 3, 4}},
        {"+1.2.3.4", {1, 2, 3, 4}},        {"0.0.0.0", {0, 0, 0, 0}},   {"255.255.255.255", {255, 255, 255, 255}},
        {" 1.\t2.3 .4", {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        Octets octets;
        EXPECT_TRUE(URI::IsIPv4Address(c.text, &octets)) << c.text;
        EXPECT_EQ(octets, c.octets) << c.text;
        EXPECT_TRUE(URI::IsIPv4Address(c.text, nullptr)) << c.text;
    }
}

TEST(IPv4Address, RejectedFormsKeepTheOctetsReadBeforeTheFailingPart) {
    struct Case { const char* text; Octets partial; };
    const Case cases[] = {
        {"1.2.3", {}},        {"1.2.3.", {}},          {"1.2.3.4.5", {}},     {"1..3.4", {1}},
        {"a.b.c.d", {}},      {"1.2.3.256", {1, 2, 3}}, {"1.-2.3.4", {1}},     {"1.2.3.00", {1, 2, 3}},
        {"00.0.0.0", {}},     {"-0.1.2.3", {}},        {"1.2.+0.4", {1, 2}},  {"1.2.99999999999.4", {1, 2}},
    };
    for (const Case& c : cases) {
        Octets octets;
        EXPECT_FALSE(URI::IsIPv4Address(c.text, &octets)) << c.text;
        EXPECT_EQ(octets, c.partial) << c.text;
    }
}

// The rules of IsIPv4Address with each part read by sscanf's "%d".
bool IsIPv4ByScanf(const std::string& text, Octets& octets) {
    std::vector<std::string> parts;
    std::string rest = text;
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = rest.find('.');
        if (dot == std::string::npos) return false;
        parts.push_back(rest.substr(0, dot));
        rest.erase(0, dot + 1);
    }
    if (rest.empty() || rest.find('.') != std::string::npos) return false;
    parts.push_back(rest);
    for (const std::string& part : parts) {
        int value = 0;
        if (std::sscanf(part.c_str(), "%d", &value) != 1) value = 0;
        if ((value == 0 && part != "0") || value < 0 || value > 255) return false;
        octets.push_back(value);
    }
    return true;
}

TEST(IPv4Address, ReadsEachPartAsScanfReadsADecimal) {
    const char* parts[] = {"0", "00", "1", "01", "+1", "-1", "+", "-", "", " ", " 7", "\t\n8", "255", "256",
                           "-0", "+0", "1a", "a1", "0x1a", "9 9", "2147483647", "-2147483648", "\v12", "+-3"};
    int compared = 0;
    for (const char* first : parts) {
        for (const char* second : parts) {
            for (const std::string& text : {std::string(first) + ".2." + second + ".4",
                                            std::string("1.") + first + ".3." + second}) {
                Octets expected, actual;
                const bool expectedResult = IsIPv4ByScanf(text, expected);
                EXPECT_EQ(URI::IsIPv4Address(text, &actual), expectedResult) << '"' << text << '"';
                EXPECT_EQ(actual, expected) << '"' << text << '"';
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 1000);
}

TEST(ConvertIPv4ToIPv6Addr, FourOctetsMakeTwoGroups) {
    std::string out = "kept";
    Octets three{1, 2, 3}, empty, outOfRange{1, 2, 3, 256};
    EXPECT_FALSE(URI::ConvertIPv4ToIPv6Addr(&three, out));
    EXPECT_FALSE(URI::ConvertIPv4ToIPv6Addr(&empty, out));
    EXPECT_FALSE(URI::ConvertIPv4ToIPv6Addr(&outOfRange, out));
    EXPECT_EQ(out, "kept");
    Octets zeros{0, 0, 0, 0}, lan{192, 168, 0, 1};
    EXPECT_TRUE(URI::ConvertIPv4ToIPv6Addr(&zeros, out));
    EXPECT_EQ(out, "0000:0000");
    EXPECT_TRUE(URI::ConvertIPv4ToIPv6Addr(&lan, out));
    EXPECT_EQ(out, "c0a8:0001");
}

TEST(HelperIPv6, FillsFromEitherEndAndKeepsGroupsWrittenBeforeAFailure) {
    struct Case { const char* part; bool fromLeft, ok; const char* groups; };
    const Case cases[] = {
        {"a:b", false, true, "....:....:....:....:....:....:000a:000b"},
        {":a", true, true, "0000:000a:....:....:....:....:....:...."},
        {"a:", true, true, "000a:....:....:....:....:....:....:...."},
        {"1:2:12345", true, false, "0001:0002:....:....:....:....:....:...."},
        {"1:2:3:4:5:6:1.2.3.4", true, true, "0001:0002:0003:0004:0005:0006:0102:0304"},
        {"1.2.3.4:1", false, false, "....:....:....:....:....:....:....:0001"},
        {"1:2:3:4:5:6:7:8:9", true, false, "0001:0002:0003:0004:0005:0006:0007:0008"},
        {"a::b", true, false, "....:....:....:....:....:....:....:...."},
        {"", true, true, "....:....:....:....:....:....:....:...."},
    };
    for (const Case& c : cases) {
        std::vector<std::string> groups(8, "....");
        EXPECT_EQ(URI::helperIPv6(c.part, groups, c.fromLeft), c.ok) << c.part;
        std::string joined;
        for (const std::string& g : groups) joined += (joined.empty() ? "" : ":") + g;
        EXPECT_EQ(joined, c.groups) << c.part;
    }
}

TEST(ExpandIPv6Addr, FullForms) {
    const char* cases[][2] = {
        {"::1", "0000:0000:0000:0000:0000:0000:0000:0001"},
        {"0:0:0:0:0:0:0:1", "0000:0000:0000:0000:0000:0000:0000:0001"},
        {"fe80::a:b", "fe80:0000:0000:0000:0000:0000:000a:000b"},
        {"FE80::1", "FE80:0000:0000:0000:0000:0000:0000:0001"},
        {"1:2:3:4:5::6:7", "0001:0002:0003:0004:0005:0000:0006:0007"},
        {"::ffff:192.168.0.1", "0000:0000:0000:0000:0000:ffff:c0a8:0001"},
        {"1:2:3:4:5:6:1.2.3.4", "0001:0002:0003:0004:0005:0006:0102:0304"},
        {"1:2:3:4:5:6::1.2.3.4", "0001:0002:0003:0004:0005:0006:0102:0304"},
        {"1:2:3", "0001:0002:0003:0000:0000:0000:0000:0000"},
        {"::", "0000:0000:0000:0000:0000:0000:0000:0000"},
    };
    for (const auto& c : cases) {
        std::string out = "x";
        EXPECT_TRUE(URI::ExpandIPv6Addr(c[0], out)) << c[0];
        EXPECT_EQ(out, std::string("x") + c[1]) << c[0];
    }
}

TEST(ExpandIPv6Addr, RejectedFormsWriteNothing) {
    for (const char* address : {"", "1:2:3:4:5:6:7::", "::1:2:3:4:5:6:7", "1:2:3:4:5:6:7:8:9", "1::2::3",
                                "fe80::1%eth0", "1.2.3.4::1", "1:2:3:4:5:6:7:1.2.3.4", "12345::"}) {
        std::string out = "kept";
        EXPECT_FALSE(URI::ExpandIPv6Addr(address, out)) << address;
        EXPECT_EQ(out, "kept") << address;
    }
}

}  // namespace
