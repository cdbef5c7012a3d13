// The choice of a kernel. The choice made at load is a static of its own here, not among
// the library's ordered statics: it depends on nothing else and nothing depends on it
// being made first, and it exists only where the kernels are linked.
#include "unicode/kernel.h"

namespace tessera::unicode {

bool RunsOn(const Kernel& kernel, CpuFeatures features) { return (kernel.needs & ~features) == 0; }

const Kernel& BestKernel(CpuFeatures features) {
    const Kernel* best = kKernels[0];
    for (const Kernel* kernel : kKernels) {
        if (RunsOn(*kernel, features)) best = kernel;
    }
    return *best;
}

const Kernel* const g_kernel = &BestKernel(DetectCpuFeatures());

}  // namespace tessera::unicode
