// Which instruction sets this build can compile kernels for, and the marks that compile
// one function for one of them. SSE2 is used where the whole build targets it; the others
// only inside functions marked for them (x86-64 with GCC or clang), which run only where
// the processor has them.
#ifndef TESSERA_UNICODE_KERNELS_TARGETS_H
#define TESSERA_UNICODE_KERNELS_TARGETS_H

#include "unicode/sse2_support.h"

#if TESSERA_SSE2 && defined(__GNUC__) && defined(__x86_64__)
#define TESSERA_UNICODE_SSSE3 1
#include <tmmintrin.h>
/// Marks a function compiled for SSSE3.
#define TESSERA_TARGET_SSSE3 __attribute__((target("ssse3")))
/// Makes the compiler inline a function into its caller, compiled for the caller's target.
#define TESSERA_ALWAYS_INLINE __attribute__((always_inline))
#else
#define TESSERA_UNICODE_SSSE3 0
#define TESSERA_ALWAYS_INLINE
#endif

// Windows does not keep the stack 32-byte aligned for spilled AVX registers.
#if TESSERA_UNICODE_SSSE3 && !defined(_WIN32)
#define TESSERA_UNICODE_AVX2 1
#include <immintrin.h>
/// Marks a function compiled for AVX2.
#define TESSERA_TARGET_AVX2 __attribute__((target("avx2,popcnt")))
#else
#define TESSERA_UNICODE_AVX2 0
#endif

#if TESSERA_UNICODE_AVX2
#define TESSERA_UNICODE_AVX512 1
/// Marks a function compiled for AVX-512 (F, BW, VL, VBMI, VBMI2) with AVX2 and BMI2.
#define TESSERA_TARGET_AVX512 \
    __attribute__((target("avx512f,avx512bw,avx512vl,avx512vbmi,avx512vbmi2,avx2,bmi,bmi2,popcnt")))
#else
#define TESSERA_UNICODE_AVX512 0
#endif

#endif  // TESSERA_UNICODE_KERNELS_TARGETS_H
