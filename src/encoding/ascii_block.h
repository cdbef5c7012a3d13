// Blocks of 16 ASCII characters, tested and moved in one step: with SSE2 where the
// target has it, else with 8-byte words.
#ifndef TESSERA_ENCODING_ASCII_BLOCK_H
#define TESSERA_ENCODING_ASCII_BLOCK_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TESSERA_ENCODING_SSE2 1
#include <emmintrin.h>
#else
#define TESSERA_ENCODING_SSE2 0
#endif

namespace tessera::encoding {

/// Characters per block.
inline constexpr std::size_t kAsciiBlock = 16;

/// If the 16 bytes at `in` are all ASCII, writes them to `out` as 16 UTF-16 units and
/// returns true; otherwise writes nothing and returns false.
inline bool WidenAsciiBlock(const unsigned char* in, wchar_t* out) {
#if TESSERA_ENCODING_SSE2
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    if (_mm_movemask_epi8(bytes) != 0) return false;
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
#if TESSERA_ENCODING_SSE2
    const auto* source = reinterpret_cast<const __m128i*>(in);
    const __m128i zero = _mm_setzero_si128();
    __m128i packed;
    if constexpr (sizeof(wchar_t) == 2) {
        const __m128i first = _mm_loadu_si128(source);
        const __m128i second = _mm_loadu_si128(source + 1);
        const __m128i nonAscii = _mm_andnot_si128(_mm_set1_epi16(0x7F), _mm_or_si128(first, second));
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(nonAscii, zero)) != 0xFFFF) return false;
        packed = _mm_packus_epi16(first, second);
    } else {
        const __m128i u0 = _mm_loadu_si128(source);
        const __m128i u1 = _mm_loadu_si128(source + 1);
        const __m128i u2 = _mm_loadu_si128(source + 2);
        const __m128i u3 = _mm_loadu_si128(source + 3);
        const __m128i all = _mm_or_si128(_mm_or_si128(u0, u1), _mm_or_si128(u2, u3));
        const __m128i nonAscii = _mm_andnot_si128(_mm_set1_epi32(0x7F), all);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(nonAscii, zero)) != 0xFFFF) return false;
        packed = _mm_packus_epi16(_mm_packs_epi32(u0, u1), _mm_packs_epi32(u2, u3));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), packed);
    return true;
#else
    std::uint32_t all = 0;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) all |= static_cast<std::uint32_t>(in[i]);
    if (all >= 0x80) return false;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) out[i] = static_cast<char>(in[i]);
    return true;
#endif
}

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_ASCII_BLOCK_H
