// The AVX2 kernel: 32 bytes or 16 units in a register. UTF-8 is converted 32 bytes a step
// whatever its script: the step checks the 32 bytes with nibble lookups
// (utf8_validation.h), reads each byte as the start of a one- to four-byte sequence in a
// 16-bit lane (a four-byte sequence gives its high surrogate at the lead and its low
// surrogate at the byte after), and gathers the lanes of the bytes that start a unit with
// a byte shuffle per 8 positions; faults go to the reference decoder. Blocks of units
// below U+0800 are encoded in one register; the rest is the SSSE3 kernel's.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "unicode/kernel.h"
#include "unicode/kernels/block_loops.h"
#include "unicode/kernels/sse2.h"
#include "unicode/kernels/ssse3.h"
#include "unicode/kernels/targets.h"
#include "unicode/kernels/utf8_validation.h"

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

/// Bytes per UTF-8 step.
constexpr std::size_t kUtf8Step = 32;

/// Bytes a UTF-8 step reads: two more, for the sequences its last positions begin.
constexpr std::size_t kUtf8StepRead = kUtf8Step + 2;

/// Units a UTF-8 step may write after `out`, used or not.
constexpr std::ptrdiff_t kUtf8StepRoom = 32;

/// Bytes the reference decoder takes past a fault before the steps resume.
constexpr std::size_t kFaultStride = 16;

/// Positions of each class of byte among the 32 of a step, one bit each.
struct ByteClasses {
    unsigned continuation;  // 80..BF
    unsigned atLeastC0;     // leads of two or more bytes, and C0, C1, F5..FF
    unsigned atLeastE0;     // leads of three or four bytes, and F5..FF
    unsigned atLeastF0;     // leads of four bytes, and F5..FF
};

TESSERA_TARGET_AVX2 inline unsigned Bits(__m256i bytes) { return static_cast<unsigned>(_mm256_movemask_epi8(bytes)); }

TESSERA_TARGET_AVX2 inline ByteClasses ClassifyAvx2(__m256i bytes) {
    // As signed bytes, C0..FF are -64..-1, E0..FF -32..-1 and F0..FF -16..-1, and ASCII
    // lies above them all.
    const unsigned other = Bits(bytes);
    const unsigned atLeastC0 = other & Bits(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(-65)));
    return {other & ~atLeastC0, atLeastC0, other & Bits(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(-33))),
            other & Bits(_mm256_cmpgt_epi8(bytes, _mm256_set1_epi8(-17)))};
}

TESSERA_TARGET_AVX2 inline __m256i LookupAvx2(const std::array<unsigned char, 16>& table, __m256i nibbles) {
    const __m128i entries = _mm_loadu_si128(reinterpret_cast<const __m128i*>(table.data()));
    return _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(entries), nibbles);
}

/// The byte before each position of `bytes`, zero before the first.
TESSERA_TARGET_AVX2 inline __m256i PreviousBytesAvx2(__m256i bytes) {
    return _mm256_alignr_epi8(bytes, _mm256_permute2x128_si256(bytes, bytes, 0x08), 15);
}

/// The positions where `bytes`, read from the start of a character, stop being UTF-8
/// (utf8_validation.h). A sequence cut by the end of the 32 bytes is no fault here.
TESSERA_TARGET_AVX2 inline unsigned FaultsAvx2(__m256i bytes, __m256i previous, const ByteClasses& classes) {
    const __m256i lowNibble = _mm256_set1_epi8(0x0F);
    const __m256i found = _mm256_and_si256(
        _mm256_and_si256(
            LookupAvx2(kUtf8CheckTables.previousHigh, _mm256_and_si256(_mm256_srli_epi16(previous, 4), lowNibble)),
            LookupAvx2(kUtf8CheckTables.previousLow, _mm256_and_si256(previous, lowNibble))),
        LookupAvx2(kUtf8CheckTables.currentHigh, _mm256_and_si256(_mm256_srli_epi16(bytes, 4), lowNibble)));
    static_assert(kContinuationAfterContinuation == 0x80, "the byte mask reads the top bit");
    const unsigned misplaced = Bits(found) ^ ((classes.atLeastE0 << 2) | (classes.atLeastF0 << 3));
    const __m256i otherFaults = _mm256_set1_epi8(0x7F);
    if (misplaced == 0 && _mm256_testz_si256(found, otherFaults)) return 0;
    return misplaced | ~Bits(_mm256_cmpeq_epi8(_mm256_and_si256(found, otherFaults), _mm256_setzero_si256()));
}

/// All ones in the 16-bit lanes above `limit`.
TESSERA_TARGET_AVX2 inline __m256i LanesAbove(__m256i lanes, short limit) {
    return _mm256_cmpgt_epi16(lanes, _mm256_set1_epi16(limit));
}

/// The units of 16 positions, each read as the start of a sequence, from the bytes at
/// each position, the one after it, the one after that and the one before it, each in a
/// 16-bit lane: ASCII, the code point of a two- or three-byte sequence, the high surrogate
/// of a four-byte one, and after a four-byte lead the low surrogate.
TESSERA_TARGET_AVX2 inline __m256i DecodePositionsAvx2(__m128i at, __m128i next1, __m128i next2, __m128i before,
                                                       const ByteClasses& classes) {
    const __m256i byte0 = _mm256_cvtepu8_epi16(at);
    const __m256i sixBits = _mm256_set1_epi16(0x3F);
    const __m256i tail1 = _mm256_and_si256(_mm256_cvtepu8_epi16(next1), sixBits);
    const __m256i twoBytes =
        _mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(byte0, _mm256_set1_epi16(0x1F)), 6), tail1);
    __m256i units = _mm256_blendv_epi8(byte0, twoBytes, LanesAbove(byte0, 0xBF));
    if (classes.atLeastE0 == 0) return units;  // the step holds no longer sequences
    const __m256i lastTwo =
        _mm256_or_si256(_mm256_slli_epi16(tail1, 6), _mm256_and_si256(_mm256_cvtepu8_epi16(next2), sixBits));
    // The shift by 12 drops the lead's marker bits off the top of the lane.
    const __m256i threeBytes = _mm256_or_si256(_mm256_slli_epi16(byte0, 12), lastTwo);
    units = _mm256_blendv_epi8(units, threeBytes, LanesAbove(byte0, 0xDF));
    if (classes.atLeastF0 == 0) return units;
    // Of a four-byte lead, the same shifted four bits down is the code point's bits 10..20:
    // the high surrogate less 0xD7C0. After the lead, the last two bytes hold bits 0..9.
    const __m256i high =
        _mm256_add_epi16(_mm256_srli_epi16(threeBytes, 4), _mm256_set1_epi16(static_cast<short>(0xD7C0)));
    const __m256i low = _mm256_or_si256(_mm256_and_si256(lastTwo, _mm256_set1_epi16(0x3FF)),
                                        _mm256_set1_epi16(static_cast<short>(0xDC00)));
    units = _mm256_blendv_epi8(units, high, LanesAbove(byte0, 0xEF));
    return _mm256_blendv_epi8(units, low, LanesAbove(_mm256_cvtepu8_epi16(before), 0xEF));
}

/// Writes the units of the characters that start at the positions of `convertible` among
/// the 32 at `in`.
TESSERA_TARGET_AVX2 inline wchar_t* DecodeAvx2(const unsigned char* in, __m256i bytes, __m256i previous,
                                               const ByteClasses& classes, unsigned convertible, wchar_t* out) {
    const unsigned emitting = (~classes.continuation | (classes.atLeastF0 << 1)) & convertible;
    const auto load = [in](std::size_t offset) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + offset));
    };
    out = StoreLeadUnitsAvx2(
        DecodePositionsAvx2(_mm256_castsi256_si128(bytes), load(1), load(2), _mm256_castsi256_si128(previous), classes),
        emitting & 0xFFFF, out);
    return StoreLeadUnitsAvx2(DecodePositionsAvx2(_mm256_extracti128_si256(bytes, 1), load(17), load(18),
                                                  _mm256_extracti128_si256(previous, 1), classes),
                              emitting >> 16, out);
}

/// Converts what it can of the `size` bytes (at least one) at `in`, of which it reads
/// `kUtf8StepRead`, up to 32, zeros where the text is shorter; writes the units to `out`
/// and returns how many bytes it took, 0 where the first character is at fault. Writes up
/// to `kUtf8StepRoom` units. Sets `threeByteOnly` where the bytes are all leads of
/// three-byte sequences and continuation bytes.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline std::size_t ConvertStepAvx2(const unsigned char* in, std::size_t size,
                                                                             wchar_t*& out, bool& threeByteOnly) {
    const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    threeByteOnly = false;
    if (_mm256_movemask_epi8(bytes) == 0) {
        WidenAsciiVectorAvx2(_mm256_castsi256_si128(bytes), out);
        WidenAsciiVectorAvx2(_mm256_extracti128_si256(bytes, 1), out + kAsciiBlock);
        const std::size_t taken = size < kUtf8Step ? size : kUtf8Step;
        out += taken;
        return taken;
    }
    const ByteClasses classes = ClassifyAvx2(bytes);
    threeByteOnly = (classes.continuation | (classes.atLeastE0 & ~classes.atLeastF0)) == ~0u;
    const __m256i previous = PreviousBytesAvx2(bytes);
    const unsigned faults = FaultsAvx2(bytes, previous, classes);
    if (faults == 0 && size >= kUtf8Step) {
        const std::size_t cut = CutBytes<kUtf8Step>(in);
        out = DecodeAvx2(in, bytes, previous, classes, ~0u >> cut, out);
        return kUtf8Step - cut;
    }
    // Past the end of a short text, zeros read as ASCII, and a sequence the end cuts is a
    // fault.
    const unsigned present = size >= kUtf8Step ? ~0u : (1u << size) - 1;
    const auto convertible =
        static_cast<unsigned>(faults == 0 ? ~0u : BeforeFaultyCharacter(faults, classes.continuation)) & present;
    if (convertible != 0) out = DecodeAvx2(in, bytes, previous, classes, convertible, out);
    return static_cast<std::size_t>(_mm_popcnt_u32(convertible));
}

/// Converts from `p` with `ConvertStepAvx2` at `in` (`p` or a copy), or with the
/// reference decoder where the first character is at fault.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline wchar_t* StepAvx2(const unsigned char* in, const unsigned char*& p,
                                                                   const unsigned char* end, wchar_t* out,
                                                                   bool& threeByteOnly) {
    const auto size = static_cast<std::size_t>(end - p);
    if (const std::size_t taken = ConvertStepAvx2(in, size, out, threeByteOnly)) {
        p += taken;
        return out;
    }
    return ConvertSequences(p, p + (size < kFaultStride ? size : kFaultStride), end, out);
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

struct Avx2Utf16Blocks {
    TESSERA_TARGET_AVX2 static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlockAvx2(in, out); }
    TESSERA_TARGET_AVX2 static std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
        return NarrowAsciiRunAvx2(in, size, out);
    }
};

TESSERA_TARGET_AVX2 wchar_t* Utf8ToUtf16Avx2(const unsigned char*& in, const unsigned char* end, wchar_t* out,
                                             const wchar_t* outEnd) {
    const unsigned char* p = in;  // in a register, not behind the reference
    bool threeByteOnly = false;
    while (static_cast<std::size_t>(end - p) >= kUtf8StepRead && outEnd - out >= kUtf8StepRoom) {
        // After a step of three-byte sequences only (CJK text), runs of them go 48 bytes a
        // step while they need no check of their second byte.
        if (threeByteOnly) {
            wchar_t* const runEnd = DecodeThreeByteRunAvx2(p, std::min<std::size_t>(end - p, outEnd - out), out);
            threeByteOnly = false;
            if (runEnd != out) {
                out = runEnd;
                continue;
            }
        }
        out = StepAvx2(p, p, end, out, threeByteOnly);
    }
    // The last bytes, from a copy with zeros after them.
    while (p != end && outEnd - out >= kUtf8StepRoom) {
        alignas(32) unsigned char padded[kUtf8StepRead + 30] = {};
        std::memcpy(padded, p, static_cast<std::size_t>(end - p));
        out = StepAvx2(padded, p, end, out, threeByteOnly);
    }
    in = p;
    return out;
}

TESSERA_TARGET_AVX2 char* Utf16ToUtf8Avx2(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertUtf16Blocks<Avx2Utf16Blocks>(p, end, out, outEnd);
}

}  // namespace

const Kernel kAvx2Kernel = {"avx2", kSse2 | kSsse3 | kPopcnt | kAvx2, Utf8ToUtf16Avx2, Utf16ToUtf8Avx2};

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX2
