// The plain, one-character-at-a-time UTF-8 <-> UTF-16 conversion, and the library's one
// reader of UTF-8 sequences and UTF-16 surrogate pairs. It defines the results (the fast
// conversions must agree with it on every input) and handles the sequences the fast loops
// leave to it.
#ifndef TESSERA_UNICODE_UTF8_UTF16_REFERENCE_H
#define TESSERA_UNICODE_UTF8_UTF16_REFERENCE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessera::unicode {

/// The character that replaces invalid input.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

/// One decoded UTF-8 sequence: the code point (U+FFFD for an invalid subpart) and how
/// many bytes it took (at least 1).
struct Utf8Sequence {
    char32_t codePoint;
    std::size_t length;
};

/// Decodes the sequence at `p` (`p < end`). An ill-formed sequence yields U+FFFD for its
/// maximal subpart: the longest prefix that could still begin a well-formed sequence.
Utf8Sequence DecodeUtf8Sequence(const unsigned char* p, const unsigned char* end);

/// Writes `codePoint` (at most U+10FFFF, no surrogate) as 1 or 2 UTF-16 units; returns
/// the count.
std::size_t EncodeUtf16(char32_t codePoint, wchar_t* out);

/// Writes `codePoint` (at most U+10FFFF, no surrogate) as 1 to 4 UTF-8 bytes; returns
/// the count.
std::size_t EncodeUtf8(char32_t codePoint, char* out);

/// One character of UTF-16 text: a code point and how many units it took (1 or 2).
struct Utf16Sequence {
    char32_t codePoint;
    std::size_t length;
};

constexpr bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
/// The code point of a high surrogate followed by a low one.
constexpr char32_t CodePointOfPair(std::uint32_t high, std::uint32_t low) {
    return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}

/// Reads the character at `p` (`p < end`) as it stands: a high surrogate followed by a low
/// one gives the code point of the pair; any other element gives its own value, an
/// unpaired surrogate included, and (where wchar_t is 32 bits wide) a value above 0xFFFF.
inline Utf16Sequence ReadUtf16Sequence(const wchar_t* p, const wchar_t* end) {
    // Where wchar_t is signed and 32 bits wide, a negative element reads as a value above
    // 0xFFFF, which pairs with nothing.
    const auto unit = static_cast<std::uint32_t>(p[0]);
    if (IsHighSurrogate(unit) && p + 1 != end) {
        const auto next = static_cast<std::uint32_t>(p[1]);
        if (IsLowSurrogate(next)) return {CodePointOfPair(unit, next), 2};
    }
    return {unit, 1};
}

/// Decodes the character at `p` (`p < end`) as `ReadUtf16Sequence` does, except that an
/// unpaired surrogate or an element above 0xFFFF gives U+FFFD.
Utf16Sequence DecodeUtf16Sequence(const wchar_t* p, const wchar_t* end);

/// UTF-8 to UTF-16, one sequence at a time.
std::wstring ReferenceUtf8ToUtf16(const char* data, std::size_t size);

/// UTF-16 to UTF-8, one character at a time.
std::string ReferenceUtf16ToUtf8(const wchar_t* data, std::size_t size);

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_UTF8_UTF16_REFERENCE_H
