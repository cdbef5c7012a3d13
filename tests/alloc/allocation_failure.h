// Allocation failure on demand, for tests: this test program replaces the global
// operator new and delete (every form but the over-aligned ones) with versions that
// count the blocks alive and can make one chosen allocation fail, as std::bad_alloc (or
// a null pointer for the nothrow forms). Only allocations of the thread that armed the
// failure count towards it, so threads the code under test starts do not move it.
#ifndef TESSERA_TESTS_ALLOC_ALLOCATION_FAILURE_H
#define TESSERA_TESTS_ALLOC_ALLOCATION_FAILURE_H

#include <cstddef>

namespace tessera_test {

/// Makes the n-th allocation of the calling thread from now on fail (1: the next one);
/// 0 disarms. The allocations after the failing one succeed again, or, if persistent,
/// fail too until the next call.
void FailAllocation(std::size_t n, bool persistent = false);

/// Whether the allocation chosen by the last FailAllocation has failed.
bool AllocationFailed();

/// The blocks allocated through operator new and not yet deleted, by every thread.
long LiveAllocations();

}  // namespace tessera_test

#endif  // TESSERA_TESTS_ALLOC_ALLOCATION_FAILURE_H
