// Helpers for the thread tests: a watchdog that ends a hung test, deadlines, polling,
// groups of threads, and a shared object that counts its references.
#ifndef TESSERA_TESTS_THREADS_THREAD_TEST_SUPPORT_H
#define TESSERA_TESTS_THREADS_THREAD_TEST_SUPPORT_H

#include <gtest/gtest.h>
#include <tessera/varn_pthread.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>
#include <vector>

#include "platform/threads.h"
#include "threads/per_thread.h"

namespace tessera_test {

/// Aborts the process if it still exists after `limit`: no test waits forever.
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds limit = std::chrono::seconds(20))
        : thread_([done = done_.get_future(), limit] {
              if (done.wait_for(limit) == std::future_status::ready) return;
              std::fprintf(stderr, "watchdog: the test hung\n");
              std::abort();
          }) {}
    ~Watchdog() {
        done_.set_value();
        thread_.join();
    }

private:
    std::promise<void> done_;
    std::thread thread_;
};

/// The wall-clock time `offset` from now as a deadline for varn_pthread_cond_timedwait.
inline varn_timespec DeadlineIn(std::chrono::nanoseconds offset) {
    const auto since_epoch = std::chrono::system_clock::now().time_since_epoch() + offset;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(since_epoch - seconds);
    return varn_timespec{static_cast<std::int32_t>(seconds.count()), static_cast<std::int32_t>(nanoseconds.count())};
}

/// A mutex and a condition variable, destroyed with their holder.
struct MutexAndCondition {
    varn_pthread_mutex_t mutex = VARN_PTHREAD_MUTEX_INITIALIZER;
    varn_pthread_cond_t cond = VARN_PTHREAD_COND_INITIALIZER;

    ~MutexAndCondition() {
        varn_pthread_cond_destroy(&cond);
        varn_pthread_mutex_destroy(&mutex);
    }
};

/// A shared object that counts its references.
class CountedObject : public Varn::SharedObject {
public:
    long AddRef() override { return ++references_; }
    long Release() override { return --references_; }
    long References() const { return references_; }

private:
    std::atomic<long> references_{0};
};

/// Polls `condition` every millisecond until it holds or `limit` has passed.
template <typename Condition>
bool Eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto give_up = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > give_up) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

/// True when the calling thread's wait semaphore holds no count.
inline bool WaitSemaphoreIsClear() {
    tessera::platform::Semaphore* semaphore = tessera::threads::PeekWaitSemaphore();
    return semaphore == nullptr ||
           tessera::platform::WaitForSemaphore(semaphore, 0) == tessera::platform::WaitResult::kTimedOut;
}

/// Runs `body` on `count` threads that start together, and joins them.
template <typename Body>
void RunTogether(int count, Body body) {
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < count; ++t) {
        threads.emplace_back([&] {
            while (!go) std::this_thread::yield();
            body();
        });
    }
    go = true;
    for (std::thread& thread : threads) thread.join();
}

/// Starts one thread per slot of `ids`, each running routine(argument).
inline void StartThreads(std::vector<varn_pthread_t>& ids, void* (*routine)(void*), void* argument) {
    for (varn_pthread_t& id : ids) ASSERT_EQ(varn_pthread_create(&id, nullptr, routine, argument), 0);
}

inline void JoinThreads(const std::vector<varn_pthread_t>& ids) {
    for (const varn_pthread_t id : ids) ASSERT_EQ(varn_pthread_join(id, nullptr), 0);
}

inline void* ToValue(std::uintptr_t number) { return reinterpret_cast<void*>(number); }

}  // namespace tessera_test

#endif  // TESSERA_TESTS_THREADS_THREAD_TEST_SUPPORT_H
