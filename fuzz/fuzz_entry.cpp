// libFuzzer entry point of one fuzz target; the build names the check to run with
// TESSERA_FUZZ_CHECK (one executable per check of fuzz/checks).
#include <cstddef>
#include <cstdint>

#include "checks/check.h"

#ifndef TESSERA_FUZZ_CHECK
#error "TESSERA_FUZZ_CHECK must name the check this fuzz target runs"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tessera::fuzz::TESSERA_FUZZ_CHECK(data, size);
    return 0;
}
