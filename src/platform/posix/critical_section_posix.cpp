// Recursive locks, atomic words and sleeping over POSIX threads.
#include <pthread.h>
#include <sched.h>

#include <cerrno>
#include <ctime>

#include "../threads.h"

namespace tessera::platform {

namespace {

static_assert(sizeof(pthread_mutex_t) <= sizeof(CriticalSection::storage),
              "a pthread mutex must fit a critical section");
static_assert(alignof(pthread_mutex_t) <= alignof(CriticalSection),
              "a pthread mutex must be aligned in a critical section");

pthread_mutex_t* Native(CriticalSection* section) {
    return reinterpret_cast<pthread_mutex_t*>(section->storage);
}

}  // namespace

void InitCriticalSection(CriticalSection* section) noexcept {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(Native(section), &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void DestroyCriticalSection(CriticalSection* section) noexcept {
    pthread_mutex_destroy(Native(section));
}

void LockCriticalSection(CriticalSection* section) noexcept {
    pthread_mutex_lock(Native(section));
}

void UnlockCriticalSection(CriticalSection* section) noexcept {
    pthread_mutex_unlock(Native(section));
}

std::int32_t AtomicIncrement(std::int32_t* value) noexcept {
    return __atomic_add_fetch(value, 1, __ATOMIC_SEQ_CST);
}

std::int32_t LoadAcquire(const std::int32_t* value) noexcept {
    return __atomic_load_n(value, __ATOMIC_ACQUIRE);
}

void StoreRelease(std::int32_t* value, std::int32_t desired) noexcept {
    __atomic_store_n(value, desired, __ATOMIC_RELEASE);
}

void* LoadAcquire(void* const* slot) noexcept { return __atomic_load_n(slot, __ATOMIC_ACQUIRE); }

void StoreRelease(void** slot, void* desired) noexcept {
    __atomic_store_n(slot, desired, __ATOMIC_RELEASE);
}

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
