// The AVX-512 kernel's UTF-8 to UTF-16 loop: 64 bytes a step, whatever their script. The
// step checks all 64 bytes at once (utf8_validation.h), reads each byte as the start of a
// one- to four-byte sequence in a 16-bit lane (a four-byte sequence gives its high
// surrogate at the lead byte and its low surrogate at the byte after), and compresses the
// lanes of the bytes that start a unit together. Text that is not valid UTF-8 is taken as
// far as it is valid; the reference decoder replaces the fault and the steps go on after
// it. The last bytes of a text are read with a masked load, as zeros beyond its end.
#include "unicode/kernels/avx512/loops.h"

#include <array>
#include <cstddef>
#include <cstdint>

#include "unicode/kernels/block_loops.h"
#include "unicode/kernels/utf8_validation.h"

#if TESSERA_UNICODE_AVX512

namespace tessera::unicode {
namespace {

/// Bytes per step.
constexpr std::size_t kStep = 64;

/// Units a step may write after `out`, used or not.
constexpr std::ptrdiff_t kStepRoom = 64;

/// Bytes the reference decoder takes past a fault before the steps resume.
constexpr std::size_t kFaultStride = 16;

/// A byte permutation of a 64-byte register.
struct alignas(64) BytePermutation {
    unsigned char index[64];
};

/// For the 32 positions of `half`: the byte `offset` after each position in the low byte
/// of a 16-bit lane and the byte after that in its high byte. Indexes wrap at 64, so the
/// lanes of the last positions hold bytes of no use, for sequences that end past the step.
constexpr BytePermutation MakePairPermutation(unsigned half, unsigned offset) {
    BytePermutation permutation{};
    for (unsigned lane = 0; lane < 32; ++lane) {
        permutation.index[2 * lane] = static_cast<unsigned char>((32 * half + lane + offset) % 64);
        permutation.index[2 * lane + 1] = static_cast<unsigned char>((32 * half + lane + offset + 1) % 64);
    }
    return permutation;
}

/// The byte before each position (the first gets a zero from the permutation's mask).
constexpr BytePermutation MakePreviousPermutation() {
    BytePermutation permutation{};
    for (unsigned i = 1; i < 64; ++i) permutation.index[i] = static_cast<unsigned char>(i - 1);
    return permutation;
}

constexpr BytePermutation kPairs[2][2] = {
    {MakePairPermutation(0, 0), MakePairPermutation(0, 1)},
    {MakePairPermutation(1, 0), MakePairPermutation(1, 1)},
};
constexpr BytePermutation kPrevious = MakePreviousPermutation();

/// A 16-byte table in each 128-bit lane, for a byte shuffle.
struct alignas(64) ShuffleTable {
    unsigned char entry[64];
};

constexpr ShuffleTable Broadcast(const std::array<unsigned char, 16>& table) {
    ShuffleTable broadcast{};
    for (unsigned i = 0; i < 64; ++i) broadcast.entry[i] = table[i % 16];
    return broadcast;
}

constexpr ShuffleTable kPreviousHigh = Broadcast(kUtf8CheckTables.previousHigh);
constexpr ShuffleTable kPreviousLow = Broadcast(kUtf8CheckTables.previousLow);
constexpr ShuffleTable kCurrentHigh = Broadcast(kUtf8CheckTables.currentHigh);

TESSERA_TARGET_AVX512 inline __m512i Lookup(const ShuffleTable& table, __m512i nibbles) {
    return _mm512_shuffle_epi8(_mm512_load_si512(table.entry), nibbles);
}

// GCC 12 takes the undefined pass-through operand of the unmasked forms of some
// instructions for an uninitialised variable and warns; the zero-masked forms that keep
// every lane compile to the same instructions.
constexpr auto kAllBytes = ~std::uint64_t{0};

TESSERA_TARGET_AVX512 inline __m512i Permute(const BytePermutation& permutation, __m512i bytes) {
    return _mm512_maskz_permutexvar_epi8(kAllBytes, _mm512_load_si512(permutation.index), bytes);
}

TESSERA_TARGET_AVX512 inline __m256i HalfOf(__m512i vector, int index) {
    return index == 0 ? _mm512_maskz_extracti64x4_epi64(0xFF, vector, 0)
                      : _mm512_maskz_extracti64x4_epi64(0xFF, vector, 1);
}

/// Positions of each class of byte among the 64 of a step, one bit each.
struct ByteClasses {
    __mmask64 continuation;  // 80..BF
    __mmask64 atLeastC0;     // leads of two or more bytes, and C0, C1, F5..FF
    __mmask64 atLeastE0;     // leads of three or four bytes, and F5..FF
    __mmask64 atLeastF0;     // leads of four bytes, and F5..FF
};

TESSERA_TARGET_AVX512 inline ByteClasses Classify(__m512i bytes) {
    return {_mm512_cmplt_epi8_mask(bytes, _mm512_set1_epi8(-64)),
            _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xC0))),
            _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xE0))),
            _mm512_cmpge_epu8_mask(bytes, _mm512_set1_epi8(static_cast<char>(0xF0)))};
}

/// The positions where the bytes, read from the start of a character, stop being UTF-8.
/// A sequence cut by the end of the 64 bytes is no fault here.
TESSERA_TARGET_AVX512 inline __mmask64 Faults(__m512i bytes, const ByteClasses& classes) {
    const __m512i previous =
        _mm512_maskz_permutexvar_epi8(~std::uint64_t{1}, _mm512_load_si512(kPrevious.index), bytes);
    const __m512i lowNibble = _mm512_set1_epi8(0x0F);
    const __m512i previousHigh = _mm512_and_si512(_mm512_srli_epi16(previous, 4), lowNibble);
    const __m512i previousLow = _mm512_and_si512(previous, lowNibble);
    const __m512i currentHigh = _mm512_and_si512(_mm512_srli_epi16(bytes, 4), lowNibble);
    // 0x80: A AND B AND C.
    const __m512i found =
        _mm512_ternarylogic_epi32(Lookup(kPreviousHigh, previousHigh), Lookup(kPreviousLow, previousLow),
                                  Lookup(kCurrentHigh, currentHigh), 0x80);
    const __mmask64 afterContinuation =
        _mm512_test_epi8_mask(found, _mm512_set1_epi8(static_cast<char>(kContinuationAfterContinuation)));
    const __mmask64 expected = (classes.atLeastE0 << 2) | (classes.atLeastF0 << 3);
    const __mmask64 other = _mm512_test_epi8_mask(found, _mm512_set1_epi8(~kContinuationAfterContinuation & 0x7F));
    return other | (afterContinuation ^ expected);
}

/// The units of the 32 positions of `Half`, each read as the start of a sequence: ASCII,
/// the code point of a two- or three-byte sequence, the high surrogate of a four-byte
/// one, and after a four-byte lead the low surrogate.
template <unsigned Half>
TESSERA_TARGET_AVX512 inline __m512i DecodeHalf(__m512i bytes, const ByteClasses& classes) {
    const auto mask = [](__mmask64 bits) { return static_cast<__mmask32>(bits >> (32 * Half)); };
    // Six payload bits of each byte, the first of a pair shifted above the second.
    const __m512i payload = _mm512_set1_epi8(0x3F);
    const __m512i weights = _mm512_set1_epi16(0x0140);      // 64 for the low byte, 1 for the high
    const __m512i first = Permute(kPairs[Half][0], bytes);  // bytes 0 and 1
    const __m512i twoBytes = _mm512_maddubs_epi16(_mm512_and_si512(first, payload), weights);
    __m512i units = _mm512_and_si512(first, _mm512_set1_epi16(0xFF));
    units = _mm512_mask_mov_epi16(units, mask(classes.atLeastC0), twoBytes);
    // A four-byte lead just before the half puts its low surrogate in it.
    const __mmask32 afterFourByteLead = mask(classes.atLeastF0 << 1);
    if ((mask(classes.atLeastE0) | afterFourByteLead) == 0) return units;  // no longer sequences here
    const __m512i second = Permute(kPairs[Half][1], bytes);                // bytes 1 and 2
    const __m512i lastTwo = _mm512_maddubs_epi16(_mm512_and_si512(second, payload), weights);
    // The shift drops the lead's marker bits off the top of the lane.
    const __m512i threeBytes = _mm512_or_si512(_mm512_slli_epi16(first, 12), lastTwo);
    units = _mm512_mask_mov_epi16(units, mask(classes.atLeastE0), threeBytes);
    if ((mask(classes.atLeastF0) | afterFourByteLead) == 0) return units;
    // Of a four-byte lead, the same shifted four bits down is the code point's bits 10..20:
    // the high surrogate less 0xD7C0. After the lead, the last two bytes hold bits 0..9
    // (and two of the lead's).
    const __m512i highSurrogate =
        _mm512_add_epi16(_mm512_srli_epi16(threeBytes, 4), _mm512_set1_epi16(static_cast<short>(0xD7C0)));
    const __m512i lowSurrogate = _mm512_ternarylogic_epi32(lastTwo, _mm512_set1_epi16(0x3FF),
                                                           _mm512_set1_epi16(static_cast<short>(0xDC00)), 0xEA);
    units = _mm512_mask_mov_epi16(units, mask(classes.atLeastF0), highSurrogate);
    return _mm512_mask_mov_epi16(units, afterFourByteLead, lowSurrogate);
}

/// Writes the units of the lanes of `units` whose bits are set in `keep`, in order, to
/// `out`; returns the end. Writes 32 units, used or not.
TESSERA_TARGET_AVX512 inline wchar_t* StoreKept(__m512i units, __mmask32 keep, wchar_t* out) {
    const __m512i kept = _mm512_maskz_compress_epi16(keep, units);
    if constexpr (sizeof(wchar_t) == 2) {
        _mm512_storeu_si512(out, kept);
    } else {
        _mm512_storeu_si512(out, _mm512_maskz_cvtepu16_epi32(0xFFFF, HalfOf(kept, 0)));
        _mm512_storeu_si512(out + 16, _mm512_maskz_cvtepu16_epi32(0xFFFF, HalfOf(kept, 1)));
    }
    return out + _mm_popcnt_u32(keep);
}

/// Writes the 64 ASCII bytes at `in` as 64 units.
TESSERA_TARGET_AVX512 inline void WidenAscii(const unsigned char* in, wchar_t* out) {
    if constexpr (sizeof(wchar_t) == 2) {
        for (int i = 0; i < 2; ++i) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in + 32 * i));
            _mm512_storeu_si512(out + 32 * i, _mm512_maskz_cvtepu8_epi16(0xFFFFFFFF, bytes));
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 16 * i));
            _mm512_storeu_si512(out + 16 * i, _mm512_maskz_cvtepu8_epi32(0xFFFF, bytes));
        }
    }
}

/// Writes the units of the characters that start at the positions of `convertible`.
TESSERA_TARGET_AVX512 inline wchar_t* Decode(__m512i bytes, const ByteClasses& classes, __mmask64 convertible,
                                             wchar_t* out) {
    const __mmask64 emitting = (~classes.continuation | (classes.atLeastF0 << 1)) & convertible;
    out = StoreKept(DecodeHalf<0>(bytes, classes), static_cast<__mmask32>(emitting), out);
    return StoreKept(DecodeHalf<1>(bytes, classes), static_cast<__mmask32>(emitting >> 32), out);
}

/// Converts what it can of the `size` bytes (at least one) at `p`, up to 64, that
/// `bytes` holds, with zeros past them; advances `p` and returns the end of the output.
/// Writes up to `kStepRoom` units.
TESSERA_TARGET_AVX512 inline wchar_t* ConvertStep(__m512i bytes, std::size_t size, const unsigned char*& p,
                                                  const unsigned char* end, wchar_t* out) {
    const ByteClasses classes = Classify(bytes);
    const __mmask64 faults = Faults(bytes, classes);
    if (faults == 0 && size == kStep) {
        const std::size_t cut = CutBytes<kStep>(p);
        out = Decode(bytes, classes, ~std::uint64_t{0} >> cut, out);
        p += kStep - cut;
        return out;
    }
    // Past the end of a short text, zeros read as ASCII, and a sequence the end cuts is a
    // fault.
    const __mmask64 present = size >= kStep ? ~std::uint64_t{0} : (std::uint64_t{1} << size) - 1;
    const __mmask64 convertible =
        (faults == 0 ? ~std::uint64_t{0} : BeforeFaultyCharacter(faults, classes.continuation)) & present;
    if (convertible == 0) return ConvertSequences(p, p + (size < kFaultStride ? size : kFaultStride), end, out);
    out = Decode(bytes, classes, convertible, out);
    p += _mm_popcnt_u64(convertible);
    return out;
}

}  // namespace

TESSERA_TARGET_AVX512 wchar_t* Utf8ToUtf16Avx512(const unsigned char*& in, const unsigned char* end, wchar_t* out,
                                                 const wchar_t* outEnd) {
    const unsigned char* p = in;  // in a register, not behind the reference
    while (static_cast<std::size_t>(end - p) >= kStep && outEnd - out >= kStepRoom) {
        const __m512i bytes = _mm512_loadu_si512(p);
        if (_mm512_movepi8_mask(bytes) == 0) {
            WidenAscii(p, out);
            p += kStep;
            out += kStep;
        } else {
            out = ConvertStep(bytes, kStep, p, end, out);
        }
    }
    // The last bytes, as zeros beyond the end.
    while (p != end && outEnd - out >= kStepRoom) {
        const auto size = static_cast<std::size_t>(end - p);
        const __m512i bytes = _mm512_maskz_loadu_epi8((std::uint64_t{1} << size) - 1, p);
        out = ConvertStep(bytes, size, p, end, out);
    }
    in = p;
    return out;
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX512
