// The SSE2 kernel's blocks, which the kernels of later instruction sets build on: 16
// ASCII characters tested and moved in one step; 16 bytes of one- to three-byte UTF-8
// sequences classified, checked and decoded side by side, a table then picking the code
// points of the lead bytes out in order; and the UTF-8 form of 16 BMP units computed side
// by side, then laid out one unit after the other with four-byte stores.
#ifndef TESSERA_UNICODE_KERNELS_SSE2_H
#define TESSERA_UNICODE_KERNELS_SSE2_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "unicode/kernels/block_loops.h"
#include "unicode/sse2_support.h"

#if TESSERA_SSE2

namespace tessera::unicode {

/// Writes 16 ASCII bytes as 16 UTF-16 units.
inline void WidenAsciiVector(__m128i bytes, wchar_t* out) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(bytes, zero);
    const __m128i high = _mm_unpackhi_epi8(bytes, zero);
    auto* target = reinterpret_cast<__m128i*>(out);
    if constexpr (sizeof(wchar_t) == 2) {
        _mm_storeu_si128(target, low);
        _mm_storeu_si128(target + 1, high);
    } else {
        _mm_storeu_si128(target, _mm_unpacklo_epi16(low, zero));
        _mm_storeu_si128(target + 1, _mm_unpackhi_epi16(low, zero));
        _mm_storeu_si128(target + 2, _mm_unpacklo_epi16(high, zero));
        _mm_storeu_si128(target + 3, _mm_unpackhi_epi16(high, zero));
    }
}

/// Writes 16 units below 0x80, in two vectors of 8 or four of 4, as 16 bytes.
inline void NarrowAsciiVectors(const __m128i* units, char* out) {
    __m128i packed;
    if constexpr (sizeof(wchar_t) == 2) {
        packed = _mm_packus_epi16(units[0], units[1]);
    } else {
        packed = _mm_packus_epi16(_mm_packs_epi32(units[0], units[1]), _mm_packs_epi32(units[2], units[3]));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), packed);
}

/// Whether all units in `units`, OR-ed together, are below 0x80.
inline bool AllAscii(__m128i units) {
    const __m128i nonAscii = sizeof(wchar_t) == 2 ? _mm_andnot_si128(_mm_set1_epi16(0x7F), units)
                                                  : _mm_andnot_si128(_mm_set1_epi32(0x7F), units);
    return _mm_movemask_epi8(_mm_cmpeq_epi8(nonAscii, _mm_setzero_si128())) == 0xFFFF;
}

/// If the 16 bytes at `in` are all ASCII, writes them to `out` as 16 UTF-16 units and
/// returns true; otherwise writes nothing and returns false.
inline bool WidenAsciiBlock(const unsigned char* in, wchar_t* out) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    if (_mm_movemask_epi8(bytes) != 0) return false;
    WidenAsciiVector(bytes, out);
    return true;
}

/// If the 16 units at `in` are all below 0x80, writes them to `out` as 16 bytes and
/// returns true; otherwise writes nothing and returns false.
inline bool NarrowAsciiBlock(const wchar_t* in, char* out) {
    constexpr int kVectors = sizeof(wchar_t);  // 16 units
    __m128i units[kVectors];
    __m128i all = _mm_setzero_si128();
    for (int i = 0; i < kVectors; ++i) {
        units[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in) + i);
        all = _mm_or_si128(all, units[i]);
    }
    if (!AllAscii(all)) return false;
    NarrowAsciiVectors(units, out);
    return true;
}

/// Widens the ASCII bytes at the start of [in, in + size) 32 at a time, as long as
/// whole runs of 32 last; returns how many it wrote to `out`.
inline std::size_t WidenAsciiRun(const unsigned char* in, std::size_t size, wchar_t* out) {
    std::size_t done = 0;
    for (; size - done >= 2 * kAsciiBlock; done += 2 * kAsciiBlock) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done + kAsciiBlock));
        if (_mm_movemask_epi8(_mm_or_si128(first, second)) != 0) break;
        WidenAsciiVector(first, out + done);
        WidenAsciiVector(second, out + done + kAsciiBlock);
    }
    return done;
}

/// Narrows the units below 0x80 at the start of [in, in + size) 32 at a time, as long
/// as whole runs of 32 last; returns how many it wrote to `out`.
inline std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
    std::size_t done = 0;
    constexpr int kVectors = 2 * sizeof(wchar_t);  // 32 units
    for (; size - done >= 2 * kAsciiBlock; done += 2 * kAsciiBlock) {
        __m128i units[kVectors];
        __m128i all = _mm_setzero_si128();
        for (int i = 0; i < kVectors; ++i) {
            units[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done) + i);
            all = _mm_or_si128(all, units[i]);
        }
        if (!AllAscii(all)) break;
        NarrowAsciiVectors(units, out + done);
        NarrowAsciiVectors(units + kVectors / 2, out + done + kAsciiBlock);
    }
    return done;
}

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

/// Loads 16 units into 16-bit lanes and tells whether they are all ASCII; false if one of
/// them is above 0xFFFF.
inline bool LoadUnits(const wchar_t* in, __m128i& first, __m128i& second, bool& ascii) {
    const auto* source = reinterpret_cast<const __m128i*>(in);
    if constexpr (sizeof(wchar_t) == 2) {
        first = _mm_loadu_si128(source);
        second = _mm_loadu_si128(source + 1);
        ascii = AllAscii(_mm_or_si128(first, second));
        return true;
    } else {
        __m128i units[4];
        __m128i all = _mm_setzero_si128();
        for (int i = 0; i < 4; ++i) {
            units[i] = _mm_loadu_si128(source + i);
            all = _mm_or_si128(all, units[i]);
        }
        ascii = AllAscii(all);
        if (!ascii) {
            const __m128i outsideBmp = _mm_andnot_si128(_mm_set1_epi32(0xFFFF), all);
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(outsideBmp, _mm_setzero_si128())) != 0xFFFF) return false;
            // Signed saturation would clip 8000..FFFF: sign-extend the low halves first.
            for (__m128i& unit : units) unit = _mm_srai_epi32(_mm_slli_epi32(unit, 16), 16);
        }
        first = _mm_packs_epi32(units[0], units[1]);
        second = _mm_packs_epi32(units[2], units[3]);
        return true;
    }
}

/// `mask` ? `ifSet` : `ifClear`, lane by lane.
inline __m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
    return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

/// The UTF-8 form of 8 BMP units as one little-endian word per unit (the bytes in
/// memory order from the low end), units 0..3 in `firstWords` and 4..7 in `lastWords`.
inline void EncodeBmpWords(__m128i units, __m128i& firstWords, __m128i& lastWords) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sixBits = _mm_set1_epi16(0x3F);
    const __m128i below80 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), units), zero);
    const __m128i below800 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7FF), units), zero);
    const __m128i low = _mm_and_si128(units, sixBits);
    // The first two bytes: 0xxxxxxx; 110yyyyy 10xxxxxx; 1110zzzz 10yyyyyy.
    const __m128i twoBytes = _mm_or_si128(
        _mm_or_si128(_mm_set1_epi16(static_cast<short>(0x80C0)), _mm_srli_epi16(units, 6)), _mm_slli_epi16(low, 8));
    const __m128i middle = _mm_and_si128(_mm_srli_epi16(units, 6), sixBits);
    const __m128i threeBytes = _mm_or_si128(
        _mm_or_si128(_mm_set1_epi16(static_cast<short>(0x80E0)), _mm_srli_epi16(units, 12)), _mm_slli_epi16(middle, 8));
    const __m128i head = Select(below800, Select(below80, units, twoBytes), threeBytes);
    const __m128i third = _mm_or_si128(low, _mm_set1_epi16(0x80));  // 10xxxxxx
    firstWords = _mm_unpacklo_epi16(head, third);
    lastWords = _mm_unpackhi_epi16(head, third);
}

/// Whether one of the units in the 16-bit lanes of `first` and `second` is a surrogate.
inline bool HasSurrogate(__m128i first, __m128i second) {
    const __m128i surrogateBits = _mm_set1_epi16(static_cast<short>(0xF800));
    const __m128i surrogate = _mm_set1_epi16(static_cast<short>(0xD800));
    const __m128i surrogates = _mm_or_si128(_mm_cmpeq_epi16(_mm_and_si128(first, surrogateBits), surrogate),
                                            _mm_cmpeq_epi16(_mm_and_si128(second, surrogateBits), surrogate));
    return _mm_movemask_epi8(surrogates) != 0;
}

/// Computes the UTF-8 form of 8 BMP units as one little-endian word per unit and the
/// number of bytes that count.
inline void EncodeBmpUnits(__m128i units, std::uint32_t* words, std::uint16_t* lengths) {
    __m128i firstWords;
    __m128i lastWords;
    EncodeBmpWords(units, firstWords, lastWords);
    _mm_store_si128(reinterpret_cast<__m128i*>(words), firstWords);
    _mm_store_si128(reinterpret_cast<__m128i*>(words + 4), lastWords);
    // Three bytes, one less below 0x800 and one more below 0x80 (the masks are -1).
    const __m128i zero = _mm_setzero_si128();
    const __m128i below80 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), units), zero);
    const __m128i below800 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7FF), units), zero);
    _mm_store_si128(reinterpret_cast<__m128i*>(lengths),
                    _mm_add_epi16(_mm_set1_epi16(3), _mm_add_epi16(below80, below800)));
}

/// Most ASCII lanes among 8 units below 0x800 that the two-byte encoder takes.
inline constexpr unsigned kMaxAsciiLanes = 4;

/// Where the ASCII lanes among 8 units below 0x800 are: how many, and for each of the
/// first `kMaxAsciiLanes`, the output byte it lands on, which is the last byte taken from
/// the two-byte forms shifted down by as many bytes as there are ASCII lanes before it
/// (15, the last byte of all, where there is no such lane).
struct AsciiLanes {
    unsigned char count;
    unsigned char lastByte[kMaxAsciiLanes];
};

constexpr std::array<AsciiLanes, 256> MakeAsciiLaneTable() {
    std::array<AsciiLanes, 256> table{};
    for (unsigned mask = 0; mask < 256; ++mask) {
        AsciiLanes& lanes = table[mask];
        for (unsigned char& last : lanes.lastByte) last = 15;
        for (unsigned lane = 0; lane < 8; ++lane) {
            if (((mask >> lane) & 1) == 0) continue;
            if (lanes.count < kMaxAsciiLanes)
                lanes.lastByte[lanes.count] = static_cast<unsigned char>(2 * lane - lanes.count);
            ++lanes.count;
        }
    }
    return table;
}

inline constexpr std::array<AsciiLanes, 256> kAsciiLanes = MakeAsciiLaneTable();

/// For each n: the byte mask of positions 0 to n.
constexpr std::array<std::array<unsigned char, 16>, 16> MakeLeadingByteMasks() {
    std::array<std::array<unsigned char, 16>, 16> masks{};
    for (std::size_t n = 0; n < 16; ++n) {
        for (std::size_t i = 0; i <= n; ++i) masks[n][i] = 0xFF;
    }
    return masks;
}

inline constexpr std::array<std::array<unsigned char, 16>, 16> kLeadingByteMasks = MakeLeadingByteMasks();

inline __m128i LeadingBytes(unsigned char last) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLeadingByteMasks[last].data()));
}

/// Writes 8 units below 0x800, at most `kMaxAsciiLanes` of them ASCII, as UTF-8; returns
/// the end. The two-byte forms are laid side by side; after each ASCII lane, whose
/// second byte is not used, the bytes come from the forms shifted down by one more byte.
inline char* EncodeTwoByteUnits(__m128i units, const AsciiLanes& ascii, char* out) {
    const __m128i below80 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), units), _mm_setzero_si128());
    const __m128i twoBytes =
        _mm_or_si128(_mm_or_si128(_mm_set1_epi16(static_cast<short>(0x80C0)), _mm_srli_epi16(units, 6)),
                     _mm_slli_epi16(_mm_and_si128(units, _mm_set1_epi16(0x3F)), 8));
    const __m128i forms = Select(below80, units, twoBytes);
    __m128i bytes = Select(LeadingBytes(ascii.lastByte[0]), forms, _mm_srli_si128(forms, 1));
    bytes = Select(LeadingBytes(ascii.lastByte[1]), bytes, _mm_srli_si128(forms, 2));
    bytes = Select(LeadingBytes(ascii.lastByte[2]), bytes, _mm_srli_si128(forms, 3));
    bytes = Select(LeadingBytes(ascii.lastByte[3]), bytes, _mm_srli_si128(forms, 4));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
    return out + 16 - ascii.count;
}

/// If none of the 16 units at `in` is a surrogate or above 0xFFFF, writes their UTF-8
/// form to `out` and returns its end, 16 bytes on exactly for plain ASCII; otherwise
/// writes nothing and returns nullptr.
inline char* EncodeBmpBlock(const wchar_t* in, char* out) {
    __m128i first;
    __m128i second;
    bool ascii;
    if (!LoadUnits(in, first, second, ascii)) return nullptr;
    if (ascii) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_packus_epi16(first, second));
        return out + kAsciiBlock;
    }
    if (HasSurrogate(first, second)) return nullptr;

    const __m128i zero = _mm_setzero_si128();
    const __m128i below800 = _mm_and_si128(_mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7FF), first), zero),
                                           _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7FF), second), zero));
    if (_mm_movemask_epi8(below800) == 0xFFFF) {
        // Latin, Cyrillic, Greek, Hebrew, Arabic... with a few spaces among them.
        const __m128i asciiFirst = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), first), zero);
        const __m128i asciiSecond = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), second), zero);
        const auto asciiBits = static_cast<unsigned>(_mm_movemask_epi8(_mm_packs_epi16(asciiFirst, asciiSecond)));
        const AsciiLanes& firstLanes = kAsciiLanes[asciiBits & 0xFF];
        const AsciiLanes& secondLanes = kAsciiLanes[asciiBits >> 8];
        if (firstLanes.count <= kMaxAsciiLanes && secondLanes.count <= kMaxAsciiLanes) {
            return EncodeTwoByteUnits(second, secondLanes, EncodeTwoByteUnits(first, firstLanes, out));
        }
    }

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

/// The block steps of the SSE2 kernel (see block_loops.h), which later kernels inherit.
struct Sse2Utf8Blocks {
    static bool WidenAscii(const unsigned char* in, wchar_t* out) { return WidenAsciiBlock(in, out); }
    static wchar_t* WidenAsciiRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        const std::size_t run = unicode::WidenAsciiRun(in, size, out);
        in += run;
        return out + run;
    }
    static wchar_t* DecodeRun(const unsigned char*&, std::size_t, wchar_t* out) { return out; }
    static wchar_t* Decode(const unsigned char*& in, wchar_t* out) { return DecodeUtf8Block(in, out); }
};

struct Sse2Utf16Blocks {
    static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlock(in, out); }
    static std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
        return unicode::NarrowAsciiRun(in, size, out);
    }
};

}  // namespace tessera::unicode

#endif  // TESSERA_SSE2

#endif  // TESSERA_UNICODE_KERNELS_SSE2_H
