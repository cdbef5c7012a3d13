// Output sizes of the UTF-8 <-> UTF-16 conversions, counted ahead so that a result is
// allocated once; the same for every kernel, with SSE2 where the build targets it.
#ifndef TESSERA_UNICODE_UTF_LENGTH_H
#define TESSERA_UNICODE_UTF_LENGTH_H

#include <cstddef>

namespace tessera::unicode {

/// Number of UTF-16 units that the UTF-8 text [begin, end) converts to, exact for
/// well-formed text (invalid sequences may make the conversion longer or shorter).
std::size_t Utf16LengthOfUtf8(const unsigned char* begin, const unsigned char* end);

/// Number of UTF-8 bytes that the UTF-16 text [begin, end) converts to, exact for any
/// input (every unit that is no part of a surrogate pair counts as one character).
std::size_t Utf8LengthOfUtf16(const wchar_t* begin, const wchar_t* end);

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_UTF_LENGTH_H
