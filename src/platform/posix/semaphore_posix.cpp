// Wait semaphores (count 0 or 1) over a POSIX mutex and a condition variable that times
// out on the monotonic clock, and the wall clock in 100-nanosecond ticks since 1601.
#include <pthread.h>

#include <cerrno>
#include <ctime>
#include <new>

#include "../threads.h"

namespace tessera::platform {

struct Semaphore {
    pthread_mutex_t lock;
    pthread_cond_t raised;
    bool count;
};

namespace {

constexpr long kNanosecondsPerSecond = 1000000000L;

timespec MonotonicDeadline(std::uint32_t timeout_ms) {
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += static_cast<std::time_t>(timeout_ms / 1000);
    deadline.tv_nsec += static_cast<long>(timeout_ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= kNanosecondsPerSecond) {
        deadline.tv_nsec -= kNanosecondsPerSecond;
        ++deadline.tv_sec;
    }
    return deadline;
}

}  // namespace

Semaphore* NewSemaphore() noexcept {
    auto* semaphore = new (std::nothrow) Semaphore;
    if (semaphore == nullptr) return nullptr;
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    const bool made = pthread_mutex_init(&semaphore->lock, nullptr) == 0 &&
                      pthread_cond_init(&semaphore->raised, &attributes) == 0;
    pthread_condattr_destroy(&attributes);
    if (!made) {
        delete semaphore;
        return nullptr;
    }
    semaphore->count = false;
    return semaphore;
}

bool SignalSemaphore(Semaphore* semaphore) noexcept {
    pthread_mutex_lock(&semaphore->lock);
    const bool raised = !semaphore->count;
    semaphore->count = true;
    // Signalled under the lock: once the waiter has the count, it may free the semaphore.
    if (raised) pthread_cond_signal(&semaphore->raised);
    pthread_mutex_unlock(&semaphore->lock);
    return raised;
}

WaitResult WaitForSemaphore(Semaphore* semaphore, std::uint32_t timeout_ms) noexcept {
    const bool unlimited = timeout_ms == kInfinite;
    const timespec deadline = unlimited || timeout_ms == 0 ? timespec{} : MonotonicDeadline(timeout_ms);
    pthread_mutex_lock(&semaphore->lock);
    int error = 0;
    while (!semaphore->count && error == 0) {
        if (unlimited) {
            error = pthread_cond_wait(&semaphore->raised, &semaphore->lock);
        } else if (timeout_ms == 0) {
            error = ETIMEDOUT;
        } else {
            error = pthread_cond_timedwait(&semaphore->raised, &semaphore->lock, &deadline);
        }
    }
    const bool taken = semaphore->count;
    semaphore->count = false;
    pthread_mutex_unlock(&semaphore->lock);
    if (taken) return WaitResult::kSignalled;
    return error == ETIMEDOUT ? WaitResult::kTimedOut : WaitResult::kFailed;
}

bool CloseSemaphore(Semaphore* semaphore) noexcept {
    pthread_cond_destroy(&semaphore->raised);
    pthread_mutex_destroy(&semaphore->lock);
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
