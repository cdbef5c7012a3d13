// UTF-8 decoding of 16 bytes in one step, for blocks of one- to three-byte sequences:
// the bytes are classified and checked, and the code point at every lead byte computed,
// side by side with SSE2; a table then picks the code points of the lead bytes out in
// order.
#ifndef TESSERA_ENCODING_UTF8_BLOCK_DECODER_H
#define TESSERA_ENCODING_UTF8_BLOCK_DECODER_H

#include <array>
#include <cstdint>

#include "encoding/ascii_block.h"

namespace tessera::encoding {

/// Bytes the block decoder reads: the block and two more for a sequence it starts.
inline constexpr std::size_t kUtf8BlockRead = kAsciiBlock + 2;

/// Units the block decoder may write after `out`, used or not.
inline constexpr std::size_t kUtf8BlockRoom = kAsciiBlock;

#if TESSERA_SSE2

/// For each mask of 8 bits: the positions of the bits that are set, in order, and how
/// many there are.
struct SetBitPositions {
    unsigned char position[8];
    unsigned char count;
};

constexpr std::array<SetBitPositions, 256> MakeSetBitPositionTable() {
    std::array<SetBitPositions, 256> table{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        unsigned char count = 0;
        for (unsigned char bit = 0; bit < 8; ++bit) {
            if ((mask >> bit) & 1) table[mask].position[count++] = bit;
        }
        table[mask].count = count;
    }
    return table;
}

inline constexpr std::array<SetBitPositions, 256> kSetBitPositions = MakeSetBitPositionTable();

/// Writes the code points at the lead bytes among 8 positions to `out`; returns its end.
inline wchar_t* PickLeadCodePoints(const std::uint16_t* codePoints, unsigned leadMask, wchar_t* out) {
    const SetBitPositions& leads = kSetBitPositions[leadMask];
    for (int i = 0; i < 8; ++i) out[i] = static_cast<wchar_t>(codePoints[leads.position[i]]);
    return out + leads.count;
}

/// Writes the 8 units in the 16-bit lanes of `units` to `out`.
inline void StoreUnits(__m128i units, wchar_t* out) {
    auto* target = reinterpret_cast<__m128i*>(out);
    if constexpr (sizeof(wchar_t) == 2) {
        _mm_storeu_si128(target, units);
    } else {
        _mm_storeu_si128(target, _mm_unpacklo_epi16(units, _mm_setzero_si128()));
        _mm_storeu_si128(target + 1, _mm_unpackhi_epi16(units, _mm_setzero_si128()));
    }
}

/// Code points of 8 positions in 16-bit lanes, each read as the start of a sequence.
inline __m128i DecodeAtEachPosition(__m128i byte0, __m128i byte1, __m128i byte2, __m128i twoByteLead,
                                    __m128i threeByteLead) {
    const __m128i sixBits = _mm_set1_epi16(0x3F);
    const __m128i tail1 = _mm_and_si128(byte1, sixBits);
    const __m128i twoBytes = _mm_or_si128(_mm_slli_epi16(_mm_and_si128(byte0, _mm_set1_epi16(0x1F)), 6), tail1);
    // The shift by 12 drops the lead's 1110 marker bits off the top of the lane.
    const __m128i threeBytes =
        _mm_or_si128(_mm_or_si128(_mm_slli_epi16(byte0, 12), _mm_slli_epi16(tail1, 6)), _mm_and_si128(byte2, sixBits));
    const __m128i upToTwo = _mm_or_si128(_mm_and_si128(twoByteLead, twoBytes), _mm_andnot_si128(twoByteLead, byte0));
    return _mm_or_si128(_mm_and_si128(threeByteLead, threeBytes), _mm_andnot_si128(threeByteLead, upToTwo));
}

/// A block of 16 bytes that begins a character and holds only well-formed sequences of
/// one to three bytes, the last of which may end up to two bytes after it.
struct Utf8Block {
    __m128i next0;  // the byte at each position
    __m128i next1;  // the byte after it
    __m128i next2;  // the byte after that
    __m128i twoByteLead;
    __m128i threeByteLead;
    unsigned leads;  // one bit per position that begins a sequence
    unsigned twoByteLeads;
    unsigned threeByteLeads;

    /// Bytes the block's sequences take: one that starts at position 14 or 15 ends after
    /// the block.
    std::size_t Length() const {
        return kAsciiBlock + (twoByteLeads >> 15) + 2 * (threeByteLeads >> 15) + ((threeByteLeads >> 14) & 1);
    }
};

/// Loads and checks the 16 bytes at `in` (reading `kUtf8BlockRead`); false unless they
/// form a `Utf8Block`.
inline bool LoadUtf8Block(const unsigned char* in, Utf8Block& block) {
    const auto load = [in](int offset) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + offset)); };
    const __m128i next0 = load(0);
    const __m128i next1 = load(1);
    const __m128i next2 = load(2);
    const auto below = [](__m128i bytes, int limit) {
        return _mm_cmplt_epi8(bytes, _mm_set1_epi8(static_cast<char>(limit)));
    };
    const auto above = [](__m128i bytes, int limit) {
        return _mm_cmpgt_epi8(bytes, _mm_set1_epi8(static_cast<char>(limit)));
    };

    // Byte classes as signed bytes: 00..7F >= 0, 80..BF < -64, C0..DF < -32, E0..EF < -16.
    const __m128i ascii = above(next0, -1);
    const __m128i continuation = below(next0, -64);
    const __m128i twoByteLead = _mm_and_si128(above(next0, -65), below(next0, -32));
    const __m128i threeByteLead = _mm_and_si128(above(next0, -33), below(next0, -16));
    const __m128i classified =
        _mm_or_si128(_mm_or_si128(ascii, continuation), _mm_or_si128(twoByteLead, threeByteLead));
    if (_mm_movemask_epi8(classified) != 0xFFFF) return false;  // F0..FF

    // Each lead is followed by its continuation bytes, and each continuation byte in the
    // block follows a lead; C0 and C1 lead overlongs, E0 80..9F overlongs and ED A0..BF
    // surrogates.
    const __m128i anyLead = _mm_or_si128(twoByteLead, threeByteLead);
    const __m128i missing =
        _mm_or_si128(_mm_andnot_si128(below(next1, -64), anyLead), _mm_andnot_si128(below(next2, -64), threeByteLead));
    const __m128i expected = _mm_or_si128(_mm_slli_si128(anyLead, 1), _mm_slli_si128(threeByteLead, 2));
    const __m128i stray = _mm_andnot_si128(expected, continuation);
    const __m128i overlong2 = _mm_and_si128(twoByteLead, below(next0, -62));
    const __m128i overlong3 =
        _mm_and_si128(_mm_cmpeq_epi8(next0, _mm_set1_epi8(static_cast<char>(0xE0))), below(next1, -96));
    const __m128i surrogate =
        _mm_and_si128(_mm_cmpeq_epi8(next0, _mm_set1_epi8(static_cast<char>(0xED))), above(next1, -97));
    const __m128i rejected =
        _mm_or_si128(_mm_or_si128(missing, stray), _mm_or_si128(overlong2, _mm_or_si128(overlong3, surrogate)));
    if (_mm_movemask_epi8(rejected) != 0) return false;

    block = {next0,
             next1,
             next2,
             twoByteLead,
             threeByteLead,
             ~static_cast<unsigned>(_mm_movemask_epi8(continuation)) & 0xFFFF,
             static_cast<unsigned>(_mm_movemask_epi8(twoByteLead)),
             static_cast<unsigned>(_mm_movemask_epi8(threeByteLead))};
    return true;
}

/// Loads and checks the 16 bytes at `in` (reading one more) like `LoadUtf8Block`, for
/// the common case of one- and two-byte sequences only, which needs fewer steps; false
/// if they are not of that kind (they may still form a `Utf8Block`). Leaves `next2` zero.
inline bool LoadUpToTwoByteBlock(const unsigned char* in, Utf8Block& block) {
    const __m128i next0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    // As signed bytes: 00..7F >= 0, 80..BF < -64, C2..DF in -62..-33.
    const __m128i continuation = _mm_cmplt_epi8(next0, _mm_set1_epi8(-64));
    const __m128i twoByteLead =
        _mm_and_si128(_mm_cmpgt_epi8(next0, _mm_set1_epi8(-63)), _mm_cmplt_epi8(next0, _mm_set1_epi8(-32)));
    const __m128i ascii = _mm_cmpgt_epi8(next0, _mm_set1_epi8(-1));
    const auto leads = static_cast<unsigned>(_mm_movemask_epi8(twoByteLead));
    const auto continuations = static_cast<unsigned>(_mm_movemask_epi8(continuation));
    // Every byte is of these classes, and the continuation bytes are exactly those after
    // the leads, the one after the block included.
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(ascii, continuation), twoByteLead)) != 0xFFFF ||
        continuations != ((leads << 1) & 0xFFFF) || ((leads >> 15) != 0 && (in[kAsciiBlock] & 0xC0) != 0x80)) {
        return false;
    }
    const __m128i zero = _mm_setzero_si128();
    block = {next0, _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 1)),
             zero,  twoByteLead,
             zero,  ~continuations & 0xFFFF,
             leads, 0};
    return true;
}

/// Eight two-byte sequences (`twoByteLeads == 0x5555`), as in a run of Cyrillic or Greek
/// letters: each 16-bit lane of `next0` holds one, lead byte low.
inline __m128i DecodeTwoByteRun(__m128i next0) {
    return _mm_or_si128(_mm_slli_epi16(_mm_and_si128(next0, _mm_set1_epi16(0x1F)), 6),
                        _mm_and_si128(_mm_srli_epi16(next0, 8), _mm_set1_epi16(0x3F)));
}

/// The code points at positions 0..7 (`Low`) or 8..15 (`High`) of a block, each read as
/// the start of a sequence, in 16-bit lanes.
inline __m128i DecodeLowPositions(const Utf8Block& b) {
    const __m128i zero = _mm_setzero_si128();
    return DecodeAtEachPosition(_mm_unpacklo_epi8(b.next0, zero), _mm_unpacklo_epi8(b.next1, zero),
                                _mm_unpacklo_epi8(b.next2, zero), _mm_unpacklo_epi8(b.twoByteLead, b.twoByteLead),
                                _mm_unpacklo_epi8(b.threeByteLead, b.threeByteLead));
}

inline __m128i DecodeHighPositions(const Utf8Block& b) {
    const __m128i zero = _mm_setzero_si128();
    return DecodeAtEachPosition(_mm_unpackhi_epi8(b.next0, zero), _mm_unpackhi_epi8(b.next1, zero),
                                _mm_unpackhi_epi8(b.next2, zero), _mm_unpackhi_epi8(b.twoByteLead, b.twoByteLead),
                                _mm_unpackhi_epi8(b.threeByteLead, b.threeByteLead));
}

/// If the 16 bytes at `in` form a `Utf8Block`, writes its units to `out`, moves `in` past
/// its last sequence and returns the end of the output; otherwise writes nothing and
/// returns nullptr. Reads `kUtf8BlockRead` bytes.
inline wchar_t* DecodeUtf8Block(const unsigned char*& in, wchar_t* out) {
    Utf8Block block;
    if (!LoadUtf8Block(in, block)) return nullptr;
    if (block.twoByteLeads == 0x5555) {
        StoreUnits(DecodeTwoByteRun(block.next0), out);
        in += kAsciiBlock;
        return out + 8;
    }
    const __m128i low = DecodeLowPositions(block);
    const __m128i high = DecodeHighPositions(block);
    if (block.threeByteLeads == 0x9249) {
        // Six three-byte sequences, as in a run of CJK characters, the last ending two
        // bytes after the block.
        out[0] = static_cast<wchar_t>(_mm_extract_epi16(low, 0));
        out[1] = static_cast<wchar_t>(_mm_extract_epi16(low, 3));
        out[2] = static_cast<wchar_t>(_mm_extract_epi16(low, 6));
        out[3] = static_cast<wchar_t>(_mm_extract_epi16(high, 1));
        out[4] = static_cast<wchar_t>(_mm_extract_epi16(high, 4));
        out[5] = static_cast<wchar_t>(_mm_extract_epi16(high, 7));
        in += kAsciiBlock + 2;
        return out + 6;
    }
    alignas(16) std::uint16_t codePoints[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(codePoints), low);
    _mm_store_si128(reinterpret_cast<__m128i*>(codePoints + 8), high);
    out = PickLeadCodePoints(codePoints, block.leads & 0xFF, out);
    out = PickLeadCodePoints(codePoints + 8, block.leads >> 8, out);
    in += block.Length();
    return out;
}

#else

/// Without SSE2 there is no block decoder; the caller decodes sequence by sequence.
inline wchar_t* DecodeUtf8Block(const unsigned char*&, wchar_t*) { return nullptr; }

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF8_BLOCK_DECODER_H
