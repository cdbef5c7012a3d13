// UTF-8 encoding of 16 UTF-16 units in one step, for blocks of BMP characters: the bytes
// of every unit are computed side by side with SSE2, then laid out one unit after the
// other with four-byte stores.
#ifndef TESSERA_ENCODING_UTF16_BLOCK_ENCODER_H
#define TESSERA_ENCODING_UTF16_BLOCK_ENCODER_H

#include <cstdint>
#include <cstring>

#include "encoding/ascii_block.h"

namespace tessera::encoding {

/// Room the block encoder needs after `out`: 48 bytes, and 3 that its last store spills.
inline constexpr std::size_t kBmpBlockRoom = 3 * kAsciiBlock + 3;

#if TESSERA_ENCODING_SSE2

/// Loads 16 units into 16-bit lanes; false if one of them is above 0xFFFF.
inline bool LoadUnits(const wchar_t* in, __m128i& first, __m128i& second) {
    const auto* source = reinterpret_cast<const __m128i*>(in);
    if constexpr (sizeof(wchar_t) == 2) {
        first = _mm_loadu_si128(source);
        second = _mm_loadu_si128(source + 1);
        return true;
    } else {
        __m128i units[4];
        __m128i all = _mm_setzero_si128();
        for (int i = 0; i < 4; ++i) {
            units[i] = _mm_loadu_si128(source + i);
            all = _mm_or_si128(all, units[i]);
        }
        const __m128i outsideBmp = _mm_andnot_si128(_mm_set1_epi32(0xFFFF), all);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(outsideBmp, _mm_setzero_si128())) != 0xFFFF) return false;
        // Signed saturation would clip 8000..FFFF: sign-extend the low halves first.
        for (__m128i& unit : units) unit = _mm_srai_epi32(_mm_slli_epi32(unit, 16), 16);
        first = _mm_packs_epi32(units[0], units[1]);
        second = _mm_packs_epi32(units[2], units[3]);
        return true;
    }
}

/// `mask` ? `ifSet` : `ifClear`, lane by lane.
inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

/// Computes the UTF-8 form of 8 BMP units as one little-endian word per unit (the
/// bytes in memory order from the low end) and the number of bytes that count.
inline void EncodeBmpUnits(__m128i units, std::uint32_t* words, std::uint16_t* lengths) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sixBits = _mm_set1_epi16(0x3F);
    const __m128i below80 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), units), zero);
    const __m128i below800 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7FF), units), zero);
    const __m128i low = _mm_and_si128(units, sixBits);
    // The first two bytes: 0xxxxxxx; 110yyyyy 10xxxxxx; 1110zzzz 10yyyyyy.
    const __m128i twoBytes = _mm_or_si128(_mm_or_si128(_mm_set1_epi16(static_cast<short>(0x80C0)),
                                                       _mm_srli_epi16(units, 6)),
                                          _mm_slli_epi16(low, 8));
    const __m128i middle = _mm_and_si128(_mm_srli_epi16(units, 6), sixBits);
    const __m128i threeBytes = _mm_or_si128(_mm_or_si128(_mm_set1_epi16(static_cast<short>(0x80E0)),
                                                         _mm_srli_epi16(units, 12)),
                                            _mm_slli_epi16(middle, 8));
    const __m128i head = Select(below800, Select(below80, units, twoBytes), threeBytes);
    const __m128i third = _mm_or_si128(low, _mm_set1_epi16(0x80));  // 10xxxxxx
    _mm_store_si128(reinterpret_cast<__m128i*>(words), _mm_unpacklo_epi16(head, third));
    _mm_store_si128(reinterpret_cast<__m128i*>(words + 4), _mm_unpackhi_epi16(head, third));
    // Three bytes, one less below 0x800 and one more below 0x80 (the masks are -1).
    _mm_store_si128(reinterpret_cast<__m128i*>(lengths),
                    _mm_add_epi16(_mm_set1_epi16(3), _mm_add_epi16(below80, below800)));
}

/// If none of the 16 units at `in` is a surrogate or above 0xFFFF, writes their UTF-8
/// form to `out` and returns its end; otherwise writes nothing and returns nullptr.
/// Meant for blocks that are not plain ASCII, which `NarrowAsciiBlock` moves faster.
inline char* EncodeBmpBlock(const wchar_t* in, char* out) {
    __m128i first;
    __m128i second;
    if (!LoadUnits(in, first, second)) return nullptr;
    const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
    const __m128i surrogates = _mm_or_si128(_mm_cmpeq_epi16(_mm_and_si128(first, surrogateBits), surrogate),
                                            _mm_cmpeq_epi16(_mm_and_si128(second, surrogateBits), surrogate));
    if (_mm_movemask_epi8(surrogates) != 0) return nullptr;

    alignas(16) std::uint32_t words[16];
    alignas(16) std::uint16_t lengths[16];
    EncodeBmpUnits(first, words, lengths);
    EncodeBmpUnits(second, words + 8, lengths + 8);
    for (int i = 0; i < 16; ++i) {
        std::memcpy(out, &words[i], 4);  // x86 is little-endian: the first byte goes first
        out += lengths[i];
    }
    return out;
}

#else

/// Without SSE2 there is no block encoder; the caller converts unit by unit.
inline char* EncodeBmpBlock(const wchar_t*, char*) { return nullptr; }

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF16_BLOCK_ENCODER_H
