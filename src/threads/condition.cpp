// Condition variables: a FIFO queue of waiters that live on the waiting threads' stacks,
// each woken through its own thread's wait semaphore, and a broadcast generation that
// tells a timed-out waiter whether a broadcast has already claimed it.
#include <tessera/varn_pthread.h>

#include <cstddef>
#include <new>
#include <type_traits>

#include "threads/deadline.h"
#include "threads/library_locks.h"
#include "threads/per_thread.h"
#include "threads/static_objects.h"

namespace tessera::threads {

namespace {

struct Waiter {
    Waiter* older;  // toward the head of the queue
    Waiter* newer;  // toward the tail
    platform::Semaphore* semaphore;
    unsigned char signalled;  // set by the signal that dequeued this waiter
};

struct CondRecord {
    platform::CriticalSection lock;  // first, so that one destroy frees mutexes and these
    Waiter* head;
    Waiter* tail;
    std::uint32_t generation;  // counts broadcasts, wrapping
};
static_assert(std::is_standard_layout_v<CondRecord> && offsetof(CondRecord, lock) == 0,
              "a condition record starts with its critical section");

constexpr int kWoken = 0;

CondRecord* RecordOf(varn_pthread_cond_t* cond) {
    return static_cast<CondRecord*>(CreatedObject(cond, varn_pthread_cond_init));
}

void Unlink(CondRecord* record, Waiter* waiter) {
    if (waiter->newer != nullptr) {
        waiter->newer->older = waiter->older;
    } else {
        record->tail = waiter->older;
    }
    if (waiter->older != nullptr) {
        waiter->older->newer = waiter->newer;
    } else {
        record->head = waiter->newer;
    }
}

int WaitMs(CondRecord* record, varn_pthread_mutex_t* mutex, std::uint32_t timeoutMs) {
    auto* const mutexSection = static_cast<platform::CriticalSection*>(platform::LoadAcquire(mutex));
    Waiter self{nullptr, nullptr, WaitSemaphore(), 0};
    if (self.semaphore == nullptr) {  // cannot block: a spurious wake-up
        platform::UnlockCriticalSection(mutexSection);
        platform::LockCriticalSection(mutexSection);
        return kWoken;
    }
    std::uint32_t generation;
    {
        SectionGuard hold(&record->lock);
        self.older = record->tail;
        if (record->tail != nullptr) record->tail->newer = &self;
        record->tail = &self;
        if (record->head == nullptr) record->head = &self;
        generation = record->generation;
    }
    platform::UnlockCriticalSection(mutexSection);
    platform::WaitResult result = platform::WaitForSemaphore(self.semaphore, timeoutMs);
    if (result != platform::WaitResult::kSignalled) {
        // Exactly one of this waiter and a signal or broadcast takes it off the queue.
        platform::LockCriticalSection(&record->lock);
        if (self.signalled == 0 && record->generation == generation) {
            Unlink(record, &self);
            platform::UnlockCriticalSection(&record->lock);
        } else {
            platform::UnlockCriticalSection(&record->lock);
            platform::WaitForSemaphore(self.semaphore, platform::kInfinite);
            result = platform::WaitResult::kSignalled;
        }
    }
    platform::LockCriticalSection(mutexSection);
    return result == platform::WaitResult::kTimedOut ? VARN_ETIMEDOUT : kWoken;
}

}  // namespace

}  // namespace tessera::threads

namespace platform = tessera::platform;
using tessera::threads::CondRecord;
using tessera::threads::DeadlineToTimeoutMs;
using tessera::threads::DestroySlotObject;
using tessera::threads::RecordOf;
using tessera::threads::SectionGuard;
using tessera::threads::Waiter;
using tessera::threads::WaitMs;

int varn_pthread_cond_init(varn_pthread_cond_t* cond, const varn_pthread_condattr_t*) {
    void* memory = ::operator new(sizeof(CondRecord), std::nothrow);
    if (memory == nullptr) return -1;
    auto* record = new (memory) CondRecord{};
    platform::InitCriticalSection(&record->lock);
    platform::StoreRelease(cond, record);
    return 0;
}

int varn_pthread_cond_wait(varn_pthread_cond_t* cond, varn_pthread_mutex_t* mutex) {
    return WaitMs(RecordOf(cond), mutex, platform::kInfinite);
}

int varn_pthread_cond_timedwait(varn_pthread_cond_t* cond, varn_pthread_mutex_t* mutex, const varn_timespec* deadline) {
    CondRecord* const record = RecordOf(cond);
    return WaitMs(record, mutex, DeadlineToTimeoutMs(*deadline, platform::SystemTimeTicks()));
}

int varn_pthread_cond_signal(varn_pthread_cond_t* cond) {
    CondRecord* const record = RecordOf(cond);
    platform::Semaphore* semaphore = nullptr;
    {
        SectionGuard hold(&record->lock);
        Waiter* const oldest = record->head;
        if (oldest != nullptr) {
            record->head = oldest->newer;
            if (oldest->newer != nullptr) {
                oldest->newer->older = nullptr;
            } else {
                record->tail = nullptr;
            }
            oldest->signalled = 1;
            semaphore = oldest->semaphore;
        }
    }
    if (semaphore != nullptr) platform::SignalSemaphore(semaphore);
    return 0;
}

int varn_pthread_cond_broadcast(varn_pthread_cond_t* cond) {
    CondRecord* const record = RecordOf(cond);
    Waiter* waiter;
    {
        SectionGuard hold(&record->lock);
        waiter = record->head;
        record->head = nullptr;
        record->tail = nullptr;
        ++record->generation;
    }
    while (waiter != nullptr) {
        // Read before the release: a released waiter returns and its record goes away.
        Waiter* const newer = waiter->newer;
        platform::Semaphore* const semaphore = waiter->semaphore;
        platform::SignalSemaphore(semaphore);
        waiter = newer;
    }
    return 0;
}

int varn_pthread_cond_destroy(varn_pthread_cond_t* cond) { return DestroySlotObject(cond); }
