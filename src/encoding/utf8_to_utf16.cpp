// The fast UTF-8 to UTF-16 conversion: 16 bytes at a time for ASCII and for one- to
// three-byte sequences, a short inline path for blocks the block decoder turns down, and
// the reference decoder for four-byte and invalid sequences. The block loop is built for
// each instruction set in utf8_utf16_kernels.h.
#include <algorithm>
#include <cstdint>

#include "encoding/ascii_block.h"
#include "encoding/sized_conversion.h"
#include "encoding/utf8_block_shuffle_decoder.h"
#include "encoding/utf8_short_sequence.h"
#include "encoding/utf8_utf16.h"
#include "encoding/utf8_utf16_kernels.h"
#include "encoding/utf8_utf16_reference.h"
#include "encoding/utf_length.h"

namespace tessera::encoding {
namespace {

// Converts the characters that begin in [p, stop); returns the end of the output.
wchar_t* ConvertSequences(const unsigned char*& p, const unsigned char* stop, const unsigned char* end, wchar_t* out) {
    while (p < stop) {
        if (*p < 0x80) {
            *out++ = static_cast<wchar_t>(*p++);
        } else if (const std::size_t length = DecodeShortSequence(p, end, *out)) {
            ++out;
            p += length;
        } else {
            const Utf8Sequence sequence = DecodeUtf8Sequence(p, end);
            out += EncodeUtf16(sequence.codePoint, out);
            p += sequence.length;
        }
    }
    return out;
}

// The block steps of the baseline loop.
struct BaselineBlocks {
    static bool WidenAscii(const unsigned char* in, wchar_t* out) { return WidenAsciiBlock(in, out); }
    static wchar_t* WidenAsciiRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        const std::size_t run = encoding::WidenAsciiRun(in, size, out);
        in += run;
        return out + run;
    }
    static wchar_t* DecodeRun(const unsigned char*&, std::size_t, wchar_t* out) { return out; }
    static wchar_t* Decode(const unsigned char*& in, wchar_t* out) { return DecodeUtf8Block(in, out); }
};

// Converts whole characters from p while a block still fits before outEnd, with the
// block steps of `Blocks`; inlined into each kernel, compiled for its instruction set.
template <typename Blocks>
TESSERA_ALWAYS_INLINE inline wchar_t* ConvertBlocks(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                                    const wchar_t* outEnd) {
    // Sixteen bytes and a sequence straddling their end give at most 19 units, more
    // than the block decoder's room.
    constexpr std::ptrdiff_t kBlockRoom = kAsciiBlock + 3;
    static_assert(kUtf8BlockRoom <= kBlockRoom);
    while (p != end && outEnd - out >= kBlockRoom) {
        if (static_cast<std::size_t>(end - p) < kUtf8BlockRead) {
            out = ConvertSequences(p, std::min(end, p + kAsciiBlock), end, out);
        } else if (Blocks::WidenAscii(p, out)) {
            p += kAsciiBlock;
            out += kAsciiBlock;
            // Where there is one ASCII block, more tend to follow.
            out = Blocks::WidenAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
        } else if (wchar_t* const runEnd = Blocks::DecodeRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
                   runEnd != out) {
            out = runEnd;
        } else if (wchar_t* const blockEnd = Blocks::Decode(p, out)) {
            out = blockEnd;
        } else {
            out = ConvertSequences(p, p + kAsciiBlock, end, out);
        }
    }
    return out;
}

#if TESSERA_ENCODING_SSSE3
struct Ssse3Blocks : BaselineBlocks {
    TESSERA_TARGET_SSSE3 static wchar_t* DecodeRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        return (in[0] & 0xF0) == 0xE0 ? DecodeThreeByteRunSsse3(in, size, out) : out;
    }
    TESSERA_TARGET_SSSE3 static wchar_t* Decode(const unsigned char*& in, wchar_t* out) {
        return DecodeUtf8BlockSsse3(in, out);
    }
};
#endif

#if TESSERA_ENCODING_AVX2
struct Avx2Blocks {
    TESSERA_TARGET_AVX2 static bool WidenAscii(const unsigned char* in, wchar_t* out) {
        return WidenAsciiBlockAvx2(in, out);
    }
    TESSERA_TARGET_AVX2 static wchar_t* WidenAsciiRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        return DecodeMostlyAsciiRunAvx2(in, size, out);
    }
    TESSERA_TARGET_AVX2 static wchar_t* DecodeRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        return (in[0] & 0xF0) == 0xE0 ? DecodeThreeByteRunAvx2(in, size, out) : DecodeUpToTwoByteRunAvx2(in, size, out);
    }
    TESSERA_TARGET_AVX2 static wchar_t* Decode(const unsigned char*& in, wchar_t* out) {
        return DecodeUtf8BlockAvx2(in, out);
    }
};
#endif

std::size_t InputLength(const unsigned char* p, const unsigned char* end) { return static_cast<std::size_t>(end - p); }

}  // namespace

wchar_t* Utf8ToUtf16Baseline(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
    return ConvertBlocks<BaselineBlocks>(p, end, out, outEnd);
}

#if TESSERA_ENCODING_SSSE3
TESSERA_TARGET_SSSE3 wchar_t* Utf8ToUtf16Ssse3(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                               const wchar_t* outEnd) {
    return ConvertBlocks<Ssse3Blocks>(p, end, out, outEnd);
}
#endif

#if TESSERA_ENCODING_AVX2
TESSERA_TARGET_AVX2 wchar_t* Utf8ToUtf16Avx2(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                             const wchar_t* outEnd) {
    return ConvertBlocks<Avx2Blocks>(p, end, out, outEnd);
}
#endif

std::wstring Utf8ToUtf16With(const Utf8Utf16Kernel& kernel, const char* data, std::size_t size) {
    const auto* begin = reinterpret_cast<const unsigned char*>(data);
    return ConvertIntoString<std::wstring>(begin, begin + size, kernel.toUtf16, Utf16LengthOfUtf8, Utf16LengthOfUtf8,
                                           InputLength);
}

std::wstring Utf8ToUtf16(const char* data, std::size_t size) {
    // Before the library's statics are set up, the baseline kernel serves.
    return Utf8ToUtf16With(g_utf8Utf16Kernel ? *g_utf8Utf16Kernel : kUtf8Utf16Kernels[0], data, size);
}

}  // namespace tessera::encoding
