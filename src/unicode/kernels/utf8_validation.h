// The tables that let a byte shuffle check UTF-8 a whole register at a time, shared by the
// AVX2 and AVX-512 kernels. Every way a byte can be wrong depends on at most the byte
// before it and a few high bits of the bytes two and three before it. Each fault of the
// first kind is one bit, set where the high nibble of the previous byte, its low nibble and
// the high nibble of the byte itself each fall in the fault's set: three 16-entry lookups
// AND-ed together give every fault at every position at once. One bit is no fault alone: a
// continuation byte after a continuation byte, which is right exactly where the byte two
// before leads a three- or four-byte sequence, or the byte three before a four-byte one.
#ifndef TESSERA_UNICODE_KERNELS_UTF8_VALIDATION_H
#define TESSERA_UNICODE_KERNELS_UTF8_VALIDATION_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace tessera::unicode {

/// The bit, in the AND of the three lookups, of a continuation byte that follows a
/// continuation byte.
inline constexpr unsigned char kContinuationAfterContinuation = 0x80;

/// The three 16-byte lookups, indexed by the previous byte's high nibble, its low nibble
/// and the current byte's high nibble.
struct Utf8CheckTables {
    std::array<unsigned char, 16> previousHigh;
    std::array<unsigned char, 16> previousLow;
    std::array<unsigned char, 16> currentHigh;
};

/// A fault as three sets of nibbles, one bit per nibble value.
struct Utf8Fault {
    unsigned char bit;
    std::uint16_t previousHigh;
    std::uint16_t previousLow;
    std::uint16_t currentHigh;
};

/// Nibble sets: [first, last].
constexpr std::uint16_t Nibbles(unsigned first, unsigned last) {
    return static_cast<std::uint16_t>(((2u << last) - 1) & ~((1u << first) - 1));
}

inline constexpr std::uint16_t kAsciiNibbles = Nibbles(0x0, 0x7);
inline constexpr std::uint16_t kContinuationNibbles = Nibbles(0x8, 0xB);
inline constexpr std::uint16_t kLeadNibbles = Nibbles(0xC, 0xF);
inline constexpr std::uint16_t kAnyNibble = Nibbles(0x0, 0xF);

// Each row is one fault; the previous byte's nibbles read together as a byte range.
inline constexpr Utf8Fault kUtf8Faults[] = {
    // a lead byte (C0..FF) followed by anything but a continuation byte
    {0x01, kLeadNibbles, kAnyNibble, static_cast<std::uint16_t>(kAsciiNibbles | kLeadNibbles)},
    // a continuation byte after ASCII
    {0x02, kAsciiNibbles, kAnyNibble, kContinuationNibbles},
    // C0 and C1: two-byte forms of ASCII
    {0x04, Nibbles(0xC, 0xC), Nibbles(0x0, 0x1), kAnyNibble},
    // E0 80..9F: three-byte forms of what two bytes hold
    {0x08, Nibbles(0xE, 0xE), Nibbles(0x0, 0x0), Nibbles(0x8, 0x9)},
    // ED A0..BF: surrogates
    {0x10, Nibbles(0xE, 0xE), Nibbles(0xD, 0xD), Nibbles(0xA, 0xB)},
    // F0 80..8F (four-byte forms of what three bytes hold) and F5..FF 80..8F
    {0x20, Nibbles(0xF, 0xF), static_cast<std::uint16_t>(Nibbles(0x0, 0x0) | Nibbles(0x5, 0xF)), Nibbles(0x8, 0x8)},
    // F4 90..BF and F5..FF 90..BF: above U+10FFFF
    {0x40, Nibbles(0xF, 0xF), Nibbles(0x4, 0xF), Nibbles(0x9, 0xB)},
    {kContinuationAfterContinuation, kContinuationNibbles, kAnyNibble, kContinuationNibbles},
};

constexpr Utf8CheckTables MakeUtf8CheckTables() {
    Utf8CheckTables tables{};
    for (const Utf8Fault& fault : kUtf8Faults) {
        for (unsigned nibble = 0; nibble < 16; ++nibble) {
            if ((fault.previousHigh >> nibble) & 1) tables.previousHigh[nibble] |= fault.bit;
            if ((fault.previousLow >> nibble) & 1) tables.previousLow[nibble] |= fault.bit;
            if ((fault.currentHigh >> nibble) & 1) tables.currentHigh[nibble] |= fault.bit;
        }
    }
    return tables;
}

inline constexpr Utf8CheckTables kUtf8CheckTables = MakeUtf8CheckTables();

/// Of a step's positions, one bit each, those before the character that holds the first of
/// `faults` (`continuations` marks the bytes 80..BF): every character that starts before
/// the last start ahead of the first fault is whole and valid. Empty where the first
/// character is at fault. The step begins a character.
inline std::uint64_t BeforeFaultyCharacter(std::uint64_t faults, std::uint64_t continuations) {
    const std::uint64_t starts = ~continuations & ((faults & (0 - faults)) - 1);
    if (starts == 0) return 0;
    return (std::uint64_t{1} << (63 - __builtin_clzll(starts))) - 1;
}

/// Of `Step` valid bytes at `step`, how many at the end begin a sequence that the end of
/// the step cuts (0 to 3). Read from memory rather than from a register, so that the next
/// step's address need not wait for the register's checks.
template <std::size_t Step>
inline std::size_t CutBytes(const unsigned char* step) {
    // Of valid bytes, at most one of the three begins a sequence that runs past the end.
    return std::size_t{step[Step - 1] >= 0xC0} + 2 * std::size_t{step[Step - 2] >= 0xE0} +
           3 * std::size_t{step[Step - 3] >= 0xF0};
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_KERNELS_UTF8_VALIDATION_H
