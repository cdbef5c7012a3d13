// The driver shared by the fast UTF-8 <-> UTF-16 conversions: reserves the result string
// once, from a count of the output or a bound, then lets the converter write straight
// into it.
#ifndef TESSERA_UNICODE_SIZED_CONVERSION_H
#define TESSERA_UNICODE_SIZED_CONVERSION_H

#include <algorithm>
#include <cstddef>

namespace tessera::unicode {

/// Elements kept free at the end of the result while converting: converters stop when
/// less room is left than a block of input can fill.
inline constexpr std::size_t kOutputSlack = 64;

/// Output elements zero-filled and converted into at a time.
inline constexpr std::size_t kOutputChunk = 2048;

/// Input elements looked at to guess whether a text is plain ASCII.
inline constexpr std::size_t kAsciiProbe = 1024;

/// Input elements whose output is counted to estimate the output of a longer text.
inline constexpr std::size_t kLengthSample = 4096;

/// Converts [p, end) into a new `Result`. `convert(p, end, out, outEnd)` converts whole
/// characters from `p` while it has room for one more block in [out, outEnd), advances
/// `p` and returns the end of its output. `count(p, end)` is the length of the
/// conversion of [p, end), exact at least for well-formed input; `guess(p, end)` is the
/// length to allocate for a text that is not plain ASCII (a count, or a bound where
/// shrinking the result costs less than counting); `bound(p, end)` is a length the
/// conversion never exceeds.
template <typename Result, typename Input, typename Convert, typename Count, typename Guess, typename Bound>
Result ConvertIntoString(const Input* p, const Input* end, Convert convert, Count count, Guess guess, Bound bound) {
    Result result;
    if (p == end) return result;
    const auto size = static_cast<std::size_t>(end - p);
    const std::size_t probe = std::min(size, kAsciiProbe);
    // A text that begins with one output element per input element is most likely ASCII
    // throughout, and then its own size, plus a little for the odd other character, is
    // enough for its conversion.
    const std::size_t expected = count(p, p + probe) == probe ? size + size / 32 : guess(p, end);
    result.reserve(expected + kOutputSlack);
    // The result grows a chunk at a time within the reserved space, so that its zero
    // fill is still in the cache when the converter overwrites it.
    std::size_t written = 0;
    while (p != end) {
        if (result.capacity() - written < kOutputSlack) {
            result.reserve(written + bound(p, end) + kOutputSlack);  // the guess was short
        }
        result.resize(std::min(result.capacity(), written + kOutputChunk));
        written =
            static_cast<std::size_t>(convert(p, end, &result[written], result.data() + result.size()) - result.data());
    }
    result.resize(written);
    if (result.capacity() - written > written / 8 + kOutputSlack) result.shrink_to_fit();
    return result;
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_SIZED_CONVERSION_H
