// Table-driven conversion of a double-byte code page (single bytes and lead-byte pairs).
#ifndef TESSERA_PLATFORM_POSIX_DOUBLE_BYTE_CODE_PAGE_H
#define TESSERA_PLATFORM_POSIX_DOUBLE_BYTE_CODE_PAGE_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/codepage_data.h"

namespace tessera::platform::posix {

/// A double-byte code page as tables: every single byte and every pair that starts with a
/// lead byte decoded (read from iconv one sequence at a time, then corrected), and the
/// inverse for every UTF-16 unit.
class DoubleByteCodePage {
public:
    /// Builds the tables; nullptr when iconv cannot convert the charset.
    static std::unique_ptr<DoubleByteCodePage> Build(const CodePageCharset& charset, const LeadBytes& leads);

    std::wstring Decode(const char* data, std::size_t size) const;
    std::string Encode(const wchar_t* data, std::size_t size) const;

private:
    DoubleByteCodePage() = default;

    static constexpr std::uint16_t kUnmapped = 0xFFFF;  // no code page has lead byte 0xFF

    char16_t m_singles[256] = {};
    std::int16_t m_leadIndex[256] = {};   // row of m_pairs, or -1 for a byte that is no lead
    std::vector<char16_t> m_pairs;        // 256 units per lead byte, indexed by trail byte
    std::vector<std::uint16_t> m_encode;  // per UTF-16 unit: a byte, lead << 8 | trail, or kUnmapped
    char16_t m_defaultUnicode = u'?';
    std::string m_defaultBytes;
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_DOUBLE_BYTE_CODE_PAGE_H
