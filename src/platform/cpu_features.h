// The instruction-set extensions of the CPU the process runs on.
#ifndef TESSERA_PLATFORM_CPU_FEATURES_H
#define TESSERA_PLATFORM_CPU_FEATURES_H

namespace tessera::platform {

/// Extensions beyond the build's baseline that code may choose at run time.
struct CpuFeatures {
    bool ssse3 = false;
    bool avx2 = false;  // and the system saves the AVX registers
};

/// Asks the CPU (on x86 with GCC or clang); reports nothing elsewhere.
CpuFeatures DetectCpuFeatures();

}  // namespace tessera::platform

#endif  // TESSERA_PLATFORM_CPU_FEATURES_H
