#include "platform/cpu_features.h"

namespace tessera::platform {

CpuFeatures DetectCpuFeatures() {
    CpuFeatures features;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    // Static initialisers may run before the compiler's runtime has filled in its
    // CPU model.
    __builtin_cpu_init();
    features.ssse3 = __builtin_cpu_supports("ssse3") != 0;
    features.avx2 = __builtin_cpu_supports("avx2") != 0;
#endif
    return features;
}

}  // namespace tessera::platform
