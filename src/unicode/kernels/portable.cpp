// The portable kernel, for processors without vector instructions the build can use (the
// 32-bit Windows build has no SSE2 baseline): ASCII 16 elements a step with 8-byte words,
// everything else one character at a time.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "unicode/kernel.h"
#include "unicode/kernels/block_loops.h"

namespace tessera::unicode {
namespace {

// If the 16 bytes at `in` are all ASCII, writes them to `out` as 16 UTF-16 units and
// returns true; otherwise writes nothing and returns false.
bool WidenAsciiBlock(const unsigned char* in, wchar_t* out) {
    std::uint64_t first;
    std::uint64_t second;
    std::memcpy(&first, in, 8);
    std::memcpy(&second, in + 8, 8);
    if (((first | second) & 0x8080808080808080u) != 0) return false;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) out[i] = static_cast<wchar_t>(in[i]);
    return true;
}

// If the 16 units at `in` are all below 0x80, writes them to `out` as 16 bytes and
// returns true; otherwise writes nothing and returns false.
bool NarrowAsciiBlock(const wchar_t* in, char* out) {
    std::uint32_t all = 0;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) all |= static_cast<std::uint32_t>(in[i]);
    if (all >= 0x80) return false;
    for (std::size_t i = 0; i < kAsciiBlock; ++i) out[i] = static_cast<char>(in[i]);
    return true;
}

struct PortableUtf8Blocks {
    static bool WidenAscii(const unsigned char* in, wchar_t* out) { return WidenAsciiBlock(in, out); }
    static wchar_t* WidenAsciiRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        std::size_t done = 0;
        while (size - done >= kAsciiBlock && WidenAsciiBlock(in + done, out + done)) done += kAsciiBlock;
        in += done;
        return out + done;
    }
    static wchar_t* DecodeRun(const unsigned char*&, std::size_t, wchar_t* out) { return out; }
    // No block decoder: the loop decodes sequence by sequence.
    static wchar_t* Decode(const unsigned char*&, wchar_t*) { return nullptr; }
};

struct PortableUtf16Blocks {
    // ASCII only: the loop converts other blocks unit by unit.
    static char* Encode(const wchar_t* in, char* out) {
        return NarrowAsciiBlock(in, out) ? out + kAsciiBlock : nullptr;
    }
    static std::size_t NarrowAsciiRun(const wchar_t* in, std::size_t size, char* out) {
        std::size_t done = 0;
        while (size - done >= kAsciiBlock && NarrowAsciiBlock(in + done, out + done)) done += kAsciiBlock;
        return done;
    }
};

wchar_t* Utf8ToUtf16Portable(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
    return ConvertUtf8Blocks<PortableUtf8Blocks>(p, end, out, outEnd);
}

char* Utf16ToUtf8Portable(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertUtf16Blocks<PortableUtf16Blocks>(p, end, out, outEnd);
}

}  // namespace

const Kernel kPortableKernel = {"portable", 0, Utf8ToUtf16Portable, Utf16ToUtf8Portable};

}  // namespace tessera::unicode
