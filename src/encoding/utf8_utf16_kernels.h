// The block loops of the UTF-8 <-> UTF-16 conversions, built once per instruction set;
// the library picks the best one the CPU runs when it is loaded.
#ifndef TESSERA_ENCODING_UTF8_UTF16_KERNELS_H
#define TESSERA_ENCODING_UTF8_UTF16_KERNELS_H

#include <cstddef>
#include <string>

#include "encoding/simd_targets.h"
#include "platform/cpu_features.h"

namespace tessera::encoding {

/// Converts whole characters from `p` while a block still fits before `outEnd`, advances
/// `p` and returns the end of the output.
using Utf8ToUtf16Loop = wchar_t* (*)(const unsigned char*& p, const unsigned char* end, wchar_t* out,
                                     const wchar_t* outEnd);
using Utf16ToUtf8Loop = char* (*)(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd);

/// Both conversion loops for one instruction set.
struct Utf8Utf16Kernel {
    const char* name;
    bool needsSsse3;
    bool needsAvx2;
    Utf8ToUtf16Loop toUtf16;
    Utf16ToUtf8Loop toUtf8;
};

wchar_t* Utf8ToUtf16Baseline(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd);
char* Utf16ToUtf8Baseline(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd);
#if TESSERA_ENCODING_SSSE3
wchar_t* Utf8ToUtf16Ssse3(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd);
char* Utf16ToUtf8Ssse3(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd);
#endif
#if TESSERA_ENCODING_AVX2
wchar_t* Utf8ToUtf16Avx2(const unsigned char*& p, const unsigned char* end, wchar_t* out, const wchar_t* outEnd);
char* Utf16ToUtf8Avx2(const wchar_t*& p, const wchar_t* end, char* out, const char* outEnd);
#endif

/// Every kernel built into the library, from the baseline (SSE2 or portable) up.
inline constexpr Utf8Utf16Kernel kUtf8Utf16Kernels[] = {
    {TESSERA_SSE2 ? "sse2" : "portable", false, false, Utf8ToUtf16Baseline, Utf16ToUtf8Baseline},
#if TESSERA_ENCODING_SSSE3
    {"ssse3", true, false, Utf8ToUtf16Ssse3, Utf16ToUtf8Ssse3},
#endif
#if TESSERA_ENCODING_AVX2
    {"avx2", false, true, Utf8ToUtf16Avx2, Utf16ToUtf8Avx2},
#endif
};

/// Whether the CPU with `features` runs `kernel`.
bool RunsOn(const Utf8Utf16Kernel& kernel, const platform::CpuFeatures& features);

/// The last kernel of `kUtf8Utf16Kernels` that the CPU with `features` runs.
const Utf8Utf16Kernel& BestUtf8Utf16Kernel(const platform::CpuFeatures& features);

/// The kernel the conversions use, chosen when the library is loaded (null before).
extern const Utf8Utf16Kernel* const g_utf8Utf16Kernel;

/// `Utf8ToUtf16` and `Utf16ToUtf8` with a given kernel, which the CPU must run.
std::wstring Utf8ToUtf16With(const Utf8Utf16Kernel& kernel, const char* data, std::size_t size);
std::string Utf16ToUtf8With(const Utf8Utf16Kernel& kernel, const wchar_t* data, std::size_t size);

}  // namespace tessera::encoding

#endif  // TESSERA_ENCODING_UTF8_UTF16_KERNELS_H
