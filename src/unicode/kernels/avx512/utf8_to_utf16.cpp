// The AVX-512 kernel's UTF-8 to UTF-16 loop. For now it runs the AVX2 kernel's loop.
#include "unicode/kernel.h"
#include "unicode/kernels/avx512/loops.h"

#if TESSERA_UNICODE_AVX512

namespace tessera::unicode {

wchar_t* Utf8ToUtf16Avx512(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd) {
    return kAvx2Kernel.toUtf16(p, end, out, outEnd);
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX512
