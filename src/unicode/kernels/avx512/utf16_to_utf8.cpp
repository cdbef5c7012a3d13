// The AVX-512 kernel's UTF-16 to UTF-8 loop. For now it runs the AVX2 kernel's loop.
#include "unicode/kernel.h"
#include "unicode/kernels/avx512/loops.h"

#if TESSERA_UNICODE_AVX512

namespace tessera::unicode {

char* Utf16ToUtf8Avx512(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd) {
    return kAvx2Kernel.toUtf8(p, end, out, outEnd);
}

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX512
