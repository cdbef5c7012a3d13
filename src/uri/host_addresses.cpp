// Host addresses: dotted IPv4 addresses, and the full eight-group form of IPv6
// addresses that the relation operations compare.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <tessera/URI.h>

namespace Varn {
namespace {

constexpr std::size_t kIPv6Groups = 8;
constexpr std::size_t kGroupWidth = 4;

// Reads a decimal integer from the start of text as the "%d" conversion reads one:
// white space, an optional sign, then digits up to the first other byte. Text without a
// digit there reads as 0. Long digit runs stop growing beyond 255, before the value
// could overflow (a long has 32 bits on Windows).
long ReadLeadingDecimal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr long kSaturated = 1000000;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < kSaturated) value = value * 10 + (text[i] - '0');
    }
    return negative ? -value : value;
}

// The value as lower-case hexadecimal digits, padded on the left with '0' to four.
std::string FourHexDigits(unsigned value) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out(kGroupWidth, '0');
    for (std::size_t i = kGroupWidth; i-- > 0 && value != 0; value >>= 4) out[i] = kDigits[value & 0xF];
    return out;
}

}  // namespace

bool URI::IsIPv4Address(const std::string& text, std::vector<int>* octets) {
    std::string_view parts[4];
    std::string_view rest = text;
    for (int i = 0; i < 3; ++i) {
        const std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos) return false;
        parts[i] = rest.substr(0, dot);
        rest.remove_prefix(dot + 1);
    }
    if (rest.empty() || rest.find('.') != std::string_view::npos) return false;
    parts[3] = rest;

    for (const std::string_view part : parts) {
        const long value = ReadLeadingDecimal(part);
        if (value == 0 && part != "0") return false;
        if (value < 0 || value > 255) return false;
        if (octets) octets->push_back(static_cast<int>(value));
    }
    return true;
}

bool URI::ConvertIPv4ToIPv6Addr(std::vector<int>* octets, std::string& out) {
    if (!octets || octets->size() != 4) return false;
    const std::vector<int>& o = *octets;
    for (int octet : o) {
        if (octet < 0 || octet > 255) return false;  // two groups could not hold them
    }
    out = FourHexDigits(static_cast<unsigned>(o[0] * 256 + o[1]));
    out += ':';
    out += FourHexDigits(static_cast<unsigned>(o[2] * 256 + o[3]));
    return true;
}

bool URI::helperIPv6(std::string part, std::vector<std::string>& groups, bool fromLeft) {
    if (!part.empty() && part.find("::") != std::string::npos) return false;
    // A list shorter than eight groups takes what fits; a group beyond its end fails.
    const auto fits = [&groups](int index) { return static_cast<std::size_t>(index) < groups.size(); };
    int i = fromLeft ? 0 : 7;
    std::string_view rest = part;
    while (!rest.empty()) {
        std::string_view group;
        const std::size_t colon = fromLeft ? rest.find(':') : rest.rfind(':');
        if (colon == std::string_view::npos) {
            group = rest;
            rest = std::string_view();
        } else if (fromLeft) {
            group = rest.substr(0, colon);
            rest.remove_prefix(colon + 1);
        } else {
            group = rest.substr(colon + 1);
            rest = rest.substr(0, colon);
        }

        if (group.size() > kGroupWidth) {  // an IPv4 tail in the last two groups
            std::vector<int> octets;
            std::string pair;
            if (!IsIPv4Address(std::string(group), &octets)) return false;
            ConvertIPv4ToIPv6Addr(&octets, pair);
            if (i != (fromLeft ? 6 : 7) || !fits(7)) return false;
            groups[6] = pair.substr(0, kGroupWidth);
            groups[7] = pair.substr(kGroupWidth + 1);
            i = fromLeft ? 8 : 5;
            continue;
        }
        if (i < 0 || i > 7 || !fits(i)) return false;
        std::string& slot = groups[static_cast<std::size_t>(i)];
        slot.assign(kGroupWidth - group.size(), '0');
        slot.append(group);
        i += fromLeft ? 1 : -1;
    }
    return true;
}

bool URI::ExpandIPv6Addr(std::string address, std::string& out) {
    if (address.empty()) return false;
    std::size_t colons = 0;
    for (char c : address) colons += c == ':';
    if (colons > 7) return false;

    std::vector<std::string> groups(kIPv6Groups, std::string(kGroupWidth, '0'));
    const std::size_t gap = address.find("::");
    if (gap != std::string::npos) {
        if (!helperIPv6(address.substr(0, gap), groups, true)) return false;
        if (!helperIPv6(address.substr(gap + 2), groups, false)) return false;
    } else if (!helperIPv6(address, groups, true)) {
        return false;
    }

    out.reserve(out.size() + kIPv6Groups * (kGroupWidth + 1));
    for (std::size_t g = 0; g < kIPv6Groups; ++g) {
        if (g != 0) out += ':';
        out += groups[g];
    }
    return true;
}

}  // namespace Varn
