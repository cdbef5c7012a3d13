// Condition variables: FIFO signals, lost signals, broadcast, deadlines, the time-out
// race and recursive mutexes during a wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "platform/threads.h"
#include "thread_test_support.h"

namespace tessera_test {
namespace {

using std::chrono_literals::operator""ms;
using std::chrono_literals::operator""s;

// Waiters that report, under the mutex, when they are about to wait: once the mutex is
// free again they are queued, since a wait queues before it releases the mutex.
struct Stage : MutexAndCondition {
    std::chrono::nanoseconds timeout = 10s;
    int arrived = 0;
    std::vector<int> woken, results;  // waiter numbers in wake-up order; results per waiter
    std::vector<bool> clear;          // per waiter: its semaphore was at 0 after the wait
    std::vector<varn_pthread_t> threads;

    template <typename T>
    T Read(const T& field) {
        varn_pthread_mutex_lock(&mutex);
        T value = field;
        varn_pthread_mutex_unlock(&mutex);
        return value;
    }

    // Starts one more waiter and returns once it is queued.
    void AddWaiter() {
        const int number = static_cast<int>(threads.size());
        results.push_back(-1);
        clear.push_back(false);
        threads.push_back(0);
        varn_pthread_mutex_lock(&mutex);  // publishes the grown vectors to the queued waiters
        varn_pthread_mutex_unlock(&mutex);
        ASSERT_EQ(varn_pthread_create(&threads.back(), nullptr, Wait, this), 0);
        ASSERT_TRUE(Eventually([&] { return Read(arrived) == number + 1; }));
    }

    static void* Wait(void* raw) {
        auto* stage = static_cast<Stage*>(raw);
        varn_pthread_mutex_lock(&stage->mutex);
        const int number = stage->arrived++;
        const varn_timespec deadline = DeadlineIn(stage->timeout);
        stage->results[number] = varn_pthread_cond_timedwait(&stage->cond, &stage->mutex, &deadline);
        stage->clear[number] = WaitSemaphoreIsClear();
        stage->woken.push_back(number);
        varn_pthread_mutex_unlock(&stage->mutex);
        return nullptr;
    }
};

// Signals wake waiters in arrival order; a broadcast wakes everyone queued and no later
// waiter.
TEST(Condition, SignalsWakeInArrivalOrderAndBroadcastsWakeEveryoneQueued) {
    Watchdog watchdog;
    Stage stage;
    for (int i = 0; i < 5; ++i) stage.AddWaiter();
    for (int i = 0; i < 3; ++i) {
        varn_pthread_cond_signal(&stage.cond);
        ASSERT_TRUE(Eventually([&] { return stage.Read(stage.woken).size() == std::size_t(i) + 1; }));
        EXPECT_EQ(stage.Read(stage.woken)[i], i);
    }
    varn_pthread_cond_broadcast(&stage.cond);
    ASSERT_TRUE(Eventually([&] { return stage.Read(stage.woken).size() == 5; }));
    stage.AddWaiter();  // queued after the broadcast
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(stage.Read(stage.woken).size(), 5u);
    varn_pthread_cond_signal(&stage.cond);
    JoinThreads(stage.threads);
    EXPECT_EQ(stage.results, std::vector<int>(6, 0));
    EXPECT_EQ(stage.clear, std::vector<bool>(6, true));
}

// Past deadlines time out at once and leave the queue.
TEST(Condition, PastDeadlinesTimeOutAtOnce) {
    Watchdog watchdog;
    Stage stage;
    stage.AddWaiter();
    varn_pthread_mutex_lock(&stage.mutex);
    for (const varn_timespec& past : {DeadlineIn(-1s), varn_timespec{0, 0}, varn_timespec{-5, 0}}) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(varn_pthread_cond_timedwait(&stage.cond, &stage.mutex, &past), VARN_ETIMEDOUT);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    }
    varn_pthread_mutex_unlock(&stage.mutex);
    varn_pthread_cond_signal(&stage.cond);  // still reaches the first waiter
    JoinThreads(stage.threads);
    EXPECT_EQ(stage.results, std::vector<int>{0});
}

// A waiter whose platform wait has timed out but which a signal or broadcast dequeued
// before it could unlink itself returns 0, and its semaphore ends at 0. The race is
// forced by holding the record's (recursive) lock across the time-out.
TEST(Condition, TimeOutLosesToASignalOrBroadcastThatTookTheWaiterFirst) {
    Watchdog watchdog;
    for (bool broadcast : {false, true}) {
        bool forced = false;
        for (int attempt = 0; attempt < 5 && !forced; ++attempt) {
            Stage stage;
            stage.timeout = 100ms;
            varn_pthread_cond_signal(&stage.cond);  // creates the record
            auto* record_lock = static_cast<tessera::platform::CriticalSection*>(stage.cond);
            const auto start = std::chrono::steady_clock::now();
            stage.AddWaiter();
            tessera::platform::LockCriticalSection(record_lock);
            // The waiter's deadline is at least `start + timeout`; if we were too slow,
            // it may have unlinked itself already, and the attempt proves nothing.
            forced = std::chrono::steady_clock::now() < start + stage.timeout - 10ms;
            if (forced) std::this_thread::sleep_for(stage.timeout + 50ms);
            (broadcast ? varn_pthread_cond_broadcast : varn_pthread_cond_signal)(&stage.cond);
            tessera::platform::UnlockCriticalSection(record_lock);
            JoinThreads(stage.threads);
            if (!forced) continue;
            EXPECT_EQ(stage.results, std::vector<int>{0}) << broadcast;
            EXPECT_EQ(stage.clear, std::vector<bool>{true}) << broadcast;
        }
        EXPECT_TRUE(forced) << "the machine was too slow to set up the race";
    }
}

// Signals without a waiter are lost, and a future deadline is kept; the wait releases one
// level of a recursive mutex.
TEST(Condition, LostSignalsFutureDeadlinesAndRecursiveMutexes) {
    Watchdog watchdog;
    MutexAndCondition held;
    std::atomic<bool> other_locked{false};
    varn_pthread_cond_signal(&held.cond);
    varn_pthread_cond_broadcast(&held.cond);
    varn_pthread_mutex_lock(&held.mutex);
    varn_pthread_mutex_lock(&held.mutex);
    std::thread other([&] {
        varn_pthread_mutex_lock(&held.mutex);
        other_locked = true;
        varn_pthread_mutex_unlock(&held.mutex);
    });
    const auto start = std::chrono::steady_clock::now();
    const varn_timespec deadline = DeadlineIn(60ms);
    EXPECT_EQ(varn_pthread_cond_timedwait(&held.cond, &held.mutex, &deadline), VARN_ETIMEDOUT);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 55ms);
    EXPECT_FALSE(other_locked) << "the wait released more than one level";
    varn_pthread_mutex_unlock(&held.mutex);
    EXPECT_FALSE(other_locked);
    varn_pthread_mutex_unlock(&held.mutex);
    other.join();
    EXPECT_TRUE(other_locked);
}

}  // namespace
}  // namespace tessera_test
