// The loops that the table-driven code pages run to convert straight between UTF-8 and
// their bytes, and their steps: reading one UTF-8 character as the UTF-16 units the
// library's UTF-8 conversion makes of it, copying runs of ASCII a word at a time, and
// writing a UTF-16 unit's UTF-8 bytes from a table. Kept apart so that both kinds of table
// share one reading of UTF-8, the same as the unicode layer's.
#ifndef TESSERA_PLATFORM_POSIX_UTF8_ROUTES_H
#define TESSERA_PLATFORM_POSIX_UTF8_ROUTES_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "unicode/utf8_short_sequence.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {

/// One character of UTF-8 input: the UTF-16 units that UTF-8 to UTF-16 conversion gives
/// for it (a pair for a supplementary character, U+FFFD for a maximal invalid subpart) and
/// how many bytes it took.
struct Utf8Character {
    char16_t units[2];
    std::size_t unitCount;
    std::size_t length;
};

/// Reads the character at `p` (`p < end`) that is not ASCII.
inline Utf8Character ReadUtf8Character(const unsigned char* p, const unsigned char* end) {
    wchar_t unit = 0;
    if (const std::size_t length = unicode::DecodeShortSequence(p, end, unit)) {
        return {{static_cast<char16_t>(unit), 0}, 1, length};
    }
    const unicode::Utf8Sequence sequence = unicode::DecodeUtf8Sequence(p, end);
    if (sequence.codePoint < 0x10000) return {{static_cast<char16_t>(sequence.codePoint), 0}, 1, sequence.length};
    const char32_t offset = sequence.codePoint - 0x10000;
    return {{static_cast<char16_t>(0xD800 + (offset >> 10)), static_cast<char16_t>(0xDC00 + (offset & 0x3FF))},
            2,
            sequence.length};
}

/// Eight bytes from `p`, the first in the lowest bits.
inline std::uint64_t LoadLittleEndian64(const unsigned char* p) {
    std::uint64_t word = 0;
    for (int i = 7; i >= 0; --i) word = word << 8 | p[i];
    return word;
}

/// How many of the eight bytes of `word` (the first in the lowest bits) come before the
/// first one above 0x7F; 8 when there is none.
inline std::size_t LeadingAsciiBytes(std::uint64_t word) {
    const std::uint64_t high = word & 0x8080808080808080u;
    if (high == 0) return 8;
    // The lowest high bit alone is 1 << (8 * n + 7); the multiplication moves n to the top byte.
    const std::uint64_t lowest = (high & (~high + 1)) >> 7;
    return static_cast<std::size_t>((lowest * 0x0001020304050607u) >> 56);
}

/// Copies the ASCII bytes at the start of [p, end) to `out`, sixteen or eight at a time
/// while it can; returns how many it copied. `out` has room for all of [p, end).
inline std::size_t CopyAscii(const unsigned char* p, const unsigned char* end, unsigned char* out) {
    constexpr std::uint64_t kHighBits = 0x8080808080808080u;
    const unsigned char* const start = p;
    for (; end - p >= 16; p += 16, out += 16) {
        std::uint64_t words[2];
        std::memcpy(words, p, 16);
        if ((words[0] | words[1]) & kHighBits) break;
        std::memcpy(out, words, 16);
    }
    while (end - p >= 8) {
        std::memcpy(out, p, 8);  // more than the run, perhaps: the rest is written over later
        const std::size_t run = LeadingAsciiBytes(LoadLittleEndian64(p));
        p += run;
        out += run;
        if (run < 8) return static_cast<std::size_t>(p - start);
    }
    for (; p != end && *p < 0x80; ++p) *out++ = *p;
    return static_cast<std::size_t>(p - start);
}

/// The length of the ASCII run at the start of [p, end).
inline std::size_t AsciiRunLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char* const start = p;
    while (end - p >= 8) {
        const std::size_t run = LeadingAsciiBytes(LoadLittleEndian64(p));
        p += run;
        if (run < 8) return static_cast<std::size_t>(p - start);
    }
    for (; p != end && *p < 0x80; ++p) {
    }
    return static_cast<std::size_t>(p - start);
}

/// The length of the text at the start of [p, end) before eight ASCII bytes in a row, as
/// steps of eight bytes from `p` find them: a run that ASCII only interrupts briefly. It
/// ends at an ASCII byte or at `end`, where no character continues.
inline std::size_t TextRunLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char* const start = p;
    for (; end - p >= 8; p += 8) {
        if ((LoadLittleEndian64(p) & 0x8080808080808080u) == 0) return static_cast<std::size_t>(p - start);
    }
    return static_cast<std::size_t>(end - start);
}

/// The UTF-8 form of one UTF-16 unit that is no surrogate, laid out to be stored four
/// bytes at a time: 1 to 3 bytes, then their count.
struct Utf8Bytes {
    unsigned char bytes[3];
    unsigned char length;
};

inline Utf8Bytes Utf8BytesOf(char16_t unit) {
    char bytes[4] = {};
    const std::size_t length = unicode::EncodeUtf8(unit, bytes);
    return {{static_cast<unsigned char>(bytes[0]), static_cast<unsigned char>(bytes[1]),
             static_cast<unsigned char>(bytes[2])},
            static_cast<unsigned char>(length)};
}

/// Stores `utf8` at `out`, which has room for four bytes; returns the end of its bytes.
inline unsigned char* PutUtf8(unsigned char* out, const Utf8Bytes& utf8) {
    std::memcpy(out, &utf8, sizeof utf8);
    return out + utf8.length;
}

/// Cuts `result`, allocated for the most its conversion could write, to the `used` bytes
/// written, and gives back the memory when more than a tenth of it would stay unused.
inline void FitToSize(std::string& result, std::size_t used) {
    result.resize(used);
    if (result.capacity() - used > used / 10) result.shrink_to_fit();
}

/// UTF-16 units to UTF-8, as the library's UTF-16 to UTF-8 conversion writes them (an
/// unpaired surrogate as U+FFFD). Counted first, then allocated once at its size.
inline std::string UnitsToUtf8(const char16_t* units, std::size_t size) {
    const auto pairAt = [&](std::size_t i) {
        return unicode::IsHighSurrogate(units[i]) && i + 1 < size && unicode::IsLowSurrogate(units[i + 1]);
    };
    std::size_t length = 0;
    for (std::size_t i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (pairAt(i)) {
            length += 4;
            ++i;
        } else {
            length += unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        }
    }
    std::string result(length, '\0');
    auto* out = reinterpret_cast<unsigned char*>(&result[0]);
    for (std::size_t i = 0; i < size; ++i) {
        const char32_t unit = units[i];
        if (unit < 0x80) {
            *out++ = static_cast<unsigned char>(unit);
        } else if (unit < 0x800) {
            out[0] = static_cast<unsigned char>(0xC0 | unit >> 6);
            out[1] = static_cast<unsigned char>(0x80 | (unit & 0x3F));
            out += 2;
        } else if (pairAt(i)) {
            const char32_t codePoint = unicode::CodePointOfPair(unit, units[++i]);
            out[0] = static_cast<unsigned char>(0xF0 | codePoint >> 18);
            out[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 12) & 0x3F));
            out[2] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
            out[3] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
            out += 4;
        } else {
            const char32_t codePoint =
                unicode::IsHighSurrogate(unit) || unicode::IsLowSurrogate(unit) ? unicode::kReplacementCharacter : unit;
            out[0] = static_cast<unsigned char>(0xE0 | codePoint >> 12);
            out[1] = static_cast<unsigned char>(0x80 | ((codePoint >> 6) & 0x3F));
            out[2] = static_cast<unsigned char>(0x80 | (codePoint & 0x3F));
            out += 3;
        }
    }
    return result;
}

/// One step of converting UTF-8 text to a code page: the character at `p` (`p < end`), or
/// the run of ASCII there where `asciiIsAscii` (ASCII is then copied as it is).
/// `putUnit(out, unit)` writes what a UTF-16 unit encodes to and returns the end of it.
template <typename PutUnit>
void EncodeUtf8Step(const unsigned char*& p, const unsigned char* end, unsigned char*& out, bool asciiIsAscii,
                    PutUnit putUnit) {
    const auto continues = [](unsigned char byte) { return (byte & 0xC0) == 0x80; };
    const unsigned lead = *p;
    if (lead < 0x80) {
        if (asciiIsAscii) {
            const std::size_t run = CopyAscii(p, end, out);
            p += run;
            out += run;
        } else {
            out = putUnit(out, static_cast<char16_t>(lead));
            ++p;
        }
        return;
    }
    // Well-formed two- and three-byte sequences inline; the rest as the reader decides.
    if (lead >= 0xC2 && lead < 0xE0 && end - p >= 2 && continues(p[1])) {
        out = putUnit(out, static_cast<char16_t>((lead & 0x1F) << 6 | (p[1] & 0x3Fu)));
        p += 2;
        return;
    }
    if ((lead & 0xF0) == 0xE0 && end - p >= 3 && continues(p[1]) && continues(p[2])) {
        const unsigned unit = (lead & 0x0F) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        if (unit >= 0x800 && (unit & 0xF800) != 0xD800) {
            out = putUnit(out, static_cast<char16_t>(unit));
            p += 3;
            return;
        }
    }
    const Utf8Character character = ReadUtf8Character(p, end);
    out = putUnit(out, character.units[0]);
    if (character.unitCount == 2) out = putUnit(out, character.units[1]);
    p += character.length;
}

/// Converts UTF-8 text to a code page, a step at a time (see EncodeUtf8Step). `out` has
/// room for the most the text can encode to; returns the end of the output.
template <typename PutUnit>
unsigned char* EncodeUtf8Text(const unsigned char* p, const unsigned char* end, unsigned char* out, bool asciiIsAscii,
                              PutUnit putUnit) {
    while (p != end) EncodeUtf8Step(p, end, out, asciiIsAscii, putUnit);
    return out;
}

/// Two well-formed three-byte sequences at `p` (six bytes available), as UTF-16 units; false
/// when the six bytes are anything else.
inline bool ReadTwoThreeByteSequences(const unsigned char* p, unsigned& first, unsigned& second) {
    const auto continuations = [](const unsigned char* q) { return ((q[1] & 0xC0) == 0x80) & ((q[2] & 0xC0) == 0x80); };
    if (((p[0] & 0xF0) == 0xE0) & ((p[3] & 0xF0) == 0xE0) & continuations(p) & continuations(p + 3)) {
        first = (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
        second = (p[3] & 0x0Fu) << 12 | (p[4] & 0x3Fu) << 6 | (p[5] & 0x3Fu);
        const auto wellFormed = [](unsigned unit) { return (unit >= 0x800) & ((unit & 0xF800) != 0xD800); };
        return wellFormed(first) & wellFormed(second);
    }
    return false;
}

/// Converts text of a code page to UTF-8: `next(p)` gives the UTF-8 form of the sequence
/// at `p` and moves `p` past it. Where `asciiIsAscii`, bytes 00-7F are one character each,
/// themselves. The result is counted first, then allocated once at its size.
template <typename Next>
std::string DecodeTextToUtf8(const unsigned char* begin, const unsigned char* end, bool asciiIsAscii, Next next) {
    std::size_t length = 0;
    for (const unsigned char* p = begin; p != end;) {
        if (asciiIsAscii && *p < 0x80) {
            const std::size_t run = AsciiRunLength(p, end);
            length += run;
            p += run;
        } else {
            length += next(p).length;
        }
    }
    std::string result(length + 3, '\0');  // room for storing the last character four bytes wide
    auto* out = reinterpret_cast<unsigned char*>(&result[0]);
    for (const unsigned char* p = begin; p != end;) {
        if (asciiIsAscii && *p < 0x80) {
            const std::size_t run = CopyAscii(p, end, out);
            p += run;
            out += run;
        } else {
            out = PutUtf8(out, next(p));
        }
    }
    FitToSize(result, length);  // the three bytes over are more than a tenth of a short text
    return result;
}

}  // namespace tessera::platform::posix

#endif  // TESSERA_PLATFORM_POSIX_UTF8_ROUTES_H
