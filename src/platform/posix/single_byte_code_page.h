// Table-driven conversion of a single-byte code page.
#ifndef TESSERA_PLATFORM_POSIX_SINGLE_BYTE_CODE_PAGE_H
#define TESSERA_PLATFORM_POSIX_SINGLE_BYTE_CODE_PAGE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/codepage_data.h"

namespace tessera::platform::posix {

/// A single-byte code page as two tables: byte to UTF-16 (read from iconv one byte at a
/// time, then corrected) and its inverse (plus the encode corrections).
class SingleByteCodePage {
public:
    /// Builds the tables; nullptr when iconv cannot convert the charset.
    static std::unique_ptr<SingleByteCodePage> Build(const CodePageCharset& charset);

    std::wstring Decode(const char* data, std::size_t size) const;
    std::string Encode(const wchar_t* data, std::size_t size) const;

private:
    SingleByteCodePage() = default;
    /// The byte for a UTF-16 unit, or -1.
    int ByteFor(char16_t unit) const;

    char16_t m_toUnicode[256] = {};
    std::int16_t m_fromLatin1[256] = {};                          // units below 0x100
    std::vector<std::pair<char16_t, unsigned char>> m_fromOther;  // sorted by unit
    char m_defaultByte = '?';
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_SINGLE_BYTE_CODE_PAGE_H
