// Small helpers for UTF-16 code units held in wchar_t elements.
#ifndef TESSERA_PLATFORM_POSIX_UTF16_UNITS_H
#define TESSERA_PLATFORM_POSIX_UTF16_UNITS_H

#include <cstddef>

namespace tessera::platform::posix {

/// One character of UTF-16 text: a code point from a surrogate pair, or a single unit
/// (an unpaired surrogate stays as its own unit value), and the units it took.
struct Utf16Char {
    char32_t codePoint;
    std::size_t length;
};

/// The character at `p` (`p < end`).
inline Utf16Char ReadUtf16Char(const wchar_t* p, const wchar_t* end) {
    const char32_t unit = static_cast<char32_t>(p[0]) & 0xFFFF;
    if (unit >= 0xD800 && unit <= 0xDBFF && p + 1 < end) {
        const char32_t next = static_cast<char32_t>(p[1]) & 0xFFFF;
        if (next >= 0xDC00 && next <= 0xDFFF) {
            return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2};
        }
    }
    return {unit, 1};
}

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_UTF16_UNITS_H
