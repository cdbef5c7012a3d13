// UTF-8 encoding of 16 UTF-16 units in one step, for blocks of BMP characters: the bytes
// of every unit are computed side by side with SSE2, then laid out one unit after the
// other with four-byte stores.
#ifndef TESSERA_ENCODING_UTF16_BLOCK_ENCODER_H
#define TESSERA_ENCODING_UTF16_BLOCK_ENCODER_H

#include <array>
#include <cstdint>
#include <cstring>

#include "encoding/ascii_block.h"

namespace tessera::encoding {

/// Room the block encoders need after `out`: 48 bytes, and 4 that a last store spills.
inline constexpr std::size_t kBmpBlockRoom = 3 * kAsciiBlock + 4;

#if TESSERA_SSE2

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

#else

/// Without SSE2 the block encoder takes ASCII only; the caller converts other blocks unit
/// by unit.
inline char* EncodeBmpBlock(const wchar_t* in, char* out) {
    return NarrowAsciiBlock(in, out) ? out + kAsciiBlock : nullptr;
}

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF16_BLOCK_ENCODER_H
