// The replacement of the global operator new and delete behind allocation_failure.h.
// Every form the library can reach is replaced, so that no block taken by one form is
// given back through another that the program did not replace (the sanitizers' own
// forms would report the mismatch): plain and array, nothrow, sized. The over-aligned
// forms are left to the runtime, where they pair only with each other: the library
// allocates nothing over-aligned. Blocks come from malloc, which the sanitizers watch.
#include "allocation_failure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace tessera_test {
namespace {

std::atomic<long> g_liveAllocations{0};
thread_local std::size_t t_countdown = 0;  // 0: disarmed
thread_local bool t_persistent = false;
thread_local bool t_failed = false;

/// Counts one allocation of this thread; true if it is to fail.
bool ShouldFail() {
    if (t_failed && t_persistent) return true;
    if (t_countdown == 0 || --t_countdown != 0) return false;
    t_failed = true;
    return true;
}

void* Allocate(std::size_t size) noexcept {
    if (ShouldFail()) return nullptr;
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block != nullptr) ++g_liveAllocations;
    return block;
}

void Free(void* block) noexcept {
    if (block == nullptr) return;
    --g_liveAllocations;
    std::free(block);
}

void* AllocateOrThrow(std::size_t size) {
    if (void* block = Allocate(size)) return block;
    throw std::bad_alloc();
}

}  // namespace

void FailAllocation(std::size_t n, bool persistent) {
    t_countdown = n;
    t_persistent = persistent;
    t_failed = false;
}

bool AllocationFailed() { return t_failed; }

long LiveAllocations() { return g_liveAllocations.load(); }

}  // namespace tessera_test

using tessera_test::AllocateOrThrow;

void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return tessera_test::Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return tessera_test::Allocate(size); }

void operator delete(void* block) noexcept { tessera_test::Free(block); }
void operator delete[](void* block) noexcept { tessera_test::Free(block); }
void operator delete(void* block, std::size_t) noexcept { tessera_test::Free(block); }
void operator delete[](void* block, std::size_t) noexcept { tessera_test::Free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { tessera_test::Free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { tessera_test::Free(block); }
