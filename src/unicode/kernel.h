// The UTF-8 <-> UTF-16 kernels: a kernel is the pair of block loops built for one
// instruction set (one file each in kernels/), with the CPU features it needs. This file
// lists the kernels of the build and picks the best one the processor runs.
#ifndef TESSERA_UNICODE_KERNEL_H
#define TESSERA_UNICODE_KERNEL_H

#include <cstddef>

#include "unicode/cpu_features.h"
#include "unicode/kernels/targets.h"

namespace tessera::unicode {

/// Converts whole characters from `p` while a block still fits before `outEnd`, advances
/// `p` and returns the end of the output.
using Utf8ToUtf16Loop = wchar_t* (*)(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                     const wchar_t* outEnd);
using Utf16ToUtf8Loop = char* (*)(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd);

/// Both conversion loops for one instruction set.
struct Kernel {
    const char* name;
    CpuFeatures needs;  // every bit must be set for the kernel to run
    Utf8ToUtf16Loop toUtf16;
    Utf16ToUtf8Loop toUtf8;
};

/// The kernels, each defined in kernels/<name>.cpp.
extern const Kernel kPortableKernel;
#if TESSERA_SSE2
extern const Kernel kSse2Kernel;
#endif
#if TESSERA_UNICODE_SSSE3
extern const Kernel kSsse3Kernel;
#endif
#if TESSERA_UNICODE_AVX2
extern const Kernel kAvx2Kernel;
#endif
#if TESSERA_UNICODE_AVX512
extern const Kernel kAvx512Kernel;  // kernels/avx512/
#endif

/// Every kernel of the build, the portable one first; each is faster than those before it
/// where it runs.
inline const Kernel* const kKernels[] = {
    &kPortableKernel,
#if TESSERA_SSE2
    &kSse2Kernel,
#endif
#if TESSERA_UNICODE_SSSE3
    &kSsse3Kernel,
#endif
#if TESSERA_UNICODE_AVX2
    &kAvx2Kernel,
#endif
#if TESSERA_UNICODE_AVX512
    &kAvx512Kernel,
#endif
};

/// Whether a processor with `features` runs `kernel`.
bool RunsOn(const Kernel& kernel, CpuFeatures features);

/// The last kernel of `kKernels` that a processor with `features` runs.
const Kernel& BestKernel(CpuFeatures features);

/// The kernel the conversions use: the best one this processor runs, chosen when the
/// library is loaded (null before; the conversions then use the portable kernel).
extern const Kernel* const g_kernel;

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_KERNEL_H
