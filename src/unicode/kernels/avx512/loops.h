// The AVX-512 kernel's two block loops, one file each (utf8_to_utf16.cpp and
// utf16_to_utf8.cpp), joined into the kernel in kernel.cpp.
#ifndef TESSERA_UNICODE_KERNELS_AVX512_LOOPS_H
#define TESSERA_UNICODE_KERNELS_AVX512_LOOPS_H

#include "unicode/kernels/targets.h"

#if TESSERA_UNICODE_AVX512

namespace tessera::unicode {

/// Converts whole UTF-8 characters from `p` while a block still fits before `outEnd`.
wchar_t* Utf8ToUtf16Avx512(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd);

/// Converts whole UTF-16 characters from `p` while a block still fits before `outEnd`.
char* Utf16ToUtf8Avx512(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd);

}  // namespace tessera::unicode

#endif  // TESSERA_UNICODE_AVX512

#endif  // TESSERA_UNICODE_KERNELS_AVX512_LOOPS_H
