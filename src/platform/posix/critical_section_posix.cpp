// Recursive locks on a futex word, the atomic increment and sleeping, for POSIX systems.
#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <new>
#include <type_traits>

#include "platform/posix/wait_word.h"
#include "platform/threads.h"

namespace tessera::platform {

namespace {

// The lock word: free, held, or held with (possibly) sleeping threads. The owner and
// the depth are written only by the owning thread.
enum : std::uint32_t { kFree = 0, kHeld = 1, kHeldWithSleepers = 2 };

struct RecursiveLock {
    std::atomic<std::uint32_t> word{kFree};
    std::atomic<std::uintptr_t> owner{0};
    std::uint32_t depth = 0;
};

static_assert(sizeof(RecursiveLock) <= sizeof(CriticalSection::storage), "a lock must fit a critical section");
static_assert(alignof(RecursiveLock) <= alignof(CriticalSection), "a lock must be aligned in a critical section");

RecursiveLock* Native(CriticalSection* section) {
    return std::launder(reinterpret_cast<RecursiveLock*>(section->storage));
}

template <typename T>
std::uintptr_t AsTag(T value) {
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<std::uintptr_t>(value);
    } else {
        return static_cast<std::uintptr_t>(value);
    }
}

// Distinct for every living thread, and cheap: where the compiler can read the thread
// pointer, the thread's own control block.
std::uintptr_t CurrentThreadTag() {
#if defined(__has_builtin)
#if __has_builtin(__builtin_thread_pointer)
    return AsTag(__builtin_thread_pointer());
#else
    return AsTag(pthread_self());
#endif
#else
    return AsTag(pthread_self());
#endif
}

void LockContended(RecursiveLock* lock) {
    while (lock->word.exchange(kHeldWithSleepers, std::memory_order_acquire) != kFree) {
        WaitOnWord(&lock->word, kHeldWithSleepers, nullptr);
    }
}

}  // namespace

void InitCriticalSection(CriticalSection* section) noexcept { new (section->storage) RecursiveLock; }

void DestroyCriticalSection(CriticalSection* section) noexcept { Native(section)->~RecursiveLock(); }

void LockCriticalSection(CriticalSection* section) noexcept {
    RecursiveLock* lock = Native(section);
    const std::uintptr_t self = CurrentThreadTag();
    if (lock->owner.load(std::memory_order_relaxed) == self) {
        ++lock->depth;
        return;
    }
    std::uint32_t expected = kFree;
    if (!lock->word.compare_exchange_strong(expected, kHeld, std::memory_order_acquire, std::memory_order_relaxed)) {
        LockContended(lock);
    }
    lock->owner.store(self, std::memory_order_relaxed);
    lock->depth = 1;
}

void UnlockCriticalSection(CriticalSection* section) noexcept {
    RecursiveLock* lock = Native(section);
    if (--lock->depth != 0) return;
    lock->owner.store(0, std::memory_order_relaxed);
    if (lock->word.exchange(kFree, std::memory_order_release) == kHeldWithSleepers) WakeOneOnWord(&lock->word);
}

std::int32_t AtomicIncrement(std::int32_t* value) noexcept { return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST); }

void SleepFor(std::uint32_t milliseconds) noexcept {
    if (milliseconds == 0) {
        sched_yield();
        return;
    }
    timespec remaining{static_cast<std::time_t>(milliseconds / 1000),
                       static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
    }
}

}  // namespace tessera::platform
