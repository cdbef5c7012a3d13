// The AVX-512 kernel: its two loops and the processor features they need.
#include "unicode/kernel.h"
#include "unicode/kernels/avx512/loops.h"

#if TESSERA_UNICODE_AVX512

namespace tessera::unicode {

const Kernel kAvx512Kernel = {
    "avx512",
    kSse2 | kSsse3 | kPopcnt | kAvx2 | kBmi2 | kAvx512F | kAvx512Bw | kAvx512Vl | kAvx512Vbmi | kAvx512Vbmi2,
    Utf8ToUtf16Avx512,
    Utf16ToUtf8Avx512,
};

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX512
