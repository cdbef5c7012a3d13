// CPU-feature detection with the CPUID instruction and the XGETBV register that says
// which register states the operating system saves. Asked directly rather than through the
// compiler's runtime, which may not have looked yet while static initialisers run.
#include "unicode/cpu_features.h"

#include "unicode/sse2_support.h"

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
#define TESSERA_UNICODE_CPUID 1
#include <cpuid.h>
#include <immintrin.h>
#else
#define TESSERA_UNICODE_CPUID 0
#endif

namespace tessera::unicode {
namespace {

#if TESSERA_UNICODE_CPUID

// The register states in XCR0: SSE (XMM) and AVX (upper YMM); AVX-512's mask registers
// (opmask), upper ZMM of registers 0-15 and all of ZMM 16-31.
constexpr std::uint64_t kYmmState = 0x6;
constexpr std::uint64_t kZmmState = 0xE6;

struct CpuidRegisters {
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
};

CpuidRegisters Cpuid(unsigned leaf, unsigned subleaf) {
    CpuidRegisters r;
    if (__get_cpuid_count(leaf, subleaf, &r.eax, &r.ebx, &r.ecx, &r.edx) == 0) return {};
    return r;
}

__attribute__((target("xsave"))) std::uint64_t SavedRegisterStates() { return _xgetbv(0); }

bool Bit(unsigned reg, int bit) { return ((reg >> bit) & 1u) != 0; }

struct FeatureBit {
    CpuFeature feature;
    unsigned CpuidRegisters::*reg;
    int bit;
};

// Leaf 1 and leaf 7 (subleaf 0) bits of the extensions, as the processor manuals list them.
constexpr FeatureBit kLeaf1Bits[] = {
    {kSse2, &CpuidRegisters::edx, 26},
    {kSsse3, &CpuidRegisters::ecx, 9},
    {kPopcnt, &CpuidRegisters::ecx, 23},
};
constexpr FeatureBit kLeaf7YmmBits[] = {
    {kAvx2, &CpuidRegisters::ebx, 5},
};
constexpr FeatureBit kLeaf7ZmmBits[] = {
    {kAvx512F, &CpuidRegisters::ebx, 16},    {kAvx512Bw, &CpuidRegisters::ebx, 30},
    {kAvx512Vl, &CpuidRegisters::ebx, 31},   {kAvx512Vbmi, &CpuidRegisters::ecx, 1},
    {kAvx512Vbmi2, &CpuidRegisters::ecx, 6},
};

template <std::size_t N>
CpuFeatures Collect(const CpuidRegisters& registers, const FeatureBit (&bits)[N]) {
    CpuFeatures features = 0;
    for (const FeatureBit& b : bits) {
        if (Bit(registers.*b.reg, b.bit)) features |= b.feature;
    }
    return features;
}

CpuFeatures AskTheProcessor() {
    const CpuidRegisters leaf1 = Cpuid(1, 0);
    CpuFeatures features = Collect(leaf1, kLeaf1Bits);
    // Without OSXSAVE the system saves no AVX state, and XGETBV itself may not run.
    const bool osSavesState = Bit(leaf1.ecx, 27);
    const std::uint64_t states = osSavesState ? SavedRegisterStates() : 0;
    const CpuidRegisters leaf7 = Cpuid(7, 0);
    if (Bit(leaf7.ebx, 8)) features |= kBmi2;
    if (Bit(leaf1.ecx, 28) && (states & kYmmState) == kYmmState) {
        features |= Collect(leaf7, kLeaf7YmmBits);
        if ((states & kZmmState) == kZmmState) features |= Collect(leaf7, kLeaf7ZmmBits);
    }
    return features;
}

#else

CpuFeatures AskTheProcessor() { return 0; }

#endif

}  // namespace

CpuFeatures DetectCpuFeatures() {
    const CpuFeatures required = TESSERA_SSE2 ? CpuFeatures{kSse2} : CpuFeatures{0};
    return AskTheProcessor() | required;
}

}  // namespace tessera::unicode
