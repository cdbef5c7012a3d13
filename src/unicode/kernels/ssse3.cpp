// The SSSE3 kernel: the SSE2 kernel's ASCII steps, with the byte-shuffle block decoder
// and encoder and the three-byte run decoder of ssse3.h.
#include <cstddef>

#include "unicode/kernel.h"
#include "unicode/kernels/block_loops.h"
#include "unicode/kernels/sse2.h"
#include "unicode/kernels/ssse3.h"
#include "unicode/kernels/targets.h"

#if TESSERA_UNICODE_SSSE3

namespace tessera::unicode {
namespace {

struct Ssse3Utf8Blocks : Sse2Utf8Blocks {
    TESSERA_TARGET_SSSE3 static wchar_t* DecodeRun(const unsigned char*& in, std::size_t size, wchar_t* out) {
        return (in[0] & 0xF0) == 0xE0 ? DecodeThreeByteRunSsse3(in, size, out) : out;
    }
    TESSERA_TARGET_SSSE3 static wchar_t* Decode(const unsigned char*& in, wchar_t* out) {
        return DecodeUtf8BlockSsse3(in, out);
    }
};

struct Ssse3Utf16Blocks : Sse2Utf16Blocks {
    TESSERA_TARGET_SSSE3 static char* Encode(const wchar_t* in, char* out) { return EncodeBmpBlockSsse3(in, out); }
};

TESSERA_TARGET_SSSE3 wchar_t* Utf8ToUtf16Ssse3(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                               const wchar_t* outEnd) {
    return ConvertUtf8Blocks<Ssse3Utf8Blocks>(p, end, out, outEnd);
}

TESSERA_TARGET_SSSE3 char* Utf16ToUtf8Ssse3(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertUtf16Blocks<Ssse3Utf16Blocks>(p, end, out, outEnd);
}

}  // namespace

const Kernel kSsse3Kernel = {"ssse3", kSse2 | kSsse3, Utf8ToUtf16Ssse3, Utf16ToUtf8Ssse3};

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_SSSE3
