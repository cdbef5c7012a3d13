// Conversion between UTF-8 and UTF-16 with the fastest kernel the processor runs.
#ifndef TESSERA_UNICODE_UTF8_UTF16_H
#define TESSERA_UNICODE_UTF8_UTF16_H

#include <cstddef>
#include <string>

#include "unicode/kernel.h"

namespace tessera::unicode {

/// UTF-8 to UTF-16 code units; each maximal invalid subpart becomes U+FFFD.
std::wstring Utf8ToUtf16(const char* data, std::size_t size);

/// UTF-16 code units to UTF-8; an unpaired surrogate becomes EF BF BD.
std::string Utf16ToUtf8(const wchar_t* data, std::size_t size);

/// Converts whole characters of UTF-8 from `p` into [out, outEnd), as `Utf8ToUtf16` would,
/// while a block of the current kernel still fits; advances `p` and returns the end of the
/// output. Stops at a character boundary, so that the rest of the text converts on its own
/// to what the whole text would have given. Lets a caller convert a window at a time.
wchar_t* Utf8ToUtf16Window(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd);

/// `Utf8ToUtf16` and `Utf16ToUtf8` with a given kernel, which the processor must run.
std::wstring Utf8ToUtf16With(const Kernel& kernel, const char* data, std::size_t size);
std::string Utf16ToUtf8With(const Kernel& kernel, const wchar_t* data, std::size_t size);

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_UTF8_UTF16_H
