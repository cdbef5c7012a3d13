// The driver shared by the fast UTF-8 <-> UTF-16 conversions: converts the input a chunk
// at a time into a buffer on the stack and appends each chunk to the result, which is
// sized once ahead from the first chunk and a count of the rest.
#ifndef TESSERA_ENCODING_CHUNKED_CONVERSION_H
#define TESSERA_ENCODING_CHUNKED_CONVERSION_H

#include <cstddef>

namespace tessera::encoding {

/// Input elements converted per chunk.
inline constexpr std::size_t kConversionChunk = 2048;

/// Converts [p, end) into a `Result` string. `convertRun(p, limit, buffer)` converts
/// from `p` up to at least `limit` (finishing the character that straddles it), advances
/// `p` and returns the end of its output; converting n elements writes at most
/// `kOutputPerInput * n` characters. `countRest(p, end)` gives the length of the rest's
/// conversion, and `boundRest(p, end)` a length it never exceeds.
template <typename Result, std::size_t kOutputPerInput, typename Input, typename ConvertRun,
          typename CountRest, typename BoundRest>
Result ConvertInChunks(const Input* p, const Input* end, ConvertRun convertRun, CountRest countRest,
                       BoundRest boundRest) {
    typename Result::value_type buffer[kOutputPerInput * (kConversionChunk + 4)];
    Result result;
    bool sized = false;
    while (p != end) {
        const Input* const chunkStart = p;
        const Input* const limit =
            static_cast<std::size_t>(end - p) > kConversionChunk ? p + kConversionChunk : end;
        const std::size_t length = static_cast<std::size_t>(convertRun(p, limit, buffer) - buffer);
        if (!sized && p != end) {
            // A first chunk of one character per element is most likely plain ASCII, and
            // then so is the rest: its length is its own size, not worth counting.
            const bool oneToOne = length == static_cast<std::size_t>(p - chunkStart);
            result.reserve(length + (oneToOne ? static_cast<std::size_t>(end - p) : countRest(p, end)));
            sized = true;
        } else if (sized && result.capacity() - result.size() < length) {
            result.reserve(result.size() + length + boundRest(p, end));
        }
        result.append(buffer, length);
    }
    if (result.capacity() - result.size() > result.size() / 8 + 64) result.shrink_to_fit();
    return result;
}

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_CHUNKED_CONVERSION_H
