#include "encoding/utf8_utf16_kernels.h"

namespace tessera::encoding {

bool RunsOn(const Utf8Utf16Kernel& kernel, const platform::CpuFeatures& features) {
    return (!kernel.needsSsse3 || features.ssse3) && (!kernel.needsAvx2 || features.avx2);
}

const Utf8Utf16Kernel& BestUtf8Utf16Kernel(const platform::CpuFeatures& features) {
    const Utf8Utf16Kernel* best = &kUtf8Utf16Kernels[0];
    for (const Utf8Utf16Kernel& kernel : kUtf8Utf16Kernels) {
        if (RunsOn(kernel, features)) best = &kernel;
    }
    return *best;
}

}  // namespace tessera::encoding
