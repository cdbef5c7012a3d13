// The fast UTF-16 to UTF-8 conversion: 16 units at a time for ASCII and for other BMP
// characters, one unit at a time near surrogates, which the reference path pairs up.
#include <algorithm>
#include <cstdint>

#include "encoding/ascii_block.h"
#include "encoding/sized_conversion.h"
#include "encoding/utf16_block_encoder.h"
#include "encoding/utf8_utf16.h"
#include "encoding/utf8_utf16_reference.h"
#include "encoding/utf_length.h"

namespace tessera::encoding {
namespace {

// Converts the characters that begin in [p, stop); returns the end of the output.
char* ConvertUnits(const wchar_t*& p, const wchar_t* stop, const wchar_t* end, char* out) {
    while (p < stop) {
        const auto unit = static_cast<std::uint32_t>(*p);
        if (unit < 0x80) {
            *out++ = static_cast<char>(unit);
            ++p;
        } else if (unit < 0x800) {
            out[0] = static_cast<char>(0xC0 | (unit >> 6));
            out[1] = static_cast<char>(0x80 | (unit & 0x3F));
            out += 2;
            ++p;
        } else if (unit <= 0xFFFF && (unit < 0xD800 || unit > 0xDFFF)) {
            out[0] = static_cast<char>(0xE0 | (unit >> 12));
            out[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out[2] = static_cast<char>(0x80 | (unit & 0x3F));
            out += 3;
            ++p;
        } else {
            const Utf16Sequence sequence = DecodeUtf16Sequence(p, end);
            out += EncodeUtf8(sequence.codePoint, out);
            p += sequence.length;
        }
    }
    return out;
}

// Converts whole characters from p while a block still fits before outEnd.
char* Convert(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    // Sixteen units give at most 48 bytes, one more if a pair straddles their end; the
    // block encoder may write 3 more.
    constexpr auto kBlockRoom = static_cast<std::ptrdiff_t>(kBmpBlockRoom + 1);
    while (p != end && outEnd - out >= kBlockRoom) {
        if (static_cast<std::size_t>(end - p) < kAsciiBlock) {
            out = ConvertUnits(p, end, end, out);
        } else if (char* const blockEnd = EncodeBmpBlock(p, out)) {
            p += kAsciiBlock;
            const bool ascii = blockEnd - out == static_cast<std::ptrdiff_t>(kAsciiBlock);
            out = blockEnd;
            if (ascii) {
                // Where there is one ASCII block, more tend to follow.
                const std::size_t run = NarrowAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
                p += run;
                out += run;
            }
        } else {
            out = ConvertUnits(p, p + kAsciiBlock, end, out);
        }
    }
    return out;
}

}  // namespace

std::string Utf16ToUtf8(const wchar_t* data, std::size_t size) {
    // Counting the output of a non-ASCII text costs more than shrinking a result sized
    // for three bytes per unit.
    const auto threeBytesPerUnit = [](const wchar_t* p, const wchar_t* end) {
        return 3 * static_cast<std::size_t>(end - p);
    };
    return ConvertIntoString<std::string>(data, data + size, Convert, Utf8LengthOfUtf16, threeBytesPerUnit,
                                          threeBytesPerUnit);
}

}  // namespace tessera::encoding
