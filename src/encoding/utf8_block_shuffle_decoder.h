// The UTF-8 block decoder for CPUs with a byte shuffle (SSSE3, AVX2): after the block is
// checked and the code point at every position computed, one shuffle per 8 positions
// moves the code points of the lead bytes together, picked by a table indexed by the
// positions of the leads.
#ifndef TESSERA_ENCODING_UTF8_BLOCK_SHUFFLE_DECODER_H
#define TESSERA_ENCODING_UTF8_BLOCK_SHUFFLE_DECODER_H

#include <array>
#include <cstdint>

#include "encoding/simd_targets.h"
#include "encoding/utf8_block_decoder.h"

namespace tessera::encoding {

#if TESSERA_ENCODING_SSSE3

/// For each mask of 8 bits: the byte shuffle that moves the 16-bit lanes whose bits are
/// set to the front, in order (0x80 clears the bytes after them).
constexpr std::array<std::array<unsigned char, 16>, 256> MakeLaneGatherTable() {
    std::array<std::array<unsigned char, 16>, 256> table{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        std::size_t next = 0;
        for (unsigned lane = 0; lane < 8; ++lane) {
            if (((mask >> lane) & 1) == 0) continue;
            table[mask][next++] = static_cast<unsigned char>(2 * lane);
            table[mask][next++] = static_cast<unsigned char>(2 * lane + 1);
        }
        while (next < 16) table[mask][next++] = 0x80;
    }
    return table;
}

inline constexpr std::array<std::array<unsigned char, 16>, 256> kLaneGathers = MakeLaneGatherTable();

inline __m128i LaneGather(unsigned mask) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLaneGathers[mask].data()));
}

/// `DecodeUtf8Block` with SSSE3.
TESSERA_TARGET_SSSE3 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeUtf8BlockSsse3(const unsigned char*& in, wchar_t* out) {
    Utf8Block block;
    if (!LoadUtf8Block(in, block)) return nullptr;
    if (block.twoByteLeads == 0x5555) {
        StoreUnits(DecodeTwoByteRun(block.next0), out);
        in += kAsciiBlock;
        return out + 8;
    }
    const unsigned lowLeads = block.leads & 0xFF;
    const unsigned highLeads = block.leads >> 8;
    StoreUnits(_mm_shuffle_epi8(DecodeLowPositions(block), LaneGather(lowLeads)), out);
    out += kSetBitPositions[lowLeads].count;
    StoreUnits(_mm_shuffle_epi8(DecodeHighPositions(block), LaneGather(highLeads)), out);
    in += block.Length();
    return out + kSetBitPositions[highLeads].count;
}

#endif

#if TESSERA_ENCODING_AVX2

/// Writes the 8 units in the 16-bit lanes of `units` to `out`.
TESSERA_TARGET_AVX2 inline void StoreUnitsAvx2(__m128i units, wchar_t* out) {
    if constexpr (sizeof(wchar_t) == 2) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    } else {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), _mm256_cvtepu16_epi32(units));
    }
}

/// `DecodeUtf8Block` with AVX2: the code points at all 16 positions in one register.
TESSERA_TARGET_AVX2 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeUtf8BlockAvx2(const unsigned char*& in, wchar_t* out) {
    Utf8Block block;
    if (!LoadUtf8Block(in, block)) return nullptr;
    if (block.twoByteLeads == 0x5555) {
        StoreUnitsAvx2(DecodeTwoByteRun(block.next0), out);
        in += kAsciiBlock;
        return out + 8;
    }
    // As DecodeAtEachPosition, on 16 lanes.
    const __m256i byte0 = _mm256_cvtepu8_epi16(block.next0);
    const __m256i byte1 = _mm256_cvtepu8_epi16(block.next1);
    const __m256i byte2 = _mm256_cvtepu8_epi16(block.next2);
    const __m256i twoByteLead = _mm256_cvtepi8_epi16(block.twoByteLead);
    const __m256i threeByteLead = _mm256_cvtepi8_epi16(block.threeByteLead);
    const __m256i sixBits = _mm256_set1_epi16(0x3F);
    const __m256i tail1 = _mm256_and_si256(byte1, sixBits);
    const __m256i twoBytes = _mm256_or_si256(_mm256_slli_epi16(_mm256_and_si256(byte0, _mm256_set1_epi16(0x1F)), 6), tail1);
    const __m256i threeBytes = _mm256_or_si256(_mm256_or_si256(_mm256_slli_epi16(byte0, 12), _mm256_slli_epi16(tail1, 6)),
                                               _mm256_and_si256(byte2, sixBits));
    const __m256i upToTwo = _mm256_blendv_epi8(byte0, twoBytes, twoByteLead);
    const __m256i codePoints = _mm256_blendv_epi8(upToTwo, threeBytes, threeByteLead);

    const unsigned lowLeads = block.leads & 0xFF;
    const unsigned highLeads = block.leads >> 8;
    const __m256i gather = _mm256_inserti128_si256(_mm256_castsi128_si256(LaneGather(lowLeads)), LaneGather(highLeads), 1);
    const __m256i units = _mm256_shuffle_epi8(codePoints, gather);
    StoreUnitsAvx2(_mm256_castsi256_si128(units), out);
    out += kSetBitPositions[lowLeads].count;
    StoreUnitsAvx2(_mm256_extracti128_si256(units, 1), out);
    in += block.Length();
    return out + kSetBitPositions[highLeads].count;
}

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF8_BLOCK_SHUFFLE_DECODER_H
