// Many threads for a bounded time: create/join cycles, and signals, broadcasts and
// timed waits racing one another. A lost wake-up hangs a waiter (the watchdog ends the
// test); a doubled one leaves a wait semaphore signalled, which every waiter checks after
// every wait.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/threads.h"
#include "thread_test_support.h"

namespace tessera_test {
namespace {

using std::chrono_literals::operator""s;

constexpr auto kPhaseLength = 1s;

void* Identity(void* value) { return value; }

void* CreateAndJoinUntilDeadline(void* raw) {
    const auto end = *static_cast<std::chrono::steady_clock::time_point*>(raw);
    std::uintptr_t failures = 0;
    for (std::uintptr_t i = 1; std::chrono::steady_clock::now() < end; ++i) {
        varn_pthread_t id;
        if (varn_pthread_create(&id, nullptr, Identity, ToValue(i)) != 0) return ToValue(1000000);
        if (i % 5 == 0) {
            failures += varn_pthread_detach(id) != 0;
            continue;
        }
        void* value = nullptr;
        failures += varn_pthread_join(id, &value) != 0 || value != ToValue(i);
    }
    return ToValue(failures);
}

TEST(Stress, CreateAndJoinFromManyThreads) {
    Watchdog watchdog(30s);
    auto end = std::chrono::steady_clock::now() + kPhaseLength;
    std::vector<varn_pthread_t> creators(4);
    StartThreads(creators, CreateAndJoinUntilDeadline, &end);
    for (varn_pthread_t creator : creators) {
        void* failures = ToValue(99);
        ASSERT_EQ(varn_pthread_join(creator, &failures), 0);
        EXPECT_EQ(failures, nullptr);
    }
}

// Producers add tokens and signal (now and then broadcast); consumers take tokens,
// waiting with time-outs from 0 to a few milliseconds or with a long deadline.
struct TokenStage : MutexAndCondition {
    std::chrono::steady_clock::time_point end;
    bool stop = false;
    long tokens = 0, produced = 0, consumed = 0, signals = 0, broadcasts = 0, woken = 0, timed_out = 0;
    long unclear_semaphores = 0;
    unsigned next_seed = 1;

    static void* Produce(void* raw) {
        auto* stage = static_cast<TokenStage*>(raw);
        varn_pthread_mutex_lock(&stage->mutex);
        std::minstd_rand random(stage->next_seed++);
        varn_pthread_mutex_unlock(&stage->mutex);
        while (std::chrono::steady_clock::now() < stage->end) {
            varn_pthread_mutex_lock(&stage->mutex);
            ++stage->tokens;
            ++stage->produced;
            const bool broadcast = random() % 8 == 0;
            ++(broadcast ? stage->broadcasts : stage->signals);
            (broadcast ? varn_pthread_cond_broadcast : varn_pthread_cond_signal)(&stage->cond);
            varn_pthread_mutex_unlock(&stage->mutex);
            if (random() % 4 == 0) tessera::platform::SleepFor(random() % 2);
        }
        return nullptr;
    }

    static void* Consume(void* raw) {
        auto* stage = static_cast<TokenStage*>(raw);
        varn_pthread_mutex_lock(&stage->mutex);
        std::minstd_rand random(stage->next_seed++);
        for (;;) {
            while (stage->tokens == 0 && !stage->stop) {
                const auto wait =
                    random() % 4 == 0 ? std::chrono::nanoseconds(5s) : std::chrono::nanoseconds(random() % 3000000);
                const varn_timespec deadline = DeadlineIn(wait);
                const int result = varn_pthread_cond_timedwait(&stage->cond, &stage->mutex, &deadline);
                ++(result == 0 ? stage->woken : stage->timed_out);
                stage->unclear_semaphores += !WaitSemaphoreIsClear();
            }
            if (stage->tokens == 0) break;
            --stage->tokens;
            ++stage->consumed;
        }
        varn_pthread_mutex_unlock(&stage->mutex);
        return nullptr;
    }
};

TEST(Stress, SignalsBroadcastsAndTimedWaitsRace) {
    Watchdog watchdog(30s);
    TokenStage stage;
    stage.end = std::chrono::steady_clock::now() + kPhaseLength;
    std::vector<varn_pthread_t> consumers(6), producers(2);
    StartThreads(consumers, TokenStage::Consume, &stage);
    StartThreads(producers, TokenStage::Produce, &stage);
    JoinThreads(producers);
    varn_pthread_mutex_lock(&stage.mutex);
    stage.stop = true;
    varn_pthread_cond_broadcast(&stage.cond);
    varn_pthread_mutex_unlock(&stage.mutex);
    JoinThreads(consumers);

    EXPECT_GT(stage.produced, 0);
    EXPECT_EQ(stage.consumed, stage.produced);
    EXPECT_EQ(stage.tokens, 0);
    EXPECT_EQ(stage.unclear_semaphores, 0);
    // Each signal wakes at most one waiter; each broadcast at most every consumer.
    EXPECT_LE(stage.woken, stage.signals + (stage.broadcasts + 1) * long(consumers.size()));
    EXPECT_GT(stage.timed_out, 0) << "the time-outs never raced";
}

}  // namespace
}  // namespace tessera_test
