// The AVX-512 kernel's UTF-16 to UTF-8 loop. Sixteen elements at a time stand in 32-bit
// lanes, each lane computes the UTF-8 form of the character that begins there (a surrogate
// pair's four bytes in the high surrogate's lane and nothing in the low one's, EF BF BD
// for an unpaired surrogate), and one byte compress packs the forms together; blocks of
// ASCII or of units below U+0800 take 32 elements a step. The last elements of a text are
// read and written under masks, so that no character is converted on its own and nothing
// is written past the output's end.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "unicode/kernel.h"
#include "unicode/kernels/avx512/loops.h"
#include "unicode/utf8_utf16_reference.h"

#if TESSERA_UNICODE_AVX512

namespace tessera::unicode {
namespace {

/// Elements in one block of 32-bit lanes.
constexpr std::size_t kLanes = 16;

/// Elements in one block of 16-bit lanes (the ASCII and two-byte steps).
constexpr std::size_t kWideLanes = 32;

/// Bytes one unmasked store writes, used or not.
constexpr std::ptrdiff_t kStoreRoom = 64;

// Masks of every lane. The intrinsics without a mask leave the lanes they do not compute
// "undefined", which some compilers take for uninitialised.
constexpr __mmask32 kAllLanes = ~__mmask32{0};
constexpr __mmask64 kAllBytes = ~__mmask64{0};

/// The elements at `in` whose lanes are set in `lanes`, one per 32-bit lane, zero elsewhere.
TESSERA_TARGET_AVX512 inline __m512i LoadLanes(const wchar_t* in, __mmask16 lanes) {
    if constexpr (sizeof(wchar_t) == 4) {
        return _mm512_maskz_loadu_epi32(lanes, in);
    } else {
        return _mm512_cvtepu16_epi32(_mm256_maskz_loadu_epi16(lanes, in));
    }
}

/// The 32 elements at `in` in 16-bit lanes, which only the units below 0x10000 survive
/// intact; sets `all` to the elements OR-ed together (in 32-bit lanes where they are 32 bits).
TESSERA_TARGET_AVX512 inline __m512i LoadWideLanes(const wchar_t* in, __m512i& all) {
    if constexpr (sizeof(wchar_t) == 4) {
        const __m512i first = _mm512_loadu_si512(in);
        const __m512i second = _mm512_loadu_si512(in + kLanes);
        all = _mm512_or_si512(first, second);
        const __m512i evenHalves = _mm512_set_epi16(62, 60, 58, 56, 54, 52, 50, 48, 46, 44, 42, 40, 38, 36, 34, 32, 30,
                                                    28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
        return _mm512_permutex2var_epi16(first, evenHalves, second);
    } else {
        all = _mm512_loadu_si512(in);
        return all;
    }
}

/// Whether every element OR-ed together into `all` is below `limit` (a power of two).
TESSERA_TARGET_AVX512 inline bool AllBelow(__m512i all, std::uint32_t limit) {
    const std::uint32_t outside = sizeof(wchar_t) == 4 ? ~(limit - 1) : ~((limit - 1) * 0x10001u);
    return _mm512_test_epi32_mask(all, _mm512_set1_epi32(static_cast<int>(outside))) == 0;
}

/// Writes 32 ASCII units in 16-bit lanes as 32 bytes.
TESSERA_TARGET_AVX512 inline void StoreAscii(__m512i units, char* out) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm512_maskz_cvtepi16_epi8(kAllLanes, units));
}

/// Narrows the ASCII elements at the start of [in, in + size) 64 at a time while whole
/// blocks of 64 last; returns how many it wrote to `out`. Where elements are 16 bits, the
/// 32-element steps do it instead.
TESSERA_TARGET_AVX512 inline std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
    std::size_t done = 0;
    if constexpr (sizeof(wchar_t) == 4) {
        // Byte 0 of each element of two registers, into the first 32 bytes.
        const __m512i lowBytes = _mm512_set_epi8(
            0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
            124, 120, 116, 112, 108, 104, 100, 96, 92, 88, 84, 80, 76, 72, 68, 64,                           //
            60, 56, 52, 48, 44, 40, 36, 32, 28, 24, 20, 16, 12, 8, 4, 0);
        const __m512i outside = _mm512_set1_epi32(~0x7F);
        for (; size - done >= 2 * kWideLanes; done += 2 * kWideLanes) {
            const auto* source = reinterpret_cast<const __m512i*>(in + done);
            const __m512i units[4] = {_mm512_loadu_si512(source), _mm512_loadu_si512(source + 1),
                                      _mm512_loadu_si512(source + 2), _mm512_loadu_si512(source + 3)};
            const __m512i all =
                _mm512_or_si512(_mm512_or_si512(units[0], units[1]), _mm512_or_si512(units[2], units[3]));
            if (_mm512_test_epi32_mask(all, outside) != 0) break;
            const __m512i first = _mm512_permutex2var_epi8(units[0], lowBytes, units[1]);
            const __m512i second = _mm512_permutex2var_epi8(units[2], lowBytes, units[3]);
            // The low halves of both, one after the other.
            _mm512_storeu_si512(out + done, _mm512_maskz_shuffle_i64x2(0xFF, first, second, 0x44));
        }
    }
    return done;
}

/// Writes the UTF-8 form of 32 units below 0x800 in 16-bit lanes; writes 64 bytes, used
/// or not, and returns the end of those that count.
TESSERA_TARGET_AVX512 inline char* StoreTwoByteForms(__m512i units, char* out) {
    // 110yyyyy 10xxxxxx, lead byte low, or the unit itself where it is ASCII.
    const __m512i twoBytes = _mm512_ternarylogic_epi32(
        _mm512_srli_epi16(units, 6), _mm512_and_si512(_mm512_slli_epi16(units, 8), _mm512_set1_epi16(0x3F00)),
        _mm512_set1_epi16(static_cast<short>(0x80C0)), 0xFE);  // a | b | c
    const __mmask32 ascii = _mm512_cmplt_epu16_mask(units, _mm512_set1_epi16(0x80));
    const __m512i forms = _mm512_mask_mov_epi16(twoBytes, ascii, units);
    // Every byte of a two-byte form has its top bit set, and so does an ASCII unit's low
    // byte once marked; the zero byte above an ASCII unit is dropped.
    const __mmask64 kept = _mm512_movepi8_mask(_mm512_or_si512(forms, _mm512_set1_epi16(0x80)));
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(kept, forms));
    return out + _mm_popcnt_u64(kept);
}

/// The UTF-8 form of the characters of a block, packed together.
struct Utf8Forms {
    __m512i bytes;   // from byte 0 on, zero after the last that counts
    unsigned count;  // bytes that count
};

/// The constants of the block encoder, set up once per call: as locals of the loop they
/// stay in registers rather than being built again for every block.
struct Utf8Encoder {
    __m512i fieldShifts;   // a multishift that lays a code point's bit fields out
    __m512i asciiPayload;  // the bits of each byte that carry the code point
    __m512i otherPayload;
    __m512i twoByteMarks;  // the marker bits of each length of form
    __m512i threeByteMarks;
    __m512i fourByteMarks;
    __m512i topByteMark;
    __m512i twoByteStart;  // the least code points that take 2 and 3 bytes
    __m512i threeByteStart;

    TESSERA_TARGET_AVX512 Utf8Encoder()
        // From the low byte of each 32-bit lane up: bits 18.., 12..19, 6..13 and 0..7.
        : fieldShifts(_mm512_set1_epi64(static_cast<long long>(0x20262C3200060C12ull))),
          asciiPayload(_mm512_set1_epi32(0x7F000000)),
          otherPayload(_mm512_set1_epi32(0x3F3F3FFF)),
          twoByteMarks(_mm512_set1_epi32(static_cast<int>(0x80C00000))),
          threeByteMarks(_mm512_set1_epi32(static_cast<int>(0x8080E000))),
          fourByteMarks(_mm512_set1_epi32(static_cast<int>(0x808080F0))),
          topByteMark(_mm512_set1_epi32(static_cast<int>(0x80000000))),
          twoByteStart(_mm512_set1_epi32(0x80)),
          threeByteStart(_mm512_set1_epi32(0x800)) {}

    /// The four-byte forms of code points above U+FFFF, lead byte low.
    TESSERA_TARGET_AVX512 TESSERA_ALWAYS_INLINE __m512i EncodeAboveBmp(__m512i codePoints) const {
        const __m512i fields = _mm512_maskz_multishift_epi64_epi8(kAllBytes, fieldShifts, codePoints);
        return _mm512_ternarylogic_epi32(fields, otherPayload, fourByteMarks, 0xEA);  // a & b | c
    }

    /// Encodes the code points (at most U+10FFFF, no surrogate) in the `begins` lanes of
    /// `codePoints`; `four` marks those above U+FFFF.
    TESSERA_TARGET_AVX512 TESSERA_ALWAYS_INLINE Utf8Forms Encode(__m512i codePoints, __mmask16 begins,
                                                                 __mmask16 four) const {
        const __mmask16 twoOrMore = _mm512_cmpge_epu32_mask(codePoints, twoByteStart);
        const __mmask16 threeOrMore = _mm512_cmpge_epu32_mask(codePoints, threeByteStart);
        // Each lane's form ends at its top byte, of which the top 1 to 4 count: the
        // payload of each byte (all 7 bits of an ASCII unit) and its marker bits.
        const __m512i fields = _mm512_maskz_multishift_epi64_epi8(kAllBytes, fieldShifts, codePoints);
        const __m512i payload = _mm512_mask_mov_epi32(asciiPayload, twoOrMore, otherPayload);
        __m512i marks = _mm512_maskz_mov_epi32(twoOrMore, twoByteMarks);
        marks = _mm512_mask_mov_epi32(marks, threeOrMore, threeByteMarks);
        marks = _mm512_mask_mov_epi32(marks, four, fourByteMarks);
        const __m512i forms = _mm512_maskz_ternarylogic_epi32(begins, fields, payload, marks, 0xEA);  // a & b | c
        // The bytes that count: those with the top bit set, and the top byte of each lane
        // where a character begins.
        const __mmask64 kept = _mm512_movepi8_mask(_mm512_mask_or_epi32(forms, begins, forms, topByteMark));
        return {_mm512_maskz_compress_epi8(kept, forms), static_cast<unsigned>(_mm_popcnt_u64(kept))};
    }
};

/// Whether the 16 elements in 32-bit lanes of `units` are all BMP characters: no surrogate
/// and, where elements are 32 bits, nothing above 0xFFFF.
TESSERA_TARGET_AVX512 TESSERA_ALWAYS_INLINE inline bool AllBmpCharacters(__m512i units) {
    const __m512i offset = _mm512_sub_epi32(units, _mm512_set1_epi32(0xD800));
    // Above 0xFFFF, or at most 0x7FF above 0xD800.
    const __mmask16 surrogates = _mm512_cmplt_epu32_mask(offset, _mm512_set1_epi32(0x800));
    if constexpr (sizeof(wchar_t) == 4) {
        return (surrogates | _mm512_cmpgt_epu32_mask(units, _mm512_set1_epi32(0xFFFF))) == 0;
    } else {
        return surrogates == 0;
    }
}

/// Where the surrogate pairs of a block of elements in 32-bit lanes are: a high surrogate
/// followed by a low one is a pair, whose code point stands in the high one's lane.
struct Pairs {
    __mmask16 begins;  // the lanes of the high halves
    __mmask16 ends;    // the lanes of the low halves
};

/// Finds the pairs among the `present` lanes of `units`; `before` and `after` hold the
/// elements before and after each, zero where there are none. A low surrogate after a
/// high one belongs to the lane before it, also across blocks.
TESSERA_TARGET_AVX512 TESSERA_ALWAYS_INLINE inline Pairs FindPairs(__m512i units, __m512i before, __m512i after,
                                                                   __mmask16 present) {
    const __m512i tenBits = _mm512_set1_epi32(static_cast<int>(0xFFFFFC00));
    const __m512i highTag = _mm512_set1_epi32(0xD800);
    const __m512i lowTag = _mm512_set1_epi32(0xDC00);
    const __m512i tags = _mm512_and_si512(units, tenBits);
    const __mmask16 high = _mm512_mask_cmpeq_epi32_mask(present, tags, highTag);
    const __mmask16 low = _mm512_mask_cmpeq_epi32_mask(present, tags, lowTag);
    return {_mm512_mask_cmpeq_epi32_mask(high, _mm512_and_si512(after, tenBits), lowTag),
            _mm512_mask_cmpeq_epi32_mask(low, _mm512_and_si512(before, tenBits), highTag)};
}

/// The code point of a pair in each lane, from its high half in `units` and its low half
/// in `after`: 0x10000 + (high - 0xD800) * 0x400 + (low - 0xDC00).
TESSERA_TARGET_AVX512 inline __m512i PairCodePoints(__m512i units, __m512i after) {
    return _mm512_add_epi32(_mm512_maskz_slli_epi32(0xFFFF, units, 10),
                            _mm512_add_epi32(after, _mm512_set1_epi32(0x10000 - (0xD800 << 10) - 0xDC00)));
}

/// The code points of the characters in `units`: those of `pairs` in the lanes of their
/// high halves, U+FFFD for the other surrogates and for elements above 0xFFFF.
TESSERA_TARGET_AVX512 TESSERA_ALWAYS_INLINE inline __m512i CodePoints(__m512i units, __m512i after, __mmask16 pairs) {
    const __mmask16 noCharacter =
        _mm512_cmpge_epu32_mask(_mm512_sub_epi32(units, _mm512_set1_epi32(0xD800)), _mm512_set1_epi32(0x800)) ^ 0xFFFF;
    __m512i codePoints = _mm512_mask_mov_epi32(units, noCharacter, _mm512_set1_epi32(0xFFFD));
    if constexpr (sizeof(wchar_t) == 4) {
        codePoints = _mm512_mask_mov_epi32(codePoints, _mm512_cmpgt_epu32_mask(units, _mm512_set1_epi32(0xFFFF)),
                                           _mm512_set1_epi32(0xFFFD));
    }
    return _mm512_mask_mov_epi32(codePoints, pairs, PairCodePoints(units, after));
}

/// The lanes of the elements before those at `in` that the conversion may read: all but
/// the first where `in` is where it began.
inline __mmask16 LanesBefore(const wchar_t* in, const wchar_t* start) { return in == start ? 0xFFFE : 0xFFFF; }

/// Encodes the 16 elements at `in`, of which the first may be the low half of a pair that
/// the block before took; writes 64 bytes, used or not, and returns the end of those that
/// count.
TESSERA_TARGET_AVX512 TESSERA_ALWAYS_INLINE inline char* EncodeBlock(const Utf8Encoder& encoder, const wchar_t* in,
                                                                     const wchar_t* start, char* out) {
    const __m512i units = LoadLanes(in, 0xFFFF);
    Utf8Forms forms;
    if (AllBmpCharacters(units)) {
        forms = encoder.Encode(units, 0xFFFF, 0);
    } else {
        const __m512i after = LoadLanes(in + 1, 0xFFFF);
        const Pairs pairs = FindPairs(units, LoadLanes(in - 1, LanesBefore(in, start)), after, 0xFFFF);
        if ((pairs.begins | pairs.ends) == 0xFFFF) {
            // Pairs only, as in a run of emoji: four bytes for each, no byte to leave out.
            const __m512i fourBytes = encoder.EncodeAboveBmp(PairCodePoints(units, after));
            _mm512_storeu_si512(out, _mm512_maskz_compress_epi32(pairs.begins, fourBytes));
            return out + 4 * _mm_popcnt_u32(pairs.begins);
        }
        forms = encoder.Encode(CodePoints(units, after, pairs.begins), static_cast<__mmask16>(pairs.ends ^ 0xFFFF),
                               pairs.begins);
    }
    _mm512_storeu_si512(out, forms.bytes);
    return out + forms.count;
}

}  // namespace

TESSERA_TARGET_AVX512 char* Utf16ToUtf8Avx512(const wchar_t*& in, const wchar_t* end, char* out, const char* outEnd) {
    const Utf8Encoder encoder;
    // Blocks always move on by 16 or 32 elements, so that where the next begins does not
    // wait for this one's pairs: a pair that straddles two blocks is written by the first,
    // and the second sees its low half follow a high one. A copy of `in` stays in a
    // register, where stores through `out` cannot change it as far as the compiler knows.
    const wchar_t* const start = in;
    const wchar_t* p = in;
    while (static_cast<std::size_t>(end - p) > kWideLanes && outEnd - out >= 2 * kStoreRoom) {
        __m512i all;
        const __m512i units = LoadWideLanes(p, all);
        if (AllBelow(all, 0x80)) {
            StoreAscii(units, out);
            p += kWideLanes;
            out += kWideLanes;
            // Where there is one ASCII block, more tend to follow.
            const std::size_t run = NarrowAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
            p += run;
            out += run;
            continue;
        }
        if (AllBelow(all, 0x800)) {
            out = StoreTwoByteForms(units, out);
        } else {
            out = EncodeBlock(encoder, p, start, out);
            out = EncodeBlock(encoder, p + kLanes, start, out);
        }
        p += kWideLanes;
    }
    // The last blocks of the text, or of the room, under masks.
    while (p != end) {
        const auto left = static_cast<std::size_t>(end - p);
        const std::size_t lanes = left < kLanes ? left : kLanes;
        const auto present = static_cast<__mmask16>((1u << lanes) - 1);
        const auto followed = static_cast<__mmask16>((1u << (left - 1 < kLanes ? left - 1 : kLanes)) - 1);
        const __m512i units = LoadLanes(p, present);
        const __m512i after = LoadLanes(p + 1, followed);
        const Pairs pairs = FindPairs(units, LoadLanes(p - 1, LanesBefore(p, start) & present), after, present);
        const Utf8Forms forms = encoder.Encode(CodePoints(units, after, pairs.begins),
                                               static_cast<__mmask16>(present & ~pairs.ends), pairs.begins);
        if (static_cast<std::ptrdiff_t>(forms.count) > outEnd - out) break;
        _mm512_mask_storeu_epi8(out, (std::uint64_t{1} << forms.count) - 1, forms.bytes);
        out += forms.count;
        p += lanes;
    }
    // Past the low half of a pair that the last block took.
    if (p != start && p != end && IsHighSurrogate(static_cast<std::uint32_t>(p[-1])) &&
        IsLowSurrogate(static_cast<std::uint32_t>(p[0]))) {
        ++p;
    }
    in = p;
    return out;
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX512
