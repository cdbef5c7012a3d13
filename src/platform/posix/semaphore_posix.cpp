// Wait semaphores (count 0 or 1) on a futex word, timed on the monotonic clock, and the
// wall clock in 100-nanosecond ticks since 1601.
#include <ctime>
#include <new>

#include "platform/posix/wait_word.h"
#include "platform/threads.h"

namespace tessera::platform {

// One thread waits on a semaphore (its owner); any thread may signal it.
struct Semaphore {
    std::atomic<std::uint32_t> word{0};
};

namespace {

enum : std::uint32_t { kEmpty = 0, kSignalled = 1, kEmptyWithSleeper = 2 };
constexpr long kNanosecondsPerSecond = 1000000000L;

timespec MonotonicNow() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
}

// `deadline - now`, or false if the deadline has passed.
bool Remaining(const timespec& deadline, timespec* remaining) {
    const timespec now = MonotonicNow();
    remaining->tv_sec = deadline.tv_sec - now.tv_sec;
    remaining->tv_nsec = deadline.tv_nsec - now.tv_nsec;
    if (remaining->tv_nsec < 0) {
        remaining->tv_nsec += kNanosecondsPerSecond;
        --remaining->tv_sec;
    }
    return remaining->tv_sec > 0 || (remaining->tv_sec == 0 && remaining->tv_nsec > 0);
}

}  // namespace

Semaphore* NewSemaphore() noexcept { return new (std::nothrow) Semaphore; }

bool SignalSemaphore(Semaphore* semaphore) noexcept {
    const std::uint32_t before = semaphore->word.exchange(kSignalled, std::memory_order_acq_rel);
    // Only the address is used from here on: the woken owner may free the semaphore.
    if (before == kEmptyWithSleeper) WakeOneOnWord(&semaphore->word);
    return before != kSignalled;
}

WaitResult WaitForSemaphore(Semaphore* semaphore, std::uint32_t timeoutMilliseconds) noexcept {
    const bool unlimited = timeoutMilliseconds == kInfinite;
    timespec deadline = MonotonicNow();
    deadline.tv_sec += static_cast<std::time_t>(timeoutMilliseconds / 1000);
    deadline.tv_nsec += static_cast<long>(timeoutMilliseconds % 1000) * 1000000L;
    if (deadline.tv_nsec >= kNanosecondsPerSecond) {
        deadline.tv_nsec -= kNanosecondsPerSecond;
        ++deadline.tv_sec;
    }
    for (;;) {
        if (semaphore->word.exchange(kEmpty, std::memory_order_acquire) == kSignalled) {
            return WaitResult::kSignalled;
        }
        timespec remaining;
        if (!unlimited && !Remaining(deadline, &remaining)) return WaitResult::kTimedOut;
        std::uint32_t expected = kEmpty;
        if (!semaphore->word.compare_exchange_strong(expected, kEmptyWithSleeper, std::memory_order_relaxed)) {
            continue;  // signalled meanwhile
        }
        WaitOnWord(&semaphore->word, kEmptyWithSleeper, unlimited ? nullptr : &remaining);
    }
}

bool CloseSemaphore(Semaphore* semaphore) noexcept {
    delete semaphore;
    return true;
}

std::uint64_t SystemTimeTicks() noexcept {
    constexpr std::uint64_t kTicksFrom1601To1970 = 116444736000000000ULL;
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return kTicksFrom1601To1970 + static_cast<std::uint64_t>(now.tv_sec) * 10000000ULL +
           static_cast<std::uint64_t>(now.tv_nsec) / 100U;
}

}  // namespace tessera::platform
