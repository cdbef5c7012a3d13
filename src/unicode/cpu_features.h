// The instruction-set extensions of the processor the process runs on, asked of the
// processor itself (and, for the wide registers, of what the operating system saves on a
// task switch), so that code can choose at run time between versions built for several.
#ifndef TESSERA_UNICODE_CPU_FEATURES_H
#define TESSERA_UNICODE_CPU_FEATURES_H

#include <cstdint>

namespace tessera::unicode {

/// One bit per extension. A bit is set only where the processor has the extension and the
/// system saves the registers it uses (YMM for AVX2, ZMM and the mask registers for the
/// AVX-512 ones).
enum CpuFeature : std::uint32_t {
    kSse2 = 1u << 0,
    kSsse3 = 1u << 1,
    kPopcnt = 1u << 2,
    kAvx2 = 1u << 3,
    kBmi2 = 1u << 4,
    kAvx512F = 1u << 5,
    kAvx512Bw = 1u << 6,
    kAvx512Vl = 1u << 7,
    kAvx512Vbmi = 1u << 8,
    kAvx512Vbmi2 = 1u << 9,
};

/// A set of `CpuFeature` bits.
using CpuFeatures = std::uint32_t;

/// The extensions of this processor; on a processor other than x86, or with a compiler
/// that cannot ask, only those the build itself requires (SSE2 where it targets it).
CpuFeatures DetectCpuFeatures();

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_CPU_FEATURES_H
