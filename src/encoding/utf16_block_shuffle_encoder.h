// The UTF-16 block encoder for CPUs with a byte shuffle (SSSE3, AVX2): the UTF-8 forms of
// the units are computed side by side, then one shuffle per 8 units (below U+0800) or per
// 4 units (the rest of the BMP) lays their bytes out one after the other, picked by a
// table indexed by the units' lengths.
#ifndef TESSERA_ENCODING_UTF16_BLOCK_SHUFFLE_ENCODER_H
#define TESSERA_ENCODING_UTF16_BLOCK_SHUFFLE_ENCODER_H

#include <array>
#include <cstdint>

#include "encoding/simd_targets.h"
#include "encoding/utf16_block_encoder.h"

namespace tessera::encoding {

#if TESSERA_ENCODING_SSSE3

/// A byte shuffle and how many bytes it keeps, aligned so that one load reads it.
struct alignas(32) ByteGather {
    unsigned char index[16];  // 0x80 clears the bytes after the kept ones
    unsigned char count;
};

/// For each mask of 8 bits telling which of 8 two-byte forms (a unit below 0x800 in a
/// 16-bit lane, lead byte low) are ASCII: the shuffle that keeps both bytes of the others
/// and the low byte of those.
constexpr std::array<ByteGather, 256> MakeTwoByteGatherTable() {
    std::array<ByteGather, 256> table{};
    for (unsigned ascii = 0; ascii < 256; ++ascii) {
        ByteGather& gather = table[ascii];
        for (unsigned lane = 0; lane < 8; ++lane) {
            gather.index[gather.count++] = static_cast<unsigned char>(2 * lane);
            if (((ascii >> lane) & 1) == 0) gather.index[gather.count++] = static_cast<unsigned char>(2 * lane + 1);
        }
        for (unsigned i = gather.count; i < 16; ++i) gather.index[i] = 0x80;
    }
    return table;
}

/// For 4 BMP units as four-byte words: indexed by the bits of the ASCII units (low 4) and
/// of the units below 0x800 (high 4), the shuffle that keeps 1, 2 or 3 bytes of each word.
constexpr std::array<ByteGather, 256> MakeBmpWordGatherTable() {
    std::array<ByteGather, 256> table{};
    for (unsigned bits = 0; bits < 256; ++bits) {
        ByteGather& gather = table[bits];
        for (unsigned word = 0; word < 4; ++word) {
            const unsigned length = 3 - ((bits >> word) & 1) - ((bits >> (word + 4)) & 1);
            for (unsigned byte = 0; byte < length; ++byte) {
                gather.index[gather.count++] = static_cast<unsigned char>(4 * word + byte);
            }
        }
        for (unsigned i = gather.count; i < 16; ++i) gather.index[i] = 0x80;
    }
    return table;
}

inline constexpr std::array<ByteGather, 256> kTwoByteGathers = MakeTwoByteGatherTable();
inline constexpr std::array<ByteGather, 256> kBmpWordGathers = MakeBmpWordGatherTable();

/// Applies `gather` to `bytes`, writes 16 bytes to `out` and returns the end of those kept.
TESSERA_TARGET_SSSE3 inline char* StoreGathered(__m128i bytes, const ByteGather& gather, char* out) {
    const __m128i index = _mm_load_si128(reinterpret_cast<const __m128i*>(gather.index));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(bytes, index));
    return out + gather.count;
}

/// The block encoder after the 16 units are loaded into 16-bit lanes (see `LoadUnits`):
/// writes their UTF-8 form to `out` and returns its end, or nullptr if one of them is a
/// surrogate. Writes up to `kBmpBlockRoom` bytes.
TESSERA_TARGET_SSSE3 TESSERA_ALWAYS_INLINE inline char* EncodeLoadedBmpBlockSsse3(__m128i first, __m128i second,
                                                                                  bool ascii, char* out) {
    if (ascii) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(first, second));
        return out + kAsciiBlock;
    }
    const __m128i zero = _mm_setzero_si128();
    const auto below = [zero](__m128i units, int limit) {
        return _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(static_cast<short>(limit - 1)), units), zero);
    };
    const auto asciiBits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(below(first, 0x80), below(second, 0x80))));
    const auto below800Bits =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(below(first, 0x800), below(second, 0x800))));
    if (below800Bits == 0xFFFF) {
        // Latin, Cyrillic, Greek, Hebrew, Arabic... and ASCII: the two-byte forms, lead
        // byte low, with the ASCII units as they are.
        const auto forms = [&below](__m128i units) {
            const __m128i twoBytes =
                _mm_or_si128(_mm_or_si128(_mm_set1_epi16(static_cast<short>(0x80C0)), _mm_srli_epi16(units, 6)),
                             _mm_slli_epi16(_mm_and_si128(units, _mm_set1_epi16(0x3F)), 8));
            return Select(below(units, 0x80), units, twoBytes);
        };
        out = StoreGathered(forms(first), kTwoByteGathers[asciiBits & 0xFF], out);
        return StoreGathered(forms(second), kTwoByteGathers[asciiBits >> 8], out);
    }
    if (HasSurrogate(first, second)) return nullptr;
    __m128i words[4];
    EncodeBmpWords(first, words[0], words[1]);
    EncodeBmpWords(second, words[2], words[3]);
    if (below800Bits == 0) {
        // Three bytes each, as in a run of CJK characters.
        const ByteGather& threeBytes = kBmpWordGathers[0];
        for (const __m128i& word : words) out = StoreGathered(word, threeBytes, out);
        return out;
    }
    for (unsigned i = 0; i < 4; ++i) {
        const unsigned bits = ((asciiBits >> (4 * i)) & 0xF) | (((below800Bits >> (4 * i)) & 0xF) << 4);
        out = StoreGathered(words[i], kBmpWordGathers[bits], out);
    }
    return out;
}

/// `EncodeBmpBlock` with SSSE3.
TESSERA_TARGET_SSSE3 TESSERA_ALWAYS_INLINE inline char* EncodeBmpBlockSsse3(const wchar_t* in, char* out) {
    __m128i first;
    __m128i second;
    bool ascii;
    if (!LoadUnits(in, first, second, ascii)) return nullptr;
    return EncodeLoadedBmpBlockSsse3(first, second, ascii, out);
}

#endif

#if TESSERA_ENCODING_AVX2

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

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF16_BLOCK_SHUFFLE_ENCODER_H
