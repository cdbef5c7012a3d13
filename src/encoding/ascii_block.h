// Blocks of 16 ASCII characters, tested and moved in one step: with SSE2 where the
// target has it, else with 8-byte words; runs of them with AVX2 where the CPU has it.
#ifndef TESSERA_ENCODING_ASCII_BLOCK_H
#define TESSERA_ENCODING_ASCII_BLOCK_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "encoding/simd_targets.h"

namespace tessera::encoding {

/// Characters per block.
inline constexpr std::size_t kAsciiBlock = 16;

#if TESSERA_SSE2

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

#endif

/// If the 16 bytes at `in` are all ASCII, writes them to `out` as 16 UTF-16 units and
/// returns true; otherwise writes nothing and returns false.
inline bool WidenAsciiBlock(const unsigned char* in, wchar_t* out) {
#if TESSERA_SSE2
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    if (_mm_movemask_epi8(bytes) != 0) return false;
    WidenAsciiVector(bytes, out);
    return true;
#else
    std::uint64_t first;
    std::uint64_t second;
    std::memcpy(&first, in, 8);
    std::memcpy(&second, in + 8, 8);
    if (((first | second) & 0x8080808080808080u) != 0) return false;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) out[i] = static_cast<wchar_t>(in[i]);
    return true;
#endif
}

/// If the 16 units at `in` are all below 0x80, writes them to `out` as 16 bytes and
/// returns true; otherwise writes nothing and returns false.
inline bool NarrowAsciiBlock(const wchar_t* in, char* out) {
#if TESSERA_SSE2
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
#else
    std::uint32_t all = 0;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) all |= static_cast<std::uint32_t>(in[i]);
    if (all >= 0x80) return false;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) out[i] = static_cast<char>(in[i]);
    return true;
#endif
}

/// Widens the ASCII bytes at the start of [in, in + size) 32 at a time, as long as
/// whole runs of 32 last; returns how many it wrote to `out`.
inline std::size_t WidenAsciiRun(const unsigned char* in, std::size_t size, wchar_t* out) {
    std::size_t done = 0;
#if TESSERA_SSE2
    for (; size - done >= 2 * kAsciiBlock; done += 2 * kAsciiBlock) {
        const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done));
        const __m128i second = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + done + kAsciiBlock));
        if (_mm_movemask_epi8(_mm_or_si128(first, second)) != 0) break;
        WidenAsciiVector(first, out + done);
        WidenAsciiVector(second, out + done + kAsciiBlock);
    }
#else
    while (size - done >= kAsciiBlock && WidenAsciiBlock(in + done, out + done)) done += kAsciiBlock;
#endif
    return done;
}

/// Narrows the units below 0x80 at the start of [in, in + size) 32 at a time, as long
/// as whole runs of 32 last; returns how many it wrote to `out`.
inline std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
    std::size_t done = 0;
#if TESSERA_SSE2
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
#else
    while (size - done >= kAsciiBlock && NarrowAsciiBlock(in + done, out + done)) done += kAsciiBlock;
#endif
    return done;
}

#if TESSERA_ENCODING_AVX2

/// Writes 16 ASCII bytes as 16 UTF-16 units.
TESSERA_TARGET_AVX2 inline void WidenAsciiVectorAvx2(__m128i bytes, wchar_t* out) {
    auto* target = reinterpret_cast<__m256i*>(out);
    if constexpr (sizeof(wchar_t) == 2) {
        _mm256_storeu_si256(target, _mm256_cvtepu8_epi16(bytes));
    } else {
        _mm256_storeu_si256(target, _mm256_cvtepu8_epi32(bytes));
        _mm256_storeu_si256(target + 1, _mm256_cvtepu8_epi32(_mm_srli_si128(bytes, 8)));
    }
}

/// `WidenAsciiBlock` with AVX2.
TESSERA_TARGET_AVX2 inline bool WidenAsciiBlockAvx2(const unsigned char* in, wchar_t* out) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    if (_mm_movemask_epi8(bytes) != 0) return false;
    WidenAsciiVectorAvx2(bytes, out);
    return true;
}

/// Loads 16 units into 16 16-bit lanes, in order; with 32-bit units, each must be at
/// most 0xFFFF. Sets `all` to the units OR-ed together.
TESSERA_TARGET_AVX2 inline __m256i LoadUnitsAvx2(const wchar_t* in, __m256i& all) {
    const auto* source = reinterpret_cast<const __m256i*>(in);
    if constexpr (sizeof(wchar_t) == 2) {
        all = _mm256_loadu_si256(source);
        return all;
    } else {
        const __m256i first = _mm256_loadu_si256(source);
        const __m256i second = _mm256_loadu_si256(source + 1);
        all = _mm256_or_si256(first, second);
        // The pack interleaves the 128-bit halves of its operands; the permute restores the order.
        return _mm256_permute4x64_epi64(_mm256_packus_epi32(first, second), 0xD8);
    }
}

/// Whether all bits of `units` outside `allowed` (per 16- or 32-bit element) are clear.
TESSERA_TARGET_AVX2 inline bool OnlyBitsAvx2(__m256i units, int allowed) {
    const __m256i outside =
        sizeof(wchar_t) == 2 ? _mm256_set1_epi16(static_cast<short>(~allowed)) : _mm256_set1_epi32(~allowed);
    return _mm256_testz_si256(units, outside) != 0;
}

/// `NarrowAsciiRun` with AVX2.
TESSERA_TARGET_AVX2 inline std::size_t NarrowAsciiRunAvx2(const wchar_t* in, std::size_t size, char* out) {
    std::size_t done = 0;
    for (; size - done >= 2 * kAsciiBlock; done += 2 * kAsciiBlock) {
        __m256i firstAll;
        __m256i secondAll;
        const __m256i first = LoadUnitsAvx2(in + done, firstAll);
        const __m256i second = LoadUnitsAvx2(in + done + kAsciiBlock, secondAll);
        if (!OnlyBitsAvx2(_mm256_or_si256(firstAll, secondAll), 0x7F)) break;
        const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(first, second), 0xD8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + done), bytes);
    }
    return done;
}

#endif

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_ASCII_BLOCK_H
