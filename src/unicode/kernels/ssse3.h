// The SSSE3 kernel's blocks, which the AVX2 kernel builds on. With a byte shuffle, the
// UTF-8 block decoder moves the code points of the lead bytes together with one shuffle
// per 8 positions, picked by a table indexed by the positions of the leads, and takes runs
// of three-byte sequences (CJK text) 48 bytes at a time; the UTF-16 block encoder lays the
// bytes of the units' UTF-8 forms out with one shuffle per 8 units (below U+0800) or per 4
// (the rest of the BMP), picked by a table indexed by the units' lengths.
#ifndef TESSERA_UNICODE_KERNELS_SSSE3_H
#define TESSERA_UNICODE_KERNELS_SSSE3_H

#include <array>
#include <cstddef>
#include <cstdint>

#include "unicode/kernels/sse2.h"
#include "unicode/kernels/targets.h"

#if TESSERA_UNICODE_SSSE3

namespace tessera::unicode {

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

/// Bytes the three-byte run decoder takes at a time: 16 sequences.
inline constexpr std::size_t kThreeByteRunBlock = 48;

/// Whether 16 bytes of a run of three-byte sequences have their lead bytes exactly at
/// the positions of `leads`, bytes 80..BF elsewhere, and no lead E0 or ED (which need a
/// check of the next byte, left to the block decoder).
inline bool IsThreeByteRunPart(__m128i bytes, int leads) {
    const __m128i lead = _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(static_cast<char>(0xF0))),
                                        _mm_set1_epi8(static_cast<char>(0xE0)));
    const __m128i continuation = _mm_cmplt_epi8(bytes, _mm_set1_epi8(-64));
    const __m128i checked = _mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xE0))),
                                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0xED))));
    return _mm_movemask_epi8(lead) == leads &&
           _mm_movemask_epi8(_mm_andnot_si128(checked, _mm_or_si128(lead, continuation))) == 0xFFFF;
}

/// Whether the 48 bytes at `in` are 16 three-byte sequences for `DecodeThreeByteRunSsse3`.
inline bool LoadThreeByteRun(const unsigned char* in, __m128i* bytes) {
    const auto* source = reinterpret_cast<const __m128i*>(in);
    for (int i = 0; i < 3; ++i) bytes[i] = _mm_loadu_si128(source + i);
    // The leads fall on every third byte: 0, 3, ... 15 of the first 16, then 18 ... 30,
    // then 33 ... 45.
    return IsThreeByteRunPart(bytes[0], 0x9249) && IsThreeByteRunPart(bytes[1], 0x4924) &&
           IsThreeByteRunPart(bytes[2], 0x2492);
}

/// Moves each of the 4 sequences in the first 12 bytes into a 32-bit lane, last byte low.
inline __m128i ThreeByteLaneShuffle() { return _mm_setr_epi8(2, 1, 0, -1, 5, 4, 3, -1, 8, 7, 6, -1, 11, 10, 9, -1); }

/// The code points of three-byte sequences held one per 32-bit lane, last byte low.
inline __m128i DecodeThreeByteLanes(__m128i lanes) {
    return _mm_or_si128(_mm_or_si128(_mm_and_si128(_mm_srli_epi32(lanes, 4), _mm_set1_epi32(0xF000)),
                                     _mm_and_si128(_mm_srli_epi32(lanes, 2), _mm_set1_epi32(0x0FC0))),
                        _mm_and_si128(lanes, _mm_set1_epi32(0x3F)));
}

/// Writes the 4 units in the 32-bit lanes of `units` to `out`.
TESSERA_TARGET_SSSE3 inline void StoreUnitLanes(__m128i units, wchar_t* out) {
    if constexpr (sizeof(wchar_t) == 2) {
        const __m128i low =
            _mm_shuffle_epi8(units, _mm_setr_epi8(0, 1, 4, 5, 8, 9, 12, 13, -1, -1, -1, -1, -1, -1, -1, -1));
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), low);
    } else {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), units);
    }
}

/// Decodes the runs of 16 three-byte sequences at the start of [in, in + size), as long
/// as whole runs last, and moves `in` past them; returns the end of the output.
TESSERA_TARGET_SSSE3 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeThreeByteRunSsse3(const unsigned char*& in,
                                                                                   std::size_t size, wchar_t* out) {
    __m128i bytes[3];
    for (const unsigned char* const end = in + size;
         static_cast<std::size_t>(end - in) >= kThreeByteRunBlock && LoadThreeByteRun(in, bytes);
         in += kThreeByteRunBlock) {
        // Four windows of 12 bytes: 0..11, 12..23, 24..35, 36..47.
        const __m128i windows[4] = {bytes[0], _mm_alignr_epi8(bytes[1], bytes[0], 12),
                                    _mm_alignr_epi8(bytes[2], bytes[1], 8), _mm_srli_si128(bytes[2], 4)};
        for (const __m128i& window : windows) {
            StoreUnitLanes(DecodeThreeByteLanes(_mm_shuffle_epi8(window, ThreeByteLaneShuffle())), out);
            out += 4;
        }
    }
    return out;
}

/// `DecodeUtf8Block` with SSSE3.
TESSERA_TARGET_SSSE3 TESSERA_ALWAYS_INLINE inline wchar_t* DecodeUtf8BlockSsse3(const unsigned char*& in,
                                                                                wchar_t* out) {
    Utf8Block block;
    if (!LoadUpToTwoByteBlock(in, block) && !LoadUtf8Block(in, block)) return nullptr;
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

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_SSSE3

#endif  // TESSERA_UNICODE_KERNELS_SSSE3_H
