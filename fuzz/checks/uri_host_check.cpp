// uri_host: the input as a host address for ExpandIPv6Addr, IsIPv4Address and their
// helpers, and as the IPv6 host of a URI.
//
// Properties:
// - ExpandIPv6Addr: the empty text and text with more than seven ':' are refused; on
//   success it appends eight groups of four characters joined by ':' (no ':' inside a
//   group), each character a hexadecimal digit or one of the address's own, and
//   expanding that result again gives it back; on failure it leaves out untouched.
// - GetRelation sees an address of hexadecimal digits, ':' and '.' and its expansion as
//   the same host.
// - IsIPv4Address gives the same answer with and without an octet list; on success it
//   appends exactly four octets of 0-255, which ConvertIPv4ToIPv6Addr writes as two
//   lower-case four-digit hexadecimal groups of the same value; on failure it has
//   appended at most three.
// - helperIPv6 keeps the group list at eight entries.
#include <cstdio>
#include <string>
#include <vector>

#include <tessera/URI.h>

#include "check.h"

namespace tessera::fuzz {

namespace {

constexpr const char* kCheckName = "uri_host";
using Varn::URI;

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

void CheckFullForm(const std::string& address, const std::string& full) {
    bool shaped = full.size() == 39;
    for (std::size_t i = 0; shaped && i < full.size(); ++i) {
        const bool separator = i % 5 == 4;
        shaped = separator ? full[i] == ':'
                           : full[i] != ':' && (IsHexDigit(full[i]) || address.find(full[i]) != std::string::npos);
    }
    TESSERA_FUZZ_REQUIRE(shaped, Quote(address) + " -> " + Quote(full));
    std::string again;
    TESSERA_FUZZ_REQUIRE(URI::ExpandIPv6Addr(full, again) && again == full, Quote(full) + " -> " + Quote(again));
}

void CheckIPv6(const std::string& address) {
    std::string out = "prefix";
    const bool expanded = URI::ExpandIPv6Addr(address, out);
    std::size_t colons = 0;
    for (char c : address) colons += c == ':';
    if (address.empty() || colons > 7) TESSERA_FUZZ_REQUIRE(!expanded, Quote(address));
    if (!expanded) {
        TESSERA_FUZZ_REQUIRE(out == "prefix", Quote(address) + " -> " + Quote(out));
        return;
    }
    TESSERA_FUZZ_REQUIRE(out.compare(0, 6, "prefix") == 0, Quote(address));
    const std::string full = out.substr(6);
    CheckFullForm(address, full);

    bool plain = URI::IsIPv6(address);
    for (char c : address) plain = plain && (IsHexDigit(c) || c == ':' || c == '.');
    if (plain) {
        const URI::RELATION r = URI::GetRelationByString("http://[" + address + "]/a", "http://[" + full + "]/a");
        TESSERA_FUZZ_REQUIRE(r == URI::RELATION_SAME, Quote(address) + " vs " + Quote(full));
    }
}

void CheckIPv4(const std::string& address) {
    std::vector<int> octets;
    const bool accepted = URI::IsIPv4Address(address, &octets);
    TESSERA_FUZZ_REQUIRE(URI::IsIPv4Address(address, nullptr) == accepted, Quote(address));
    if (!accepted) {
        TESSERA_FUZZ_REQUIRE(octets.size() <= 3, Quote(address));
        return;
    }
    bool inRange = octets.size() == 4;
    for (int octet : octets) inRange = inRange && octet >= 0 && octet <= 255;
    TESSERA_FUZZ_REQUIRE(inRange, Quote(address));
    std::string groups;
    TESSERA_FUZZ_REQUIRE(URI::ConvertIPv4ToIPv6Addr(&octets, groups), Quote(address));
    char expected[16];
    std::snprintf(expected, sizeof expected, "%04x:%04x", octets[0] * 256 + octets[1], octets[2] * 256 + octets[3]);
    TESSERA_FUZZ_REQUIRE(groups == expected, Quote(address) + " -> " + Quote(groups));
}

void CheckHelper(const std::string& part) {
    for (bool fromLeft : {true, false}) {
        std::vector<std::string> groups(8, "0000");
        URI::helperIPv6(part, groups, fromLeft);
        TESSERA_FUZZ_REQUIRE(groups.size() == 8, Quote(part));
    }
}

}  // namespace

void CheckUriHost(const std::uint8_t* data, std::size_t size) {
    const std::string address(reinterpret_cast<const char*>(data), size);
    CheckIPv6(address);
    CheckIPv4(address);
    CheckHelper(address);
}

}  // namespace tessera::fuzz
