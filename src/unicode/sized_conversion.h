// The driver shared by the fast UTF-8 <-> UTF-16 conversions: the converter writes into a
// buffer on the stack a chunk at a time. A text whose conversion fits one chunk (up to
// 16 KB of output) becomes a result of exactly its size, with nothing counted or filled
// ahead; a longer one is appended chunk by chunk to a result reserved once from an
// estimate of its length, taken from windows spread across the text; a result of 32 MB or
// more fills whole 2 MB pages and asks for huge pages before its first write.
#ifndef TESSERA_UNICODE_SIZED_CONVERSION_H
#define TESSERA_UNICODE_SIZED_CONVERSION_H

#include <cstddef>

#include "unicode/huge_pages.h"

namespace tessera::unicode {

/// Bytes of output converted into the stack at a time.
inline constexpr std::size_t kChunkBytes = 16384;

/// Input elements counted, in `kSampleWindows` windows spread evenly across a text, to
/// estimate the length of its conversion.
inline constexpr std::size_t kSampleWindows = 16;
inline constexpr std::size_t kSampleWindow = 64;

/// The length of the conversion of [p, end) as `count(p, end)` gives it where the text is
/// short, otherwise scaled up from the windows.
template <typename Input, typename Count>
std::size_t EstimateLength(const Input* p, const Input* end, Count count) {
    const auto size = static_cast<std::size_t>(end - p);
    constexpr std::size_t kSampled = kSampleWindows * kSampleWindow;
    if (size <= 4 * kSampled) return count(p, end);
    const std::size_t stride = size / kSampleWindows;
    std::size_t sampled = 0;
    for (std::size_t i = 0; i < kSampleWindows; ++i) sampled += count(p + i * stride, p + i * stride + kSampleWindow);
    return sampled * (size / kSampled) + sampled * (size % kSampled) / kSampled;
}

/// Reserves room for `length` units in the empty `result`: in whole 2 MB pages, with huge
/// pages asked for, where the result is large enough to be mapped by itself.
template <typename Result>
void ReserveResult(Result& result, std::size_t length) {
    constexpr std::size_t kUnitBytes = sizeof(typename Result::value_type);
    result.reserve(WholeHugePagesCapacity(length, kUnitBytes));
    PreferHugePages(result.data(), result.capacity() * kUnitBytes);
}

/// Reserves room in the empty `result` for a conversion whose length is estimated at
/// `expected`, with a margin of a 32nd for an estimate that falls a little short.
template <typename Result>
void ReserveEstimatedResult(Result& result, std::size_t expected) {
    ReserveResult(result, expected + expected / 32);
}

/// Converts [p, end) into a new `Result`. `convert(p, end, out, outEnd)` converts whole
/// characters from `p` while it has room for one more block in [out, outEnd), advances
/// `p` and returns the end of its output. `count(p, end)` is the length of the conversion
/// of [p, end), exact at least for well-formed input.
///
/// The result's capacity is at most a tenth above its length (where the estimate is
/// exact: its margin of a 32nd and, from 32 MB, the rest of a 2 MB page), and no other
/// buffer on the heap is taken, except where the estimate fell short: then the result
/// moves once into one of the exact length.
template <typename Result, typename Input, typename Convert, typename Count>
Result ConvertIntoString(const Input* p, const Input* end, Convert convert, Count count) {
    using Output = typename Result::value_type;
    constexpr std::size_t kChunk = kChunkBytes / sizeof(Output);
    Output chunk[kChunk];
    auto size = static_cast<std::size_t>(convert(p, end, chunk, chunk + kChunk) - chunk);
    if (p == end) return Result(chunk, size);

    Result result;
    const std::size_t expected = size + EstimateLength(p, end, count);
    ReserveEstimatedResult(result, expected);
    result.append(chunk, size);
    while (p != end) {
        size = static_cast<std::size_t>(convert(p, end, chunk, chunk + kChunk) - chunk);
        if (result.capacity() - result.size() < size) {
            // A fresh string takes the length it is given (up to a whole 2 MB page),
            // where a growing one would double.
            Result longer;
            ReserveResult(longer, result.size() + size + count(p, end));
            longer.append(result);
            result.swap(longer);
        }
        result.append(chunk, size);
    }
    if (result.capacity() - result.size() > result.size() / 10) result.shrink_to_fit();
    return result;
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_SIZED_CONVERSION_H
