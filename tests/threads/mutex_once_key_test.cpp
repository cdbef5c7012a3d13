// Mutexes (static initialisation, recursion, destruction), once-control, keys, and the
// header used from C (see c_interface.c).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "platform/threads.h"
#include "thread_test_support.h"
#include "threads/static_objects.h"

extern "C" int tessera_threads_from_c(void);

namespace tessera_test {
namespace {

// Threads racing on the first use of a statically initialised mutex create exactly one
// lock: a second one would let two threads in at once, or leak, which the leak checker
// reports. (Condition variables are created on first use by the same code.)
TEST(Mutex, StaticInitializerCreatesOneLockUnderContention) {
    Watchdog watchdog;
    for (int round = 0; round < 50; ++round) {
        varn_pthread_mutex_t mutex = VARN_PTHREAD_MUTEX_INITIALIZER;
        std::atomic<int> inside{0};
        int counter = 0;
        RunTogether(4, [&] {
            for (int i = 0; i < 50; ++i) {
                ASSERT_EQ(varn_pthread_mutex_lock(&mutex), 0);
                EXPECT_EQ(++inside, 1);
                ++counter;
                --inside;
                ASSERT_EQ(varn_pthread_mutex_unlock(&mutex), 0);
            }
        });
        ASSERT_EQ(counter, 200);
        EXPECT_NE(mutex, tessera::threads::StaticInitializer());
        EXPECT_EQ(varn_pthread_mutex_destroy(&mutex), 0);
        EXPECT_EQ(mutex, nullptr);
    }
}

TEST(Mutex, DestroyLeavesZeroWhateverTheSlotHeld) {
    varn_pthread_mutex_t never_used = VARN_PTHREAD_MUTEX_INITIALIZER;
    for (int twice = 0; twice < 2; ++twice) {  // the second time is harmless
        EXPECT_EQ(varn_pthread_mutex_destroy(&never_used), 0);
        EXPECT_EQ(never_used, nullptr);
    }
    varn_pthread_cond_t cond = VARN_PTHREAD_COND_INITIALIZER;
    EXPECT_EQ(varn_pthread_cond_destroy(&cond), 0);
    EXPECT_EQ(cond, nullptr);
    ASSERT_EQ(varn_pthread_cond_init(&cond, nullptr), 0);
    EXPECT_EQ(varn_pthread_mutex_destroy(&cond), 0);  // one destroy serves both kinds
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
    std::atomic<int> returned_early{0};
    RunTogether(6, [&] {
        EXPECT_EQ(varn_pthread_once(&control, SlowOnceRoutine), 0);
        if (!g_once_finished) ++returned_early;
    });
    EXPECT_EQ(g_once_runs, 1);
    EXPECT_EQ(returned_early, 0);
    EXPECT_EQ(control.done, 1);
    const std::int32_t counter = control.counter;
    EXPECT_EQ(varn_pthread_once(&control, SlowOnceRoutine), 0);
    EXPECT_EQ(control.counter, counter) << "a caller after completion touched the counter";
    EXPECT_EQ(g_once_runs, 1);
}

void IgnoreValue(void*) {}

TEST(OnceAndKeys, NullRoutinesAndKeyDestructorsAreRefused) {
    varn_pthread_once_t control = VARN_PTHREAD_ONCE_INIT;
    EXPECT_EQ(varn_pthread_once(&control, nullptr), VARN_EINVAL);
    EXPECT_EQ(varn_pthread_once(nullptr, NothingToDo), VARN_EINVAL);
    EXPECT_EQ(control.done, 0);
    EXPECT_EQ(control.counter, -1);
    varn_pthread_key_t key = 12345;
    EXPECT_EQ(varn_pthread_key_create(&key, IgnoreValue), -1);
    EXPECT_EQ(key, 12345u);
}

TEST(CInterface, ThreadFunctionsWorkFromC) {
    Watchdog watchdog;
    EXPECT_EQ(tessera_threads_from_c(), 0);
}

}  // namespace
}  // namespace tessera_test
