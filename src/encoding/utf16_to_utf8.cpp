// The fast UTF-16 to UTF-8 conversion: 16 units at a time for ASCII and for other BMP
// characters, one unit at a time near surrogates, which the reference path pairs up. The
// block loop is built for each instruction set in utf8_utf16_kernels.h.
#include <algorithm>
#include <cstdint>

#include "encoding/ascii_block.h"
#include "encoding/sized_conversion.h"
#include "encoding/utf16_block_shuffle_encoder.h"
#include "encoding/utf8_utf16.h"
#include "encoding/utf8_utf16_kernels.h"
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

// The block steps of the baseline loop.
struct BaselineBlocks {
    static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlock(in, out); }
    static std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
        return encoding::NarrowAsciiRun(in, size, out);
    }
};

// Converts whole characters from p while a block still fits before outEnd, with the
// block steps of `Blocks`; inlined into each kernel, compiled for its instruction set.
template <typename Blocks>
TESSERA_ALWAYS_INLINE inline char* ConvertBlocks(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    // Sixteen units give at most 48 bytes, one more if a pair straddles their end; the
    // block encoder may write 4 more.
    constexpr auto kBlockRoom = static_cast<std::ptrdiff_t>(kBmpBlockRoom + 1);
    while (p != end && outEnd - out >= kBlockRoom) {
        if (static_cast<std::size_t>(end - p) < kAsciiBlock) {
            out = ConvertUnits(p, end, end, out);
        } else if (char* const blockEnd = Blocks::Encode(p, out)) {
            p += kAsciiBlock;
            const bool ascii = blockEnd - out == static_cast<std::ptrdiff_t>(kAsciiBlock);
            out = blockEnd;
            if (ascii) {
                // Where there is one ASCII block, more tend to follow.
                const std::size_t run = Blocks::NarrowAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
                p += run;
                out += run;
            }
        } else {
            out = ConvertUnits(p, p + kAsciiBlock, end, out);
        }
    }
    return out;
}

#if TESSERA_ENCODING_SSSE3
struct Ssse3Blocks : BaselineBlocks {
    TESSERA_TARGET_SSSE3 static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlockSsse3(in, out); }
};
#endif

#if TESSERA_ENCODING_AVX2
struct Avx2Blocks {
    TESSERA_TARGET_AVX2 static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlockAvx2(in, out); }
    TESSERA_TARGET_AVX2 static std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
        return NarrowAsciiRunAvx2(in, size, out);
    }
};
#endif

// The most a text can need: three bytes per unit.
std::size_t ThreeBytesPerUnit(const wchar_t* p, const wchar_t* end) { return 3 * static_cast<std::size_t>(end - p); }

// The length to allocate for a text that is not plain ASCII: counting all of it would read
// the input twice, and three bytes per unit then shrinking would write a third more and
// copy it all, so the length of its beginning is scaled up to its whole, with a margin.
// Where the rest turns out denser, the result grows once.
std::size_t ExtrapolatedUtf8Length(const wchar_t* p, const wchar_t* end) {
    const auto size = static_cast<std::size_t>(end - p);
    if (size <= kLengthSample) return Utf8LengthOfUtf16(p, end);
    const std::size_t sampled = Utf8LengthOfUtf16(p, p + kLengthSample);  // at most 3 * kLengthSample
    const std::size_t scaled = size / kLengthSample * sampled + size % kLengthSample * sampled / kLengthSample;
    return std::min(scaled + size / 16, ThreeBytesPerUnit(p, end));
}

}  // namespace

char* Utf16ToUtf8Baseline(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertBlocks<BaselineBlocks>(p, end, out, outEnd);
}

#if TESSERA_ENCODING_SSSE3
TESSERA_TARGET_SSSE3 char* Utf16ToUtf8Ssse3(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertBlocks<Ssse3Blocks>(p, end, out, outEnd);
}
#endif

#if TESSERA_ENCODING_AVX2
TESSERA_TARGET_AVX2 char* Utf16ToUtf8Avx2(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertBlocks<Avx2Blocks>(p, end, out, outEnd);
}
#endif

std::string Utf16ToUtf8With(const Utf8Utf16Kernel& kernel, const wchar_t* data, std::size_t size) {
    return ConvertIntoString<std::string>(data, data + size, kernel.toUtf8, Utf8LengthOfUtf16, ExtrapolatedUtf8Length,
                                          ThreeBytesPerUnit);
}

std::string Utf16ToUtf8(const wchar_t* data, std::size_t size) {
    // Before the library's statics are set up, the baseline kernel serves.
    return Utf16ToUtf8With(g_utf8Utf16Kernel ? *g_utf8Utf16Kernel : kUtf8Utf16Kernels[0], data, size);
}

}  // namespace tessera::encoding
