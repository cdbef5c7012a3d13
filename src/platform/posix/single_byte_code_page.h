// Table-driven conversion of a single-byte code page, from and to UTF-16 and straight
// from and to UTF-8.
#ifndef TESSERA_PLATFORM_POSIX_SINGLE_BYTE_CODE_PAGE_H
#define TESSERA_PLATFORM_POSIX_SINGLE_BYTE_CODE_PAGE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/codepage_data.h"
#include "platform/posix/utf8_routes.h"

namespace tessera::platform::posix {

/// A single-byte code page as two tables: byte to UTF-16 (read from iconv one byte at a
/// time, then corrected) and its inverse (plus the encode corrections). The UTF-8 routes
/// give exactly what the UTF-16 routes give for the text's UTF-16 form.
class SingleByteCodePage {
public:
    /// Builds the tables; nullptr when iconv cannot convert the charset.
    static std::unique_ptr<SingleByteCodePage> Build(const CodePageCharset& charset);

    std::wstring Decode(const char* data, std::size_t size) const;
    std::string Encode(const wchar_t* data, std::size_t size) const;
    std::string DecodeToUtf8(const char* data, std::size_t size) const;
    std::string EncodeUtf8(const char* data, std::size_t size) const;

private:
    SingleByteCodePage() = default;
    /// The inverse table from the byte of each UTF-16 unit (-1 where there is none).
    void BuildEncodeTable(const std::vector<int>& byteOfUnit, unsigned char defaultByte);
    /// The byte that a UTF-16 unit encodes to: the default byte when the page lacks it.
    unsigned char ByteOf(char16_t unit) const {
        return m_encodeBlocks[m_encodeBlockOf[unit >> 8] * 256u + (unit & 0xFF)];
    }

    char16_t m_toUnicode[256] = {};
    Utf8Bytes m_toUtf8[256] = {};
    bool m_decodesSurrogates = false;  // some byte decodes to a surrogate: UTF-8 goes through UTF-16
    bool m_asciiIsAscii = false;       // bytes 00-7F and units 0000-007F map to themselves
    // The inverse in blocks of 256 units: m_encodeBlockOf[unit >> 8] is the block of unit
    // (block 0 is all default bytes, for the blocks of units the page does not have).
    std::uint16_t m_encodeBlockOf[256] = {};
    std::vector<unsigned char> m_encodeBlocks;
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_SINGLE_BYTE_CODE_PAGE_H
