// Threads: exit values, join and detach edge cases, the registry, shared-object
// inheritance and reference counts.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "platform/threads.h"
#include "thread_test_support.h"
#include "threads/library_locks.h"

namespace tessera_test {
namespace {

bool InRegistry(varn_pthread_t id) {
    tessera::threads::SectionGuard hold(tessera::threads::g_threadRegistryLock.Get());
    return tessera::threads::g_threadRegistry.count(id) != 0;
}

void* ReturnArgument(void* argument) { return argument; }

// How a thread ended, and what it saw of the registry and the shared object while it ran.
struct Probe {
    CountedObject* object;
    bool exits;  // by varn_pthread_exit rather than by returning
    std::uintptr_t value;
    std::atomic<int> registered;  // 0 until the routine has looked, then 1 (no) or 2 (yes)
    Varn::SharedObject* seen;
    long references;
};

// Unwinding by varn_pthread_exit runs the destructors of the ending thread's frames.
std::atomic<int> g_frames_unwound{0};
struct CountOnDestruction {
    ~CountOnDestruction() { ++g_frames_unwound; }
};

void* RunProbe(void* raw) {
    auto* probe = static_cast<Probe*>(raw);
    probe->registered = InRegistry(varn_pthread_self()) ? 2 : 1;
    probe->seen = varn_pthread_getshared();
    probe->references = probe->object->References();
    if (!probe->exits) return ToValue(probe->value);
    CountOnDestruction frame;
    varn_pthread_exit(ToValue(probe->value));
    return nullptr;  // not reached
}

// A new thread runs only once the registry knows it, and leaves it when joined; it
// inherits the shared object unless its attribute says no, and drops its reference
// however it ends; its exit value travels as a 32-bit code. The table runs a few times
// over, for the race between the routine and its registration.
TEST(Thread, ExitValuesAndTheInheritedSharedObject) {
    Watchdog watchdog;
    CountedObject object;
    ASSERT_EQ(varn_pthread_getshared(), nullptr);
    EXPECT_EQ(varn_pthread_setshared(&object), 1) << "no previous object: the store's result";
    const varn_pthread_attr_t no_shared = VARN_PTHREAD_ATTR_NO_SHARED, other_bits = 0x3FFF;
    struct Case {
        const varn_pthread_attr_t* attr;
        bool exits;
        std::uintptr_t value, joined;
        Varn::SharedObject* seen;
        long references_while_running;
    };
    const Case cases[] = {
        {nullptr, false, 7, 7, &object, 2},
        {nullptr, true, 9, 9, &object, 2},
        {nullptr, false, 0xFFFFFFFFu, 0xFFFFFFFFu, &object, 2},
        {&other_bits, true, 0, 0, &object, 2},
        {nullptr, false, static_cast<std::uintptr_t>(-1), 0xFFFFFFFFu, &object, 2},  // the low 32 bits
        {&no_shared, false, 5, 5, nullptr, 1},
    };
    constexpr int kRounds = 4;
    for (int round = 0; round < kRounds; ++round) {
        for (const Case& c : cases) {
            SCOPED_TRACE((c.attr ? "attribute " + std::to_string(*c.attr) : "no attribute") +
                         (c.exits ? ", exits with " : ", returns ") + std::to_string(c.value));
            Probe probe{&object, c.exits, c.value, {0}, nullptr, 0};
            varn_pthread_t id = 0;
            ASSERT_EQ(varn_pthread_create(&id, c.attr, RunProbe, &probe), 0);
            ASSERT_TRUE(Eventually([&] { return probe.registered != 0; }));  // a join takes the entry
            EXPECT_EQ(probe.registered, 2);
            void* value = ToValue(12345);
            ASSERT_EQ(varn_pthread_join(id, &value), 0);
            EXPECT_FALSE(InRegistry(id));
            EXPECT_EQ(value, ToValue(c.joined));
            EXPECT_EQ(probe.seen, c.seen);
            EXPECT_EQ(probe.references, c.references_while_running);
            EXPECT_EQ(object.References(), 1) << "the ended thread dropped its reference";
        }
    }
#if !defined(_WIN32)  // Windows ends the thread where it stands, without unwinding
    EXPECT_EQ(g_frames_unwound, 2 * kRounds);
#endif
    EXPECT_EQ(varn_pthread_setshared(&object), 1) << "the old reference's Release result";
    EXPECT_EQ(object.References(), 1);
    EXPECT_EQ(varn_pthread_setshared(nullptr), 0);
    EXPECT_EQ(object.References(), 0);
    EXPECT_EQ(varn_pthread_getshared(), nullptr);
}

void* WaitForRelease(void* release) {
    auto* flag = static_cast<std::atomic<bool>*>(release);
    while (!*flag) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return ToValue(5);
}

// Sets release after a moment, from a thread of its own.
std::thread ReleaseSoon(std::atomic<bool>& release) {
    return std::thread([&release] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        release = true;
    });
}

// A detached thread is out of the registry but can still be joined by id while it runs;
// once it has ended, and for an id never handed out, join and detach are refused.
TEST(Thread, DetachedThreadCanBeJoinedByIdWhileItRunsEndedAndUnknownIdsNot) {
    Watchdog watchdog;
    std::atomic<bool> release{false};
    varn_pthread_t id;
    ASSERT_EQ(varn_pthread_create(&id, nullptr, WaitForRelease, &release), 0);
    ASSERT_EQ(varn_pthread_detach(id), 0);
    EXPECT_FALSE(InRegistry(id));
    EXPECT_EQ(varn_pthread_detach(id), -1);
    std::thread releaser = ReleaseSoon(release);
    void* value = nullptr;
    EXPECT_EQ(varn_pthread_join(id, &value), 0);  // opened by id
    EXPECT_EQ(value, ToValue(5));
    releaser.join();
    for (const varn_pthread_t gone : {id, varn_pthread_t{0xFFFFFFF0u}}) {
        EXPECT_EQ(varn_pthread_join(gone, nullptr), -1) << gone;
        EXPECT_EQ(varn_pthread_detach(gone), -1) << gone;
    }
}

// A reused id whose old entry is still in the registry: the old entry stays, joining
// the id collects the old thread, and the new thread is reached by id alone.
TEST(Thread, EntryOfAnUnjoinedThreadSurvivesTheReuseOfItsId) {
    Watchdog watchdog;
    varn_pthread_t old_thread;
    ASSERT_EQ(varn_pthread_create(&old_thread, nullptr, ReturnArgument, ToValue(11)), 0);
    const varn_pthread_t next = old_thread + 1;  // where ids are handed out in order
    {
        tessera::threads::SectionGuard hold(tessera::threads::g_threadRegistryLock.Get());
        tessera::threads::g_threadRegistry[next] = tessera::platform::OpenThreadById(old_thread);
    }
    std::atomic<bool> release{false};
    varn_pthread_t fresh;
    ASSERT_EQ(varn_pthread_create(&fresh, nullptr, WaitForRelease, &release), 0);
    void* value = nullptr;
    EXPECT_EQ(varn_pthread_join(next, &value), 0);
    EXPECT_EQ(value, ToValue(11)) << "joined the old thread";
    if (fresh != next) {
        release = true;
        EXPECT_EQ(varn_pthread_join(fresh, nullptr), 0);
        EXPECT_EQ(varn_pthread_join(old_thread, nullptr), 0);
        GTEST_SKIP() << "the platform does not hand out thread ids in order";
    }
    EXPECT_EQ(varn_pthread_detach(fresh), -1) << "the new thread was not recorded";
    std::thread releaser = ReleaseSoon(release);
    EXPECT_EQ(varn_pthread_join(fresh, &value), 0);  // opened by id while it runs
    EXPECT_EQ(value, ToValue(5));
    releaser.join();
    EXPECT_EQ(varn_pthread_join(old_thread, nullptr), 0);
}

// A thread that joins itself gets -1 at once and stays joinable by its creator, whether
// the creator joins after it or is already waiting in a join of its own.
struct SelfJoin {
    bool wait_for_creator;  // self-join only once the creator's join has taken the entry
    std::atomic<int> result{0};
};

void* JoinSelf(void* raw) {
    auto* self = static_cast<SelfJoin*>(raw);
    if (self->wait_for_creator && !Eventually([] { return !InRegistry(varn_pthread_self()); })) return ToValue(0);
    self->result = varn_pthread_join(varn_pthread_self(), nullptr);
    return ToValue(21);
}

TEST(Thread, SelfJoinFailsAtOnceAndLeavesTheThreadJoinable) {
    Watchdog watchdog;
    for (const bool wait_for_creator : {false, true}) {
        SCOPED_TRACE(wait_for_creator ? "creator joins first" : "thread joins itself first");
        SelfJoin self{wait_for_creator};
        varn_pthread_t id;
        ASSERT_EQ(varn_pthread_create(&id, nullptr, JoinSelf, &self), 0);
        if (!wait_for_creator) {
            ASSERT_TRUE(Eventually([&] { return self.result != 0; }));
        }
        void* value = nullptr;
        EXPECT_EQ(varn_pthread_join(id, &value), 0);
        EXPECT_EQ(value, ToValue(21));
        EXPECT_EQ(self.result, -1);
    }
    EXPECT_EQ(varn_pthread_join(varn_pthread_self(), nullptr), -1) << "a thread not started here";
}

}  // namespace
}  // namespace tessera_test
