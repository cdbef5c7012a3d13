// Mutexes (static initialisation, recursion, destruction), once-control, keys, and the
// header used from C (see c_interface.c).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/threads.h"
#include "threads/static_objects.h"
#include "thread_test_support.h"

extern "C" int tessera_threads_from_c(void);

namespace {

using namespace tessera_test;

TEST(Mutex, StaticInitializerCreatesOneLockUnderContention) {
    Watchdog watchdog;
    varn_pthread_mutex_t mutex = VARN_PTHREAD_MUTEX_INITIALIZER;
    EXPECT_EQ(mutex, tessera::threads::StaticInitializer());
    std::atomic<bool> go{false};
    std::atomic<int> inside{0};
    int counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            while (!go) std::this_thread::yield();
            for (int i = 0; i < 2000; ++i) {
                ASSERT_EQ(varn_pthread_mutex_lock(&mutex), 0);
                EXPECT_EQ(++inside, 1);
                ++counter;
                --inside;
                ASSERT_EQ(varn_pthread_mutex_unlock(&mutex), 0);
            }
        });
    }
    go = true;
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(counter, 8000);
    EXPECT_NE(mutex, nullptr);
    EXPECT_NE(mutex, tessera::threads::StaticInitializer());
    EXPECT_EQ(varn_pthread_mutex_destroy(&mutex), 0);
    EXPECT_EQ(mutex, nullptr);
}

TEST(Mutex, DestroyLeavesZeroWhateverTheSlotHeld) {
    varn_pthread_mutex_t never_used = VARN_PTHREAD_MUTEX_INITIALIZER;
    EXPECT_EQ(varn_pthread_mutex_destroy(&never_used), 0);
    EXPECT_EQ(never_used, nullptr);
    EXPECT_EQ(varn_pthread_mutex_destroy(&never_used), 0);  // twice is harmless
    EXPECT_EQ(never_used, nullptr);
    varn_pthread_cond_t cond = VARN_PTHREAD_COND_INITIALIZER;
    EXPECT_EQ(varn_pthread_cond_destroy(&cond), 0);
    EXPECT_EQ(cond, nullptr);
    // One destroy serves both kinds.
    ASSERT_EQ(varn_pthread_cond_init(&cond, nullptr), 0);
    EXPECT_EQ(varn_pthread_mutex_destroy(&cond), 0);
    EXPECT_EQ(cond, nullptr);
}

std::atomic<int> g_once_runs{0};
std::atomic<bool> g_once_finished{false};

void SlowOnceRoutine() {
    ++g_once_runs;
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    g_once_finished = true;
}

void NothingToDo() {}

TEST(Once, RunsOnceAndLosersWaitForTheRoutine) {
    Watchdog watchdog;
    varn_pthread_once_t control = VARN_PTHREAD_ONCE_INIT;
    std::atomic<bool> go{false};
    std::atomic<int> returned_early{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([&] {
            while (!go) std::this_thread::yield();
            EXPECT_EQ(varn_pthread_once(&control, SlowOnceRoutine), 0);
            if (!g_once_finished) ++returned_early;
        });
    }
    go = true;
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(g_once_runs, 1);
    EXPECT_EQ(returned_early, 0);
    EXPECT_EQ(control.done, 1);
    const std::int32_t counter = control.counter;
    EXPECT_EQ(varn_pthread_once(&control, SlowOnceRoutine), 0);
    EXPECT_EQ(control.counter, counter) << "a caller after completion touched the counter";
    EXPECT_EQ(g_once_runs, 1);
}

TEST(Once, NullArgumentsAreRejected) {
    varn_pthread_once_t control = VARN_PTHREAD_ONCE_INIT;
    EXPECT_EQ(varn_pthread_once(&control, nullptr), VARN_EINVAL);
    EXPECT_EQ(varn_pthread_once(nullptr, NothingToDo), VARN_EINVAL);
    EXPECT_EQ(control.done, 0);
    EXPECT_EQ(control.counter, -1);
}

void IgnoreValue(void*) {}

TEST(Keys, DestructorsAreRefused) {
    varn_pthread_key_t key = 12345;
    EXPECT_EQ(varn_pthread_key_create(&key, IgnoreValue), -1);
    EXPECT_EQ(key, 12345u);
}

TEST(CInterface, ThreadFunctionsWorkFromC) {
    Watchdog watchdog;
    EXPECT_EQ(tessera_threads_from_c(), 0);
}

}  // namespace
