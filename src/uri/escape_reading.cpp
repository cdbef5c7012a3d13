// Reading percent escapes: one candidate escape by the "%x" conversion of formatted
// input, done by hand so that unescaping never calls the formatted-input functions; and
// decoding the escapes of a text.
#include "uri/escape_reading.h"

#include <climits>
#include <cstring>

namespace tessera::uri {
namespace {

bool IsFormattedInputSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "%x" applied to the NUL-terminated text [p, end): white space, an optional sign, an
// optional "0x", hexadecimal digits. Overflow gives ULONG_MAX, as strtoul does. False
// when no digit was read.
bool ScanHex(const char* p, const char* end, unsigned long& value) {
    auto at = [end](const char* q) { return q < end ? *q : '\0'; };
    while (IsFormattedInputSpace(at(p))) ++p;
    bool negative = false;
    if (at(p) == '+' || at(p) == '-') negative = *p++ == '-';
    bool digits = false;
    if (at(p) == '0') {
        digits = true;
        ++p;
        if (at(p) == 'x' || at(p) == 'X') ++p;
    }
    bool overflow = false;
    value = 0;
    for (int d; (d = HexDigitValue(at(p))) >= 0; ++p) {
        digits = true;
        if (value > (ULONG_MAX - static_cast<unsigned long>(d)) / 16) overflow = true;
        value = value * 16 + static_cast<unsigned long>(d);
    }
    if (overflow)
        value = ULONG_MAX;
    else if (negative)
        value = 0ul - value;
    return digits;
}

}  // namespace

unsigned int ReadEscape(const char* text, std::size_t n, char& out) noexcept {
    // The text without its spaces; only whether it is exactly three bytes matters.
    char kept[3] = {'\0', '\0', '\0'};
    std::size_t length = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == ' ') continue;
        if (length < 3) kept[length] = text[i];
        ++length;
    }
    unsigned long value = 0;
    if (length != 3 || kept[0] != '%' || !ScanHex(kept + 1, kept + 3, value)) {
        out = kept[0];
        return 1;
    }
    out = static_cast<char>(value & 0xFFu);
    return 3;
}

std::string UnescapeText(std::string_view text, bool onlyHighBytes) {
    const std::size_t n = text.size();
    const char* d = text.data();
    std::size_t p = text.find('%');
    if (p == std::string_view::npos) return std::string(text);

    std::string out;
    out.reserve(n);
    std::size_t pos = 0;  // the bytes before pos are written
    while (p != std::string_view::npos && n - p >= 3) {
        char b = '\0';
        const unsigned int consumed = ReadEscape(d + p, 3, b);
        if (!onlyHighBytes || static_cast<unsigned char>(b) >= 0x80) {
            out.append(d + pos, p - pos);
            out.push_back(b);
        } else {
            out.append(d + pos, p + consumed - pos);
        }
        pos = p + consumed;
        p = text.find('%', pos);
    }
    out.append(d + pos, n - pos);
    return out;
}

}  // namespace tessera::uri
