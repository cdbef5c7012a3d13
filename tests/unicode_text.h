// Text built element by element for the conversion tests, written by hand so that it
// does not depend on the code under test: UTF-16 units from numbers, and code points
// (surrogates too, as the ill-formed UTF-8 some tests want) in UTF-8 and UTF-16; and a
// comparison of long results that says where they part.
#ifndef TESSERA_TESTS_UNICODE_TEXT_H
#define TESSERA_TESTS_UNICODE_TEXT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace tessera_test {

/// One wchar_t per number: Units({'a', 0xD800}) is "a" and a lone high surrogate.
inline std::wstring Units(std::initializer_list<std::uint32_t> units) {
    std::wstring text;
    for (std::uint32_t unit : units) text.push_back(static_cast<wchar_t>(unit));
    return text;
}

/// Appends the one- to four-byte form of `c`, whatever it is (a surrogate too).
inline void AppendUtf8(std::uint32_t c, std::string& out) {
    auto byte = [&out](std::uint32_t b) { out.push_back(static_cast<char>(b)); };
    if (c < 0x80) {
        byte(c);
    } else if (c < 0x800) {
        byte(0xC0 | c >> 6), byte(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        byte(0xE0 | c >> 12), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F));
    } else {
        byte(0xF0 | c >> 18), byte(0x80 | (c >> 12 & 0x3F)), byte(0x80 | (c >> 6 & 0x3F)), byte(0x80 | (c & 0x3F));
    }
}

inline std::string Utf8Of(std::uint32_t c) {
    std::string out;
    AppendUtf8(c, out);
    return out;
}

/// Appends `c` as one unit, or as a surrogate pair above U+FFFF.
inline void AppendUtf16(std::uint32_t c, std::wstring& out) {
    if (c < 0x10000) {
        out.push_back(static_cast<wchar_t>(c));
    } else {
        out.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
        out.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    }
}

/// Passes when the texts are equal; else gives both sizes and, from the first element
/// where they part, a few elements of each.
template <typename Text>
testing::AssertionResult SameText(const Text& actual, const Text& expected) {
    if (actual == expected) return testing::AssertionSuccess();
    const auto at = static_cast<std::size_t>(
        std::mismatch(actual.begin(), actual.end(), expected.begin(), expected.end()).first - actual.begin());
    return testing::AssertionFailure() << "sizes " << actual.size() << " and " << expected.size() << "; from element "
                                       << at << ": " << testing::PrintToString(actual.substr(at, 12)) << " instead of "
                                       << testing::PrintToString(expected.substr(at, 12));
}

}  // namespace tessera_test

#endif  // TESSERA_TESTS_UNICODE_TEXT_H
