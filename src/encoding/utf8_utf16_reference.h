// The plain, one-character-at-a-time UTF-8 <-> UTF-16 conversion. It defines the results
// (the fast conversions must agree with it on every input) and handles the sequences the
// fast loops leave to it.
#ifndef TESSERA_ENCODING_UTF8_UTF16_REFERENCE_H
#define TESSERA_ENCODING_UTF8_UTF16_REFERENCE_H

#include <cstddef>
#include <string>

namespace tessera::encoding {

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

/// One decoded UTF-16 character: the code point (U+FFFD for an unpaired surrogate or a
/// unit above 0xFFFF) and how many units it took (1 or 2).
struct Utf16Sequence {
    char32_t codePoint;
    std::size_t length;
};

/// Decodes the character at `p` (`p < end`).
Utf16Sequence DecodeUtf16Sequence(const wchar_t* p, const wchar_t* end);

/// UTF-8 to UTF-16, one sequence at a time.
std::wstring ReferenceUtf8ToUtf16(const char* data, std::size_t size);

/// UTF-16 to UTF-8, one character at a time.
std::string ReferenceUtf16ToUtf8(const wchar_t* data, std::size_t size);

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF8_UTF16_REFERENCE_H
