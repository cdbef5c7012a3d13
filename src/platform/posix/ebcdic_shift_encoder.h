// Writing the mixed EBCDIC code pages (single bytes, and byte pairs between SO and SI)
// from a table of every UTF-16 unit, in place of iconv, whose encoders for these pages
// search their tables for every character. Decoding stays with the stream conversion.
#ifndef TESSERA_PLATFORM_POSIX_EBCDIC_SHIFT_ENCODER_H
#define TESSERA_PLATFORM_POSIX_EBCDIC_SHIFT_ENCODER_H

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/posix/codepage_data.h"

namespace tessera::platform::posix {

/// The encoder of a mixed EBCDIC code page, learnt from iconv's encoder one character at a
/// time. It writes what the stream conversion writes: SO before a pair written in the
/// single-byte state, SI before a single byte written in the double-byte state and at the
/// end of the text; for a character the page cannot hold (an unpaired surrogate included)
/// SI where needed, then the default character once per UTF-16 unit; nothing for a tag
/// character (U+E0000 to U+E007F), which iconv drops.
class EbcdicShiftEncoder {
public:
    /// Learns the table (under a tenth of a second for most pages); nullptr when iconv cannot
    /// convert the charset, or its encoder does something this class cannot repeat.
    static std::unique_ptr<EbcdicShiftEncoder> Build(const CodePageCharset& charset);

    /// Each wchar_t is read as its low 16 bits.
    std::string Encode(const wchar_t* data, std::size_t size) const;
    std::string EncodeUtf8(const char* data, std::size_t size) const;

private:
    EbcdicShiftEncoder() = default;

    /// Where a text being written stands.
    struct Writing {
        unsigned char* out;
        bool doubleByte = false;
    };

    /// Writes `size` units of whole characters (a surrogate pair is not cut), each read
    /// as its low 16 bits.
    template <typename Unit>
    void PutUnits(const Unit* units, std::size_t size, Writing& writing) const;
    /// Writes a character the page cannot hold, of `units` UTF-16 units.
    void PutDefault(std::size_t units, Writing& writing) const;
    /// The most bytes one UTF-16 unit can take, SO or SI included.
    std::size_t BytesPerUnit() const;

    static constexpr std::uint16_t kUnwritable = 0xFFFF;  // no pair has lead byte 0xFF

    std::vector<std::uint16_t> m_codes;  // per UTF-16 unit: a byte, lead << 8 | trail, or kUnwritable
    std::string m_defaultBytes;
    std::size_t m_bytesPerUtf8Byte = 3;  // the most bytes one byte of UTF-8 can be written as
};

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_EBCDIC_SHIFT_ENCODER_H
