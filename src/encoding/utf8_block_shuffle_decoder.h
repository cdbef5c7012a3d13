// The UTF-8 block decoder for CPUs with a byte shuffle (SSSE3, AVX2): after the block is
// checked and the code point at every position computed, one shuffle per 8 positions
// moves the code points of the lead bytes together, picked by a table indexed by the
// positions of the leads. Runs of three-byte sequences (CJK text) go 48 bytes at a time;
// with AVX2, runs of one- and two-byte sequences 32 bytes at a time, and ASCII runs take
// a lone other character in their stride.
#ifndef TESSERA_ENCODING_UTF8_BLOCK_SHUFFLE_DECODER_H
#define TESSERA_ENCODING_UTF8_BLOCK_SHUFFLE_DECODER_H

#include <array>
#include <cstdint>

#include "encoding/simd_targets.h"
#include "encoding/utf8_block_decoder.h"
#include "encoding/utf8_short_sequence.h"

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

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF8_BLOCK_SHUFFLE_DECODER_H
