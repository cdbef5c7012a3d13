// The AVX2 kernel: 32 bytes or 16 units in a register. ASCII runs are widened 32 bytes a
// step and take a lone other character in their stride; runs of one- and two-byte
// sequences are decoded 32 bytes a step; the code points at all 16 positions of a UTF-8
// block are computed in one register; and blocks of units below U+0800 are encoded in one.
// The rest is the SSSE3 kernel's.
#include <cstddef>
#include <cstdint>

#include "unicode/kernel.h"
#include "unicode/kernels/block_loops.h"
#include "unicode/kernels/sse2.h"
#include "unicode/kernels/ssse3.h"
#include "unicode/kernels/targets.h"
#include "unicode/utf8_short_sequence.h"

#if TESSERA_UNICODE_AVX2

namespace tessera::unicode {
namespace {

/// Writes 16 ASCII bytes as 16 UTF-16 units.
TESSERA_TARGET_AVX2 inline void WidenAsciiVectorAvx2(__m128i bytes, wchar_t* out) {
    auto* target = reinterpret_cast<__m256i*>(out);
    if constexpr (sizeof(wchar_t) == 2) {
        _mm256_storeu_si256(target, _mm256_cvtepu8_epi16(bytes));
    } else {
        _mm256_storeu_si256(target, _mm256_cvtepu8_epi32(bytes));
        _mm256_storeu_si256(target + 1, _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8)));
    }
}

/// `WidenAsciiBlock` with AVX2.
TESSERA_TARGET_AVX2 inline bool WidenAsciiBlockAvx2(const unsigned char* in, wchar_t* out) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    if (_mm_movemask_epi8(bytes) != 0) return false;
    WidenAsciiVectorAvx2(bytes, out);
    return true;
}

/// Loads 16 units into 16 16-bit lanes, in order; with 32-bit units, each must be at
/// most 0xFFFF. Sets `all` to the units OR-ed together.
TESSERA_TARGET_AVX2 inline __m256i LoadUnitsAvx2(const wchar_t* in, __m256i& all) {
    const auto* source = reinterpret_cast<const __m256i*>(in);
    if constexpr (sizeof(wchar_t) == 2) {
        all = _mm256_loadu_si256(source);
        return all;
    } else {
        const __m256i first = _mm256_loadu_si256(source);
        const __m256i second = _mm256_loadu_si256(source + 1);
        all = _mm256_or_si256(first, second);
        // The pack interleaves the 128-bit halves of its operands; the permute restores the order.
        return _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
    }
}

/// Whether all bits of `units` outside `allowed` (per 16- or 32-bit element) are clear.
TESSERA_TARGET_AVX2 inline bool OnlyBitsAvx2(__m256i units, int allowed) {
    const __m256i outside =
        sizeof(wchar_t) == 2 ? _mm256_set1_epi16(static_cast<short>(~allowed)) : _mm256_set1_epi32(~allowed);
    return _mm256_testz_si256(units, outside) != 0;
}

/// `NarrowAsciiRun` with AVX2.
TESSERA_TARGET_AVX2 inline std::size_t NarrowAsciiRunAvx2(const wchar_t* in, std::size_t size, char* out) {
    std::size_t done = 0;
    for (; size - done >= 2 * kAsciiBlock; done += 2 * kAsciiBlock) {
        __m256i firstAll;
        __m256i secondAll;
        const __m256i first = LoadUnitsAvx2(in + done, firstAll);
        const __m256i second = LoadUnitsAvx2(in + done + kAsciiBlock, secondAll);
        if (!OnlyBitsAvx2(_mm256_or_si256(firstAll, secondAll), 0x7F)) break;
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + done), bytes);
    }
    return done;
}

/// Writes the 8 units in the 16-bit lanes of `units` to `out`.
TESSERA_TARGET_AVX2 inline void StoreUnitsAvx2(__m128i units, wchar_t* out) {
    if constexpr (sizeof(wchar_t) == 2) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_cvtepu16_epi32(units));
    }
}

/// `DecodeThreeByteRunSsse3` with AVX2: two windows per register.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeThreeByteRunAvx2(const unsigned char*& in,
                                                                                 std::size_t size, wchar_t* out) {
    if constexpr (sizeof(wchar_t) == 2) {
        return DecodeThreeByteRunSsse3(in, size, out);
    } else {
        __m128i bytes[3];
        const __m256i shuffle = _mm256_broadcastsi128_si256(ThreeByteLaneShuffle());
        const __m256i mask4 = _mm256_set1_epi32(0xF000);
        const __m256i mask6 = _mm256_set1_epi32(0x0FC0);
        const __m256i low6 = _mm256_set1_epi32(0x3F);
        for (const unsigned char* const end = in + size;
             static_cast<std::size_t>(end - in) >= kThreeByteRunBlock && LoadThreeByteRun(in, bytes);
             in += kThreeByteRunBlock) {
            const __m256i windows[2] = {
                _mm256_inserti128_si256(_mm256_castsi128_si256(bytes[0]), _mm_alignr_epi8(bytes[1], bytes[0], 12), 1),
                _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_alignr_epi8(bytes[2], bytes[1], 8)),
                                        _mm_srli_si128(bytes[2], 4), 1)};
            for (const __m256i& window : windows) {
                const __m256i lanes = _mm256_shuffle_epi8(window, shuffle);
                const __m256i units =
                    _mm256_or_si256(_mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(lanes, 4), mask4),
                                                    _mm256_and_si256(_mm256_srli_epi32(lanes, 2), mask6)),
                                    _mm256_and_si256(lanes, low6));
                _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), units);
                out += 8;
            }
        }
        return out;
    }
}

/// Writes the code points among those at 16 positions whose bits are set in `leads` to
/// `out`; returns the end. Writes 16 units, used or not.
TESSERA_TARGET_AVX2 inline wchar_t* StoreLeadUnitsAvx2(__m256i codePoints, unsigned leads, wchar_t* out) {
    const unsigned lowLeads = leads & 0xFF;
    const unsigned highLeads = leads >> 8;
    const __m256i gather =
        _mm256_inserti128_si256(_mm256_castsi128_si256(LaneGather(lowLeads)), LaneGather(highLeads), 1);
    const __m256i units = _mm256_shuffle_epi8(codePoints, gather);
    StoreUnitsAvx2(_mm256_castsi256_si128(units), out);
    out += kSetBitPositions[lowLeads].count;
    StoreUnitsAvx2(_mm256_extracti128_si256(units, 1), out);
    return out + kSetBitPositions[highLeads].count;
}

/// The code points at the 16 positions of `block`, whose bytes `byte0` holds in 16-bit
/// lanes, each read as the start of a one- or two-byte sequence.
TESSERA_TARGET_AVX2 inline __m256i DecodeUpToTwoBytesAvx2(const Utf8Block& block, __m256i byte0) {
    const __m256i tail = _mm256_and_si256(_mm256_cvtepu8_epi16(block.next1), _mm256_set1_epi16(0x3F));
    const __m256i twoBytes =
        _mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(byte0, _mm256_set1_epi16(0x1F)), 6), tail);
    return _mm256_blendv_epi8(byte0, twoBytes, _mm256_cvtepi8_epi16(block.twoByteLead));
}

/// Decodes the blocks of 32 bytes of one- and two-byte sequences, not all ASCII, at the
/// start of [in, in + size), as long as whole blocks last, and moves `in` past them; returns the
/// end of the output. Reads a byte more than it takes; writes at most `size` units.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeUpToTwoByteRunAvx2(const unsigned char*& in,
                                                                                   std::size_t size, wchar_t* out) {
    constexpr std::size_t kBlock = 2 * kAsciiBlock;
    for (const unsigned char* const end = in + size; static_cast<std::size_t>(end - in) > kBlock;) {
        // As in LoadUpToTwoByteBlock.
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
        const __m256i continuation = _mm256_cmpgt_epi8(_mm256_set1_epi8(-64), bytes);
        const __m256i lead = _mm256_and_si256(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(-63)),
                                              _mm256_cmpgt_epi8(_mm256_set1_epi8(-32), bytes));
        const __m256i ascii = _mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(-1));
        const auto leads = static_cast<unsigned>(_mm256_movemask_epi8(lead));
        const auto continuations = static_cast<unsigned>(_mm256_movemask_epi8(continuation));
        // ASCII goes back to the quicker ASCII loop.
        if (_mm256_movemask_epi8(bytes) == 0 ||
            _mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(ascii, continuation), lead)) != -1 ||
            continuations != (leads << 1 & 0xFFFFFFFFu) || ((leads >> 31) != 0 && (in[kBlock] & 0xC0) != 0x80)) {
            break;
        }
        const __m256i next1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 1));
        const __m128i zero = _mm_setzero_si128();
        const Utf8Block halves[2] = {{_mm256_castsi256_si128(bytes), _mm256_castsi256_si128(next1), zero,
                                      _mm256_castsi256_si128(lead), zero, ~continuations & 0xFFFF, 0, 0},
                                     {_mm256_extracti128_si256(bytes, 1), _mm256_extracti128_si256(next1, 1), zero,
                                      _mm256_extracti128_si256(lead, 1), zero, (~continuations >> 16) & 0xFFFF, 0, 0}};
        for (const Utf8Block& half : halves) {
            out = StoreLeadUnitsAvx2(DecodeUpToTwoBytesAvx2(half, _mm256_cvtepu8_epi16(half.next0)), half.leads, out);
        }
        in += kBlock + (leads >> 31);
    }
    return out;
}

/// Widens the ASCII bytes at the start of [in, in + size) 32 at a time, and decodes the
/// two- and three-byte sequences among them one by one where ASCII comes before them in
/// their block (an accent, a dash, a word of another script in ASCII text), as long as
/// whole blocks of 32 last; moves `in` past them and returns the end of the output.
/// Writes whole blocks of 32 units, at most `size`.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeMostlyAsciiRunAvx2(const unsigned char*& in,
                                                                                   std::size_t size, wchar_t* out) {
    constexpr std::size_t kBlock = 2 * kAsciiBlock;
    const unsigned char* const end = in + size;
    // The first step is short where that lets the others write whole 32-byte lines.
    auto step = static_cast<std::size_t>((32 - reinterpret_cast<std::uintptr_t>(out) % 32) / sizeof(wchar_t));
    for (; static_cast<std::size_t>(end - in) >= kBlock; step = kBlock) {
        const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
        const auto nonAscii = static_cast<unsigned>(_mm256_movemask_epi8(bytes));
        WidenAsciiVectorAvx2(_mm256_castsi256_si128(bytes), out);
        WidenAsciiVectorAvx2(_mm256_extracti128_si256(bytes, 1), out + kAsciiBlock);
        if (nonAscii == 0) {
            in += step;
            out += step;
            continue;
        }
        // The units written for the bytes from the first that is not ASCII on are
        // overwritten later.
        const auto ascii = static_cast<std::size_t>(__builtin_ctz(nonAscii));
        in += ascii;
        out += ascii;
        if (ascii == 0) break;  // more than one in a row: the block decoders do better
        const std::size_t length = DecodeShortSequence(in, end, *out);
        if (length == 0) break;
        in += length;
        ++out;
    }
    return out;
}

/// `DecodeUtf8Block` with AVX2: the code points at all 16 positions in one register.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeUtf8BlockAvx2(const unsigned char*& in, wchar_t* out) {
    // As DecodeAtEachPosition, on 16 lanes.
    Utf8Block block;
    __m256i codePoints;
    if (LoadUpToTwoByteBlock(in, block)) {
        codePoints = DecodeUpToTwoBytesAvx2(block, _mm256_cvtepu8_epi16(block.next0));
    } else if (LoadUtf8Block(in, block)) {
        const __m256i byte0 = _mm256_cvtepu8_epi16(block.next0);
        const __m256i sixBits = _mm256_set1_epi16(0x3F);
        const __m256i threeBytes = _mm256_or_si256(
            _mm256_or_si256(_mm256_slli_epi16(byte0, 12),
                            _mm256_slli_epi16(_mm256_and_si256(_mm256_cvtepu8_epi16(block.next1), sixBits), 6)),
            _mm256_and_si256(_mm256_cvtepu8_epi16(block.next2), sixBits));
        codePoints = _mm256_blendv_epi8(DecodeUpToTwoBytesAvx2(block, byte0), threeBytes,
                                        _mm256_cvtepi8_epi16(block.threeByteLead));
    } else {
        return nullptr;
    }
    in += block.Length();
    return StoreLeadUnitsAvx2(codePoints, block.leads, out);
}

/// `EncodeBmpBlock` with AVX2: all 16 units in one register, and blocks below U+0800
/// encoded in it.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline char* EncodeBmpBlockAvx2(const wchar_t* in, char* out) {
    __m256i all;
    const __m256i units = LoadUnitsAvx2(in, all);
    if (!OnlyBitsAvx2(all, 0x7FF)) {
        if (!OnlyBitsAvx2(all, 0xFFFF)) return nullptr;
        return EncodeLoadedBmpBlockSsse3(_mm256_castsi256_si128(units), _mm256_extracti128_si256(units, 1), false, out);
    }
    const __m256i ascii =
        _mm256_cmpeq_epi16(_mm256_andnot_si256(_mm256_set1_epi16(0x7F), units), _mm256_setzero_si256());
    // One bit per unit: 0..7 for the low half, 16..23 for the high half.
    const auto asciiBits =
        static_cast<unsigned>(_mm256_movemask_epi8(_mm256_packs_epi16(ascii, _mm256_setzero_si256())));
    if (asciiBits == 0x00FF00FF) {
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(units, units), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
        return out + kAsciiBlock;
    }
    // The two-byte forms, lead byte low, with the ASCII units as they are.
    const __m256i twoBytes =
        _mm256_or_si256(_mm256_or_si256(_mm256_set1_epi16(static_cast<short>(0x80C0)), _mm256_srli_epi16(units, 6)),
                        _mm256_slli_epi16(_mm256_and_si256(units, _mm256_set1_epi16(0x3F)), 8));
    const __m256i forms = _mm256_blendv_epi8(twoBytes, units, ascii);
    const ByteGather& low = kTwoByteGathers[asciiBits & 0xFF];
    const ByteGather& high = kTwoByteGathers[(asciiBits >> 16) & 0xFF];
    const __m256i gather =
        _mm256_inserti128_si256(_mm256_castsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(low.index))),
                                _mm_load_si128(reinterpret_cast<const __m128i*>(high.index)), 1);
    const __m256i bytes = _mm256_shuffle_epi8(forms, gather);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    out += low.count;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_extracti128_si256(bytes, 1));
    return out + high.count;
}

struct Avx2Utf8Blocks {
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

struct Avx2Utf16Blocks {
    TESSERA_TARGET_AVX2 static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlockAvx2(in, out); }
    TESSERA_TARGET_AVX2 static std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
        return NarrowAsciiRunAvx2(in, size, out);
    }
};

TESSERA_TARGET_AVX2 wchar_t* Utf8ToUtf16Avx2(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                             const wchar_t* outEnd) {
    return ConvertUtf8Blocks<Avx2Utf8Blocks>(p, end, out, outEnd);
}

TESSERA_TARGET_AVX2 char* Utf16ToUtf8Avx2(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertUtf16Blocks<Avx2Utf16Blocks>(p, end, out, outEnd);
}

}  // namespace

const Kernel kAvx2Kernel = {"avx2", kSse2 | kSsse3 | kPopcnt | kAvx2, Utf8ToUtf16Avx2, Utf16ToUtf8Avx2};

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX2
