// The block loops that every kernel runs, written once: 16 elements a step for ASCII and
// for the characters a kernel's blocks take, one character at a time for the rest, with
// the reference code for four-byte and invalid sequences and for surrogates. A kernel
// supplies its block steps as a struct of static functions and instantiates the loops
// inside a function compiled for its instruction set.
#ifndef TESSERA_UNICODE_KERNELS_BLOCK_LOOPS_H
#define TESSERA_UNICODE_KERNELS_BLOCK_LOOPS_H

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "unicode/kernels/targets.h"
#include "unicode/utf8_short_sequence.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::unicode {

/// Elements per block.
inline constexpr std::size_t kAsciiBlock = 16;

/// Bytes a UTF-8 block step reads: the block and two more for a sequence it starts.
inline constexpr std::size_t kUtf8BlockRead = kAsciiBlock + 2;

/// Units a UTF-8 block step may write after `out`, used or not.
inline constexpr std::size_t kUtf8BlockRoom = kAsciiBlock;

/// Bytes a UTF-16 block step may write after `out`: 48, and 4 that a last store spills.
inline constexpr std::size_t kBmpBlockRoom = 3 * kAsciiBlock + 4;

/// Converts the UTF-8 characters that begin in [p, stop); returns the end of the output.
inline wchar_t* ConvertSequences(const unsigned char*& p, const unsigned char* stop, const unsigned char* end,
                                 wchar_t* out) {
    while (p < stop) {
        if (*p < 0x80) {
            *out++ = static_cast<wchar_t>(*p++);
        } else if (const std::size_t length = DecodeShortSequence(p, end, *out)) {
            ++out;
            p += length;
        } else {
            const Utf8Sequence sequence = DecodeUtf8Sequence(p, end);
            out += EncodeUtf16(sequence.codePoint, out);
            p += sequence.length;
        }
    }
    return out;
}

/// Converts the UTF-16 characters that begin in [p, stop); returns the end of the output.
inline char* ConvertUnits(const wchar_t*& p, const wchar_t* stop, const wchar_t* end, char* out) {
    while (p < stop) {
        const auto unit = static_cast<std::uint32_t>(*p);
        if (unit < 0x80) {
            *out++ = static_cast<char>(unit);
            ++p;
        } else if (unit < 0x800) {
            out[0] = static_cast<char>(0xC0 | (unit >> 6));
            out[1] = static_cast<char>(0x80 | (unit & 0x3F));
            out += 2;
            ++p;
        } else if (unit <= 0xFFFF && (unit < 0xD800 || unit > 0xDFFF)) {
            out[0] = static_cast<char>(0xE0 | (unit >> 12));
            out[1] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
            out[2] = static_cast<char>(0x80 | (unit & 0x3F));
            out += 3;
            ++p;
        } else {
            const Utf16Sequence sequence = DecodeUtf16Sequence(p, end);
            out += EncodeUtf8(sequence.codePoint, out);
            p += sequence.length;
        }
    }
    return out;
}

/// UTF-8 to UTF-16: converts whole characters from p while a block still fits before
/// outEnd, with the block steps of `Blocks`:
///   WidenAscii(in, out): 16 ASCII bytes, or false;
///   WidenAsciiRun(in, size, out): more ASCII after that, as far as it goes;
///   DecodeRun(in, size, out): a run of one kind of sequence, or nothing (returns out);
///   Decode(in, out): one block of sequences, or nullptr.
template <typename Blocks>
TESSERA_ALWAYS_INLINE inline wchar_t* ConvertUtf8Blocks(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                                        const wchar_t* outEnd) {
    // Sixteen bytes and a sequence straddling their end give at most 19 units, more
    // than the block decoder's room.
    constexpr std::ptrdiff_t kBlockRoom = kAsciiBlock + 3;
    static_assert(kUtf8BlockRoom <= kBlockRoom);
    while (p != end && outEnd - out >= kBlockRoom) {
        if (static_cast<std::size_t>(end - p) < kUtf8BlockRead) {
            out = ConvertSequences(p, std::min(end, p + kAsciiBlock), end, out);
        } else if (Blocks::WidenAscii(p, out)) {
            p += kAsciiBlock;
            out += kAsciiBlock;
            // Where there is one ASCII block, more tend to follow.
            out = Blocks::WidenAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
        } else if (wchar_t* const runEnd = Blocks::DecodeRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
                   runEnd != out) {
            out = runEnd;
        } else if (wchar_t* const blockEnd = Blocks::Decode(p, out)) {
            out = blockEnd;
        } else {
            out = ConvertSequences(p, p + kAsciiBlock, end, out);
        }
    }
    return out;
}

/// UTF-16 to UTF-8: converts whole characters from p while a block still fits before
/// outEnd, with the block steps of `Blocks`:
///   Encode(in, out): 16 BMP units, returning the end of the output (16 bytes on exactly
///     for plain ASCII), or nullptr;
///   NarrowAsciiRun(in, size, out): the ASCII units that follow, as far as they go.
template <typename Blocks>
TESSERA_ALWAYS_INLINE inline char* ConvertUtf16Blocks(const wchar_t*& p, const wchar_t* end, char* out,
                                                      const char* outEnd) {
    // Sixteen units give at most 48 bytes, one more if a pair straddles their end; the
    // block encoder may write 4 more.
    constexpr auto kBlockRoom = static_cast<std::ptrdiff_t>(kBmpBlockRoom + 1);
    while (p != end && outEnd - out >= kBlockRoom) {
        if (static_cast<std::size_t>(end - p) < kAsciiBlock) {
            out = ConvertUnits(p, end, end, out);
        } else if (char* const blockEnd = Blocks::Encode(p, out)) {
            p += kAsciiBlock;
            const bool ascii = blockEnd - out == static_cast<std::ptrdiff_t>(kAsciiBlock);
            out = blockEnd;
            if (ascii) {
                // Where there is one ASCII block, more tend to follow.
                const std::size_t run = Blocks::NarrowAsciiRun(p, std::min<std::size_t>(end - p, outEnd - out), out);
                p += run;
                out += run;
            }
        } else {
            out = ConvertUnits(p, p + kAsciiBlock, end, out);
        }
    }
    return out;
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_KERNELS_BLOCK_LOOPS_H
