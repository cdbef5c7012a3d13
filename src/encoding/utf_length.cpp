#include "encoding/utf_length.h"

#include <cstdint>

#include "encoding/ascii_block.h"

namespace tessera::encoding {
namespace {

bool IsHighSurrogate(std::uint32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(std::uint32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A well-formed sequence gives one unit per byte that does not continue a sequence, and
// a second unit (the low surrogate) for each four-byte lead.
std::size_t ScalarUtf16LengthOfUtf8(const unsigned char* p, const unsigned char* end) {
    std::size_t units = 0;
    for (; p != end; ++p) {
        units += (*p & 0xC0) != 0x80;
        units += *p >= 0xF0;
    }
    return units;
}

// One byte below U+0080, two below U+0800, three for the rest of the BMP, for a lone
// surrogate and for a unit above 0xFFFF (all become U+FFFD), and four for a pair.
std::size_t ScalarUtf8LengthOfUtf16(const wchar_t* p, const wchar_t* end) {
    std::size_t bytes = 0;
    for (; p != end; ++p) {
        const auto unit = static_cast<std::uint32_t>(*p);
        bytes += 1 + (unit >= 0x80) + (unit >= 0x800);
        if (IsHighSurrogate(unit) && p + 1 != end && IsLowSurrogate(static_cast<std::uint32_t>(p[1]))) {
            bytes -= 2;  // the pair counts 3 + 3 above, and is 4 bytes
        }
    }
    return bytes;
}

#if TESSERA_ENCODING_SSE2

std::uint64_t SumOfBytes(__m128i flags) {
    const __m128i sums = _mm_sad_epu8(flags, _mm_setzero_si128());
    return static_cast<std::uint64_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::uint64_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}

std::size_t Utf16LengthOfUtf8Blocks(const unsigned char*& p, const unsigned char* end) {
    const __m128i one = _mm_set1_epi8(1);
    const __m128i continuationLimit = _mm_set1_epi8(-64);  // 0xC0
    const __m128i fourByteLeadLimit = _mm_set1_epi8(-17);  // 0xEF
    const __m128i zero = _mm_setzero_si128();
    std::size_t units = 0;
    for (; end - p >= 16; p += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        // As signed bytes, 80..BF lie below -64 and F0..FF between -17 and 0.
        const __m128i continuation = _mm_cmplt_epi8(bytes, continuationLimit);
        const __m128i fourByteLead =
            _mm_and_si128(_mm_cmpgt_epi8(bytes, fourByteLeadLimit), _mm_cmplt_epi8(bytes, zero));
        units += SumOfBytes(_mm_add_epi8(_mm_andnot_si128(continuation, one), _mm_and_si128(fourByteLead, one)));
    }
    return units;
}

std::size_t Utf8LengthOfUtf16Blocks(const wchar_t*& p, const wchar_t* end) {
    constexpr std::size_t kUnitsPerVector = 16 / sizeof(wchar_t);
    const __m128i zero = _mm_setzero_si128();
    std::size_t bytes = 0;
    for (; static_cast<std::size_t>(end - p) >= kUnitsPerVector + 1; p += kUnitsPerVector) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i below80;
        __m128i below800;
        __m128i surrogate;
        if constexpr (sizeof(wchar_t) == 2) {
            below80 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7F), units), zero);
            below800 = _mm_cmpeq_epi16(_mm_andnot_si128(_mm_set1_epi16(0x7FF), units), zero);
            surrogate = _mm_cmpeq_epi16(_mm_and_si128(units, _mm_set1_epi16(-0x800)),
                                        _mm_set1_epi16(-0x2800));  // F800, D800
        } else {
            below80 = _mm_cmpeq_epi32(_mm_andnot_si128(_mm_set1_epi32(0x7F), units), zero);
            below800 = _mm_cmpeq_epi32(_mm_andnot_si128(_mm_set1_epi32(0x7FF), units), zero);
            surrogate = _mm_cmpeq_epi32(_mm_andnot_si128(_mm_set1_epi32(0x7FF), units),
                                        _mm_set1_epi32(0xD800));
        }
        if (_mm_movemask_epi8(surrogate) != 0) {
            // Rare: count this vector one unit at a time. The pair test may look at the
            // unit after the vector, which the loop condition keeps inside the text.
            bytes += ScalarUtf8LengthOfUtf16(p, p + kUnitsPerVector);
            const auto last = static_cast<std::uint32_t>(p[kUnitsPerVector - 1]);
            if (IsHighSurrogate(last) && IsLowSurrogate(static_cast<std::uint32_t>(p[kUnitsPerVector]))) {
                bytes -= 2;
            }
            continue;
        }
        // Three bytes per unit, one less for each unit below 0x800, one less again
        // below 0x80; the comparison masks are 0xFF bytes, summed and divided out.
        const std::uint64_t maskBytes = SumOfBytes(_mm_add_epi8(_mm_and_si128(below80, _mm_set1_epi8(1)),
                                                                _mm_and_si128(below800, _mm_set1_epi8(1))));
        bytes += 3 * kUnitsPerVector - static_cast<std::size_t>(maskBytes / sizeof(wchar_t));
    }
    return bytes;
}

#endif

}  // namespace

std::size_t Utf16LengthOfUtf8(const unsigned char* begin, const unsigned char* end) {
    std::size_t units = 0;
#if TESSERA_ENCODING_SSE2
    units += Utf16LengthOfUtf8Blocks(begin, end);
#endif
    return units + ScalarUtf16LengthOfUtf8(begin, end);
}

std::size_t Utf8LengthOfUtf16(const wchar_t* begin, const wchar_t* end) {
    std::size_t bytes = 0;
#if TESSERA_ENCODING_SSE2
    bytes += Utf8LengthOfUtf16Blocks(begin, end);
#endif
    return bytes + ScalarUtf8LengthOfUtf16(begin, end);
}

}  // namespace tessera::encoding
