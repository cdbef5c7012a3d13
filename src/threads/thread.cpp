// Threads: creation (suspended until the registry knows the thread), join, detach, exit
// and the clean-up that runs when a thread started here ends.
#include <tessera/varn_pthread.h>

#include <new>
#include <utility>

#include "threads/library_locks.h"
#include "threads/per_thread.h"

namespace tessera::threads {

namespace {

// Handed from varn_pthread_create to the new thread, which deletes it before it runs
// the routine.
struct StartBlock {
    void* (*routine)(void*);
    void* argument;
    Varn::SharedObject* shared;  // installed in the new thread; may be null
};

// The exit code of a thread is the low 32 bits of the routine's value.
std::uint32_t ExitCodeOf(void* value) { return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(value)); }

void ThreadEndCleanup() {
    ReleaseSharedObject();
    CloseWaitSemaphore();
}

std::uint32_t ThreadStart(void* raw) {
    auto* block = static_cast<StartBlock*>(raw);
    void* (*const routine)(void*) = block->routine;
    void* const argument = block->argument;
    Varn::SharedObject* const shared = block->shared;
    delete block;
    WaitSemaphore();
    varn_pthread_setshared(shared);
    void* const value = routine(argument);
    ThreadEndCleanup();
    return ExitCodeOf(value);
}

// Removes a thread's entry from the registry and returns its handle, or null.
platform::ThreadHandle* TakeFromRegistry(std::uint32_t id) {
    SectionGuard hold(g_threadRegistryLock.Get());
    const auto entry = g_threadRegistry.find(id);
    if (entry == g_threadRegistry.end()) return nullptr;
    platform::ThreadHandle* const handle = entry->second;
    g_threadRegistry.erase(entry);
    return handle;
}

}  // namespace

}  // namespace tessera::threads

namespace platform = tessera::platform;
using tessera::threads::ExitCodeOf;
using tessera::threads::g_threadRegistry;
using tessera::threads::g_threadRegistryLock;
using tessera::threads::SectionGuard;
using tessera::threads::StartBlock;
using tessera::threads::TakeFromRegistry;
using tessera::threads::ThreadEndCleanup;
using tessera::threads::ThreadRegistry;
using tessera::threads::ThreadStart;

int varn_pthread_create(varn_pthread_t* thread, const varn_pthread_attr_t* attr, void* (*routine)(void*), void* arg) {
    try {
        // The registry's node is allocated before the thread exists, so that nothing can
        // fail between starting the thread and recording it.
        ThreadRegistry spare{{0, nullptr}};
        ThreadRegistry::node_type entry = spare.extract(spare.begin());
        // No reference is taken here: the new thread takes its own when it installs it.
        Varn::SharedObject* const shared = varn_pthread_getshared();
        const bool inherit = attr == nullptr || (*attr & VARN_PTHREAD_ATTR_NO_SHARED) == 0;
        auto* block = new StartBlock{routine, arg, inherit ? shared : nullptr};
        std::uint32_t id = 0;
        platform::ThreadHandle* const handle = platform::StartSuspendedThread(ThreadStart, block, &id);
        if (handle == nullptr) {
            delete block;
            return -1;
        }
        entry.key() = id;
        entry.mapped() = handle;
        bool recorded;
        {
            SectionGuard hold(g_threadRegistryLock.Get());
            recorded = g_threadRegistry.insert(std::move(entry)).inserted;
        }
        platform::ResumeSuspendedThread(handle);
        // An entry left by an ended, unjoined thread whose id was reused stays; the new
        // thread's handle is not recorded.
        if (!recorded) platform::CloseThreadHandle(handle);
        *thread = id;
        return 0;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

int varn_pthread_join(varn_pthread_t thread, void** value) {
    // A thread that waited for itself would wait forever; refused before the registry is
    // touched, it stays joinable by its creator (who may be waiting for it already).
    if (thread == platform::CurrentThreadId()) return -1;
    platform::ThreadHandle* handle = TakeFromRegistry(thread);
    if (handle == nullptr) {
        handle = platform::OpenThreadById(thread);
        if (handle == nullptr) return -1;
    }
    std::uint32_t exitCode = 0;
    const bool ended = platform::WaitForThread(handle) && platform::ThreadExitCode(handle, &exitCode);
    platform::CloseThreadHandle(handle);
    if (!ended) return -1;
    if (value != nullptr) *value = reinterpret_cast<void*>(static_cast<std::uintptr_t>(exitCode));
    return 0;
}

int varn_pthread_detach(varn_pthread_t thread) {
    platform::ThreadHandle* const handle = TakeFromRegistry(thread);
    if (handle == nullptr) return -1;
    return platform::CloseThreadHandle(handle) ? 0 : -1;
}

void varn_pthread_exit(void* value) {
    ThreadEndCleanup();
    platform::EndCurrentThread(ExitCodeOf(value));
}

varn_pthread_t varn_pthread_self(void) { return platform::CurrentThreadId(); }
