// Conversion between UTF-8 and UTF-16, the code page 65001 conversions of the Transcoder.
#ifndef TESSERA_ENCODING_UTF8_UTF16_H
#define TESSERA_ENCODING_UTF8_UTF16_H

#include <cstddef>
#include <string>

namespace tessera::encoding {

/// UTF-8 to UTF-16 code units; each maximal invalid subpart becomes U+FFFD.
std::wstring Utf8ToUtf16(const char* data, std::size_t size);

/// UTF-16 code units to UTF-8; an unpaired surrogate becomes EF BF BD.
std::string Utf16ToUtf8(const wchar_t* data, std::size_t size);

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF8_UTF16_H
