// The fast UTF-8 to UTF-16 conversion: 16 bytes at a time for ASCII and for one- to
// three-byte sequences, a short inline path for blocks the block decoder turns down, and
// the reference decoder for four-byte and invalid sequences.
#include <algorithm>
#include <cstdint>

#include "encoding/ascii_block.h"
#include "encoding/sized_conversion.h"
#include "encoding/utf8_block_decoder.h"
#include "encoding/utf8_utf16.h"
#include "encoding/utf8_utf16_reference.h"
#include "encoding/utf_length.h"

namespace tessera::encoding {
namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Converts the characters that begin in [p, stop); returns the end of the output.
wchar_t* ConvertSequences(const unsigned char*& p, const unsigned char* stop, const unsigned char* end,
                          wchar_t* out) {
    while (p < stop) {
        const std::uint32_t lead = *p;
        if (lead < 0x80) {
            *out++ = static_cast<wchar_t>(lead);
            ++p;
            continue;
        }
        if (lead < 0xE0) {
            if (lead >= 0xC2 && end - p >= 2 && IsContinuation(p[1])) {
                *out++ = static_cast<wchar_t>(((lead & 0x1F) << 6) | (p[1] & 0x3Fu));
                p += 2;
                continue;
            }
        } else if (lead < 0xF0) {
            if (end - p >= 3 && IsContinuation(p[1]) && IsContinuation(p[2])) {
                const std::uint32_t codePoint = ((lead & 0x0F) << 12) | ((p[1] & 0x3Fu) << 6) | (p[2] & 0x3Fu);
                if (codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF)) {
                    *out++ = static_cast<wchar_t>(codePoint);
                    p += 3;
                    continue;
                }
            }
        }
        const Utf8Sequence sequence = DecodeUtf8Sequence(p, end);
        out += EncodeUtf16(sequence.codePoint, out);
        p += sequence.length;
    }
    return out;
}

// Converts whole characters from p while a block still fits before outEnd.
wchar_t* Convert(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
    // Sixteen bytes and a sequence straddling their end give at most 19 units, more
    // than the block decoder's room.
    constexpr std::ptrdiff_t kBlockRoom = kAsciiBlock + 3;
    static_assert(kUtf8BlockRoom <= kBlockRoom);
    while (p != end && outEnd - out >= kBlockRoom) {
        if (static_cast<std::size_t>(end - p) < kUtf8BlockRead) {
            out = ConvertSequences(p, std::min(end, p + kAsciiBlock), end, out);
        } else if (WidenAsciiBlock(p, out)) {
            p += kAsciiBlock;
            out += kAsciiBlock;
            // Where there is one ASCII block, more tend to follow.
            const std::size_t run = WidenAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
            p += run;
            out += run;
        } else if (wchar_t* const blockEnd = DecodeUtf8Block(p, out)) {
            out = blockEnd;
        } else {
            out = ConvertSequences(p, p + kAsciiBlock, end, out);
        }
    }
    return out;
}

}  // namespace

std::wstring Utf8ToUtf16(const char* data, std::size_t size) {
    const auto* begin = reinterpret_cast<const unsigned char*>(data);
    return ConvertIntoString<std::wstring>(
        begin, begin + size, Convert, Utf16LengthOfUtf8, Utf16LengthOfUtf8,
        [](const unsigned char* p, const unsigned char* end) { return static_cast<std::size_t>(end - p); });
}

}  // namespace tessera::encoding
