// Table-driven conversion of a double-byte code page (single bytes and lead-byte pairs),
// from and to UTF-16 and straight from and to UTF-8.
#ifndef TESSERA_PLATFORM_POSIX_DOUBLE_BYTE_CODE_PAGE_H
#define TESSERA_PLATFORM_POSIX_DOUBLE_BYTE_CODE_PAGE_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/codepage_data.h"
#include "platform/posix/utf8_routes.h"

namespace tessera::platform::posix {

/// A double-byte code page as tables: every single byte and every pair that starts with a
/// lead byte decoded (read from iconv one sequence at a time, then corrected), and the
/// inverse for every UTF-16 unit. The UTF-8 routes give exactly what the UTF-16 routes
/// give for the text's UTF-16 form.
class DoubleByteCodePage {
public:
    /// Builds the tables; nullptr when iconv cannot convert the charset.
    static std::unique_ptr<DoubleByteCodePage> Build(const CodePageCharset& charset, const LeadBytes& leads);

    std::wstring Decode(const char* data, std::size_t size) const;
    std::string Encode(const wchar_t* data, std::size_t size) const;
    std::string DecodeToUtf8(const char* data, std::size_t size) const;
    std::string EncodeUtf8(const char* data, std::size_t size) const;

private:
    DoubleByteCodePage() = default;
    void BuildUtf8Tables();
    /// Encodes [p, end), a run of UTF-8 that ends where a character does, through the UTF-8
    /// conversion's kernel a window of UTF-16 units at a time; returns the end of the
    /// output. The bytes of a unit fit where the one or more bytes of input it came from were.
    unsigned char* EncodeRunThroughUtf16(const unsigned char*& p, const unsigned char* end, unsigned char* out) const;
    /// Runs shorter than this go a character or two at a time: a call of the kernel costs more.
    static constexpr std::size_t kKernelRun = 48;

    /// The length of the sequence at `p` (`p < end`): a lead byte and the byte after it,
    /// unless the input ends there or that byte is NUL.
    std::size_t SequenceLength(const unsigned char* p, const unsigned char* end) const {
        return m_leadIndex[p[0]] < 0 || end - p == 1 || p[1] == 0 ? 1 : 2;
    }
    std::size_t PairIndex(const unsigned char* p) const {
        return static_cast<std::size_t>(m_leadIndex[p[0]]) * 256 + p[1];
    }
    /// Writes what a UTF-16 unit encodes to; returns the end of it. Stores two bytes for a
    /// character of one, so `out` has room for one more.
    unsigned char* PutUnit(unsigned char* out, char16_t unit) const { return PutCode(out, m_encode[unit]); }
    /// The same for the unit's entry of `m_encode`.
    unsigned char* PutCode(unsigned char* out, std::uint16_t code) const {
        if (code == kUnmapped) {
            std::memcpy(out, m_defaultBytes.data(), m_defaultBytes.size());
            return out + m_defaultBytes.size();
        }
        const bool pair = code > 0xFF;
        out[0] = static_cast<unsigned char>(pair ? code >> 8 : code);
        out[1] = static_cast<unsigned char>(code & 0xFF);
        return out + 1 + pair;
    }

    static constexpr std::uint16_t kUnmapped = 0xFFFF;  // no code page has lead byte 0xFF

    char16_t m_singles[256] = {};
    std::int16_t m_leadIndex[256] = {};   // row of m_pairs, or -1 for a byte that is no lead
    std::vector<char16_t> m_pairs;        // 256 units per lead byte, indexed by trail byte
    std::vector<std::uint16_t> m_encode;  // per UTF-16 unit: a byte, lead << 8 | trail, or kUnmapped
    char16_t m_defaultUnicode = u'?';
    std::string m_defaultBytes;

    // The decoding tables again, as UTF-8.
    Utf8Bytes m_singlesUtf8[256] = {};
    std::vector<Utf8Bytes> m_pairsUtf8;
    bool m_decodesSurrogates = false;    // some sequence decodes to a surrogate: UTF-8 goes through UTF-16
    bool m_asciiIsAscii = false;         // bytes 00-7F and units 0000-007F map to themselves
    std::size_t m_bytesPerUtf8Byte = 2;  // the most bytes one byte of UTF-8 can encode to
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_DOUBLE_BYTE_CODE_PAGE_H
