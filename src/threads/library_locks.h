// The thread functions' library-wide state: the lock for statically initialised mutexes
// and condition variables, and the thread registry with its lock. They are defined with
// the library's other statics, which fixes when they are created and destroyed.
#ifndef TESSERA_THREADS_LIBRARY_LOCKS_H
#define TESSERA_THREADS_LIBRARY_LOCKS_H

#include <cstdint>
#include <map>

#include "platform/threads.h"

namespace tessera::threads {

/// A critical section that exists from library load to unload.
class LibraryLock {
public:
    LibraryLock() noexcept { platform::InitCriticalSection(&section_); }
    ~LibraryLock() { platform::DestroyCriticalSection(&section_); }
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

    platform::CriticalSection* get() noexcept { return &section_; }

private:
    platform::CriticalSection section_;
};

/// Holds a critical section for the rest of the scope.
class SectionGuard {
public:
    explicit SectionGuard(platform::CriticalSection* section) noexcept : section_(section) {
        platform::LockCriticalSection(section_);
    }
    ~SectionGuard() { platform::UnlockCriticalSection(section_); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    platform::CriticalSection* section_;
};

/// Thread id -> handle of every thread started here and not yet joined or detached.
using ThreadRegistry = std::map<std::uint32_t, platform::ThreadHandle*>;

/// Serialises the creation of statically initialised mutexes and condition variables.
extern LibraryLock static_init_lock;
/// Guards thread_registry.
extern LibraryLock thread_registry_lock;
extern ThreadRegistry thread_registry;

}  // namespace tessera::threads

#endif  // TESSERA_THREADS_LIBRARY_LOCKS_H
