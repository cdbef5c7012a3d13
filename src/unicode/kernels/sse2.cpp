// The SSE2 kernel, the baseline of every x86-64 build: the block steps of sse2.h.
#include "unicode/kernels/sse2.h"
#include "unicode/kernel.h"
#include "unicode/kernels/block_loops.h"

#if TESSERA_SSE2

namespace tessera::unicode {
namespace {

wchar_t* Utf8ToUtf16Sse2(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
    return ConvertUtf8Blocks<Sse2Utf8Blocks>(p, end, out, outEnd);
}

char* Utf16ToUtf8Sse2(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return ConvertUtf16Blocks<Sse2Utf16Blocks>(p, end, out, outEnd);
}

}  // namespace

const Kernel kSse2Kernel = {"sse2", kSse2, Utf8ToUtf16Sse2, Utf16ToUtf8Sse2};

}  // namespace tessera::unicode

#endif  // TESSERA_SSE2
