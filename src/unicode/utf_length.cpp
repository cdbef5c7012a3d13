// Counting the output of a conversion: scalar loops that define the counts, and SSE2 loops
// that count 16 elements a step where the build targets SSE2. UTF-8 is counted 32 bytes a
// step with AVX2 where the processor has it (chosen when the library is loaded): the
// count reads the whole text ahead of its conversion.
#include "unicode/utf_length.h"

#include <algorithm>
#include <cstdint>

#include "unicode/cpu_features.h"
#include "unicode/kernels/targets.h"
#include "unicode/sse2_support.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::unicode {
namespace {

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

#if TESSERA_SSE2

// Byte lanes that each count one match per vector, summed before they can wrap.
constexpr std::size_t kVectorsPerRound = 255;

std::size_t SumOfBytes(__m128i counts) {
    const __m128i sums = _mm_sad_epu8(counts, _mm_setzero_si128());
    return static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
           static_cast<std::size_t>(_mm_cvtsi128_si32(_mm_srli_si128(sums, 8)));
}

std::size_t Utf16LengthOfUtf8Blocks(const unsigned char*& p, const unsigned char* end) {
    const __m128i continuationLimit = _mm_set1_epi8(-64);  // 0xC0
    const __m128i fourByteLeadLimit = _mm_set1_epi8(-17);  // 0xEF
    const __m128i zero = _mm_setzero_si128();
    std::size_t units = 0;
    while (end - p >= 16) {
        const std::size_t vectors = std::min(static_cast<std::size_t>(end - p) / 16, kVectorsPerRound);
        __m128i continuations = zero;
        __m128i fourByteLeads = zero;
        for (std::size_t i = 0; i < vectors; ++i, p += 16) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            // As signed bytes, 80..BF lie below -64 and F0..FF between -17 and 0; the
            // masks are -1 where they match.
            continuations = _mm_sub_epi8(continuations, _mm_cmplt_epi8(bytes, continuationLimit));
            fourByteLeads = _mm_sub_epi8(
                fourByteLeads, _mm_and_si128(_mm_cmpgt_epi8(bytes, fourByteLeadLimit), _mm_cmplt_epi8(bytes, zero)));
        }
        units += 16 * vectors - SumOfBytes(continuations) + SumOfBytes(fourByteLeads);
    }
    return units;
}

#if TESSERA_UNICODE_AVX2

TESSERA_TARGET_AVX2 std::size_t SumOfBytesAvx2(__m256i counts) {
    const __m256i sums = _mm256_sad_epu8(counts, _mm256_setzero_si256());  // four 64-bit sums
    const __m128i pairs = _mm_add_epi64(_mm256_castsi256_si128(sums), _mm256_extracti128_si256(sums, 1));
    return static_cast<std::size_t>(_mm_cvtsi128_si64(pairs)) +
           static_cast<std::size_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(pairs, pairs)));
}

// `Utf16LengthOfUtf8Blocks` 32 bytes a step.
TESSERA_TARGET_AVX2 std::size_t Utf16LengthOfUtf8BlocksAvx2(const unsigned char*& p, const unsigned char* end) {
    const __m256i continuationLimit = _mm256_set1_epi8(-64);  // 0xC0
    const __m256i fourByteLeadLimit = _mm256_set1_epi8(static_cast<char>(0xF0));
    const __m256i zero = _mm256_setzero_si256();
    std::size_t units = 0;
    while (end - p >= 32) {
        const std::size_t vectors = std::min(static_cast<std::size_t>(end - p) / 32, kVectorsPerRound);
        __m256i continuations = zero;
        __m256i fourByteLeads = zero;
        for (std::size_t i = 0; i < vectors; ++i, p += 32) {
            const __m256i bytes = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
            continuations = _mm256_sub_epi8(continuations, _mm256_cmpgt_epi8(continuationLimit, bytes));
            fourByteLeads = _mm256_sub_epi8(
                fourByteLeads, _mm256_cmpeq_epi8(_mm256_max_epu8(bytes, fourByteLeadLimit), bytes));  // F0..FF
        }
        units += 32 * vectors - SumOfBytesAvx2(continuations) + SumOfBytesAvx2(fourByteLeads);
    }
    return units;
}

const bool g_countWithAvx2 = (DetectCpuFeatures() & kAvx2) != 0;  // false until the library is loaded

#endif

// Sixteen units, from one to four vectors.
constexpr std::size_t kUnitsPerVector = 16 / sizeof(wchar_t);
constexpr std::size_t kVectorsPerGroup = 16 / kUnitsPerVector;

__m128i UnitsAbove(__m128i units, int limit) {
    if constexpr (sizeof(wchar_t) == 2) return _mm_andnot_si128(_mm_set1_epi16(static_cast<short>(limit)), units);
    return _mm_andnot_si128(_mm_set1_epi32(limit), units);
}

__m128i EqualUnits(__m128i units, int value) {
    if constexpr (sizeof(wchar_t) == 2) return _mm_cmpeq_epi16(units, _mm_set1_epi16(static_cast<short>(value)));
    return _mm_cmpeq_epi32(units, _mm_set1_epi32(value));
}

// Adds one to each lane of `counts` where `mask` is all ones.
__m128i CountMatches(__m128i counts, __m128i mask) {
    if constexpr (sizeof(wchar_t) == 2) return _mm_sub_epi16(counts, mask);
    return _mm_sub_epi32(counts, mask);
}

std::size_t SumOfLanes(__m128i counts) {
    if constexpr (sizeof(wchar_t) == 2) counts = _mm_madd_epi16(counts, _mm_set1_epi16(1));
    alignas(16) std::int32_t lanes[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), counts);
    return static_cast<std::size_t>(lanes[0]) + static_cast<std::size_t>(lanes[1]) +
           static_cast<std::size_t>(lanes[2]) + static_cast<std::size_t>(lanes[3]);
}

std::size_t Utf8LengthOfUtf16Blocks(const wchar_t*& p, const wchar_t* end) {
    const __m128i zero = _mm_setzero_si128();
    std::size_t bytes = 0;
    // The pair test may look at the unit after a group, so one must follow it.
    while (static_cast<std::size_t>(end - p) > 16) {
        // Lanes count units below 0x80 and below 0x800, at most 2 per group.
        __m128i below80 = zero;
        __m128i below800 = zero;
        for (std::size_t group = 0; group < 4096 && static_cast<std::size_t>(end - p) > 16; ++group, p += 16) {
            __m128i units[kVectorsPerGroup];
            __m128i all = zero;
            for (std::size_t i = 0; i < kVectorsPerGroup; ++i) {
                units[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i * kUnitsPerVector));
                all = _mm_or_si128(all, units[i]);
            }
            if (_mm_movemask_epi8(_mm_cmpeq_epi8(UnitsAbove(all, 0x7F), zero)) == 0xFFFF) {
                bytes += 16;
                continue;
            }
            __m128i surrogates = zero;
            for (std::size_t i = 0; i < kVectorsPerGroup; ++i) {
                const __m128i above7FF = UnitsAbove(units[i], 0x7FF);
                below80 = CountMatches(below80, EqualUnits(UnitsAbove(units[i], 0x7F), 0));
                below800 = CountMatches(below800, EqualUnits(above7FF, 0));
                surrogates = _mm_or_si128(surrogates, EqualUnits(above7FF, 0xD800));
            }
            bytes += 3 * 16;
            if (_mm_movemask_epi8(surrogates) != 0) {
                for (std::size_t i = 0; i < 16; ++i) {
                    if (IsHighSurrogate(static_cast<std::uint32_t>(p[i])) &&
                        IsLowSurrogate(static_cast<std::uint32_t>(p[i + 1]))) {
                        bytes -= 2;  // the pair counts 3 + 3 above, and is 4 bytes
                    }
                }
            }
        }
        bytes -= SumOfLanes(below80) + SumOfLanes(below800);
    }
    return bytes;
}

#endif

}  // namespace

std::size_t Utf16LengthOfUtf8(const unsigned char* begin, const unsigned char* end) {
    std::size_t units = 0;
#if TESSERA_UNICODE_AVX2
    if (g_countWithAvx2) units += Utf16LengthOfUtf8BlocksAvx2(begin, end);
#endif
#if TESSERA_SSE2
    units += Utf16LengthOfUtf8Blocks(begin, end);
#endif
    return units + ScalarUtf16LengthOfUtf8(begin, end);
}

std::size_t Utf8LengthOfUtf16(const wchar_t* begin, const wchar_t* end) {
    std::size_t bytes = 0;
#if TESSERA_SSE2
    bytes += Utf8LengthOfUtf16Blocks(begin, end);
#endif
    return bytes + ScalarUtf8LengthOfUtf16(begin, end);
}

}  // namespace tessera::unicode
