// Whether the build targets SSE2 (every x86-64 build, and x86 builds that ask for it): a
// build-time fact, unlike the extensions found at run time (cpu_features.h). Vector loops
// throughout the library use SSE2 where it is, and their scalar versions elsewhere.
#ifndef TESSERA_UNICODE_SSE2_SUPPORT_H
#define TESSERA_UNICODE_SSE2_SUPPORT_H

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define TESSERA_SSE2 1
#include <emmintrin.h>
#else
#define TESSERA_SSE2 0
#endif

#endif  // TESSERA_UNICODE_SSE2_SUPPORT_H
