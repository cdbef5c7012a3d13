// The "windows-%ld" reading of encoding names, written out so that it does not depend on
// the C library's locale or its scanf.
#include "encoding/code_page_scan.h"

#include <limits>

namespace tessera::encoding {
namespace {

// The white space of the C locale, which is what "%ld" skips.
bool IsCSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<std::int32_t> ScanCodePage(const std::string& text, const char* prefix) {
    const char* p = text.c_str();  // NUL-terminated: reading stops at the first NUL
    for (; *prefix != '\0'; ++prefix, ++p) {
        if (*p != *prefix) return std::nullopt;
    }
    while (IsCSpace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = *p == '-';
        ++p;
    }
    if (!IsDigit(*p)) return std::nullopt;
    // Accumulate towards the limit on the number's own side so that the most negative
    // value is reachable; saturate like a 32-bit strtol.
    constexpr std::int64_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; IsDigit(*p); ++p) {
        const int digit = *p - '0';
        value = negative ? value * 10 - digit : value * 10 + digit;
        if (value > kMax) value = kMax + 1;  // keep saturated without overflowing
        if (value < kMin) value = kMin - 1;
    }
    if (value > kMax) return static_cast<std::int32_t>(kMax);
    if (value < kMin) return static_cast<std::int32_t>(kMin);
    return static_cast<std::int32_t>(value);
}

}  // namespace tessera::encoding
