// ASCII byte tests and comparisons for the URI code: the default ("C") locale's
// isalpha and tolower, which the library never changes, without a locale lookup.
#ifndef TESSERA_URI_ASCII_H
#define TESSERA_URI_ASCII_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace tessera::uri {

/// Whether c is 'A'-'Z' or 'a'-'z'.
inline bool IsAsciiLetter(char c) {
    return static_cast<unsigned char>((static_cast<unsigned char>(c) | 0x20u) - 'a') < 26u;
}

/// c with 'A'-'Z' turned into 'a'-'z'.
inline char AsciiLower(char c) { return static_cast<char>(c + ((static_cast<unsigned char>(c - 'A') < 26u) ? 32 : 0)); }

/// Applies AsciiLower to the n bytes at text, eight at a time where it can.
inline void AsciiLowerInPlace(char* text, std::size_t n) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text + i, 8);
        // The high bit of each byte of upper marks 'A'-'Z': at least 'A', at most 'Z', ASCII.
        const std::uint64_t low7 = word & (0x7F * kOnes);
        const std::uint64_t atLeastA = low7 + (0x80 - 'A') * kOnes;
        const std::uint64_t aboveZ = low7 + (0x80 - 'Z' - 1) * kOnes;
        const std::uint64_t upper = atLeastA & ~aboveZ & ~word & (0x80 * kOnes);
        word |= upper >> 2;
        std::memcpy(text + i, &word, 8);
    }
    for (; i < n; ++i) text[i] = AsciiLower(text[i]);
}

/// Whether text is exactly the literal.
template <std::size_t N>
bool Equals(std::string_view text, const char (&literal)[N]) {
    return text.size() == N - 1 && std::memcmp(text.data(), literal, N - 1) == 0;
}

/// Whether the n bytes at text hold c: short texts (most components) byte by byte, which
/// costs less than a call, longer ones with memchr.
inline bool ContainsByte(const char* text, std::size_t n, char c) {
    if (n > 16) return std::memchr(text, c, n) != nullptr;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == c) return true;
    }
    return false;
}

/// Whether text holds c.
inline bool ContainsByte(std::string_view text, char c) { return ContainsByte(text.data(), text.size(), c); }

/// Whether text holds a ':' and another after it: URI::IsIPv6.
inline bool HasTwoColons(std::string_view text) {
    const std::size_t first = text.find(':');
    return first != std::string_view::npos && text.find(':', first + 1) != std::string_view::npos;
}

/// Whether a scheme stands for "no scheme": "" or "unknown".
inline bool IsNoScheme(std::string_view scheme) { return scheme.empty() || Equals(scheme, "unknown"); }

}  // namespace tessera::uri

#endif  // TESSERA_URI_ASCII_H
