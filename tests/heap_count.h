// A heap that counts: including this header replaces the global operator new and delete
// of the test program with versions that keep the bytes on the heap now and the most
// since the last look, so that a test can tell what a call takes from the heap at its
// peak, and how much room a result keeps. The replacements are defined here, not
// declared: exactly one source file of a test program includes it (a second one fails to
// link).
#ifndef TESSERA_TESTS_HEAP_COUNT_H
#define TESSERA_TESTS_HEAP_COUNT_H

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

namespace tessera_test {

/// Bytes on the heap now, and the most since the last HeapPeakOf began.
inline std::atomic<std::size_t> g_heapBytes{0};
inline std::atomic<std::size_t> g_heapPeak{0};

/// Each block carries its size in front of what the caller gets.
inline constexpr std::size_t kBlockHeader = alignof(std::max_align_t);

/// The heap `call()` takes beyond what was there before it: its peak over the call.
template <typename Call>
std::size_t HeapPeakOf(Call call) {
    const std::size_t before = g_heapBytes.load();
    g_heapPeak = before;
    call();
    return g_heapPeak.load() - before;
}

/// Fails unless a result keeps at most a tenth more room than its length, or no more
/// than an empty string of its type holds.
template <typename Text>
void ExpectSnug(const Text& text) {
    EXPECT_LE(text.capacity(), std::max(text.size() + text.size() / 10, Text().capacity())) << "length " << text.size();
}

}  // namespace tessera_test

void* operator new(std::size_t size) {
    using tessera_test::g_heapPeak;
    void* block = std::malloc(size + tessera_test::kBlockHeader);
    if (block == nullptr) throw std::bad_alloc();
    *static_cast<std::size_t*>(block) = size;
    const std::size_t now = tessera_test::g_heapBytes += size;
    std::size_t peak = g_heapPeak.load();
    while (now > peak && !g_heapPeak.compare_exchange_weak(peak, now)) {
    }
    return static_cast<char*>(block) + tessera_test::kBlockHeader;
}

void operator delete(void* memory) noexcept {
    if (memory == nullptr) return;
    void* block = static_cast<char*>(memory) - tessera_test::kBlockHeader;
    tessera_test::g_heapBytes -= *static_cast<std::size_t*>(block);
    std::free(block);
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* memory) noexcept { operator delete(memory); }
void operator delete(void* memory, std::size_t) noexcept { operator delete(memory); }
void operator delete[](void* memory, std::size_t) noexcept { operator delete(memory); }

#endif  // TESSERA_TESTS_HEAP_COUNT_H
