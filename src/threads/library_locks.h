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
    LibraryLock() noexcept { platform::InitCriticalSection(&m_section); }
    ~LibraryLock() { platform::DestroyCriticalSection(&m_section); }
    LibraryLock(const LibraryLock&) = delete;
    LibraryLock& operator=(const LibraryLock&) = delete;

    platform::CriticalSection* Get() noexcept { return &m_section; }

private:
    platform::CriticalSection m_section;
};

/// Holds a critical section for the rest of the scope.
class SectionGuard {
public:
    explicit SectionGuard(platform::CriticalSection* section) noexcept : m_section(section) {
        platform::LockCriticalSection(m_section);
    }
    ~SectionGuard() { platform::UnlockCriticalSection(m_section); }
    SectionGuard(const SectionGuard&) = delete;
    SectionGuard& operator=(const SectionGuard&) = delete;

private:
    platform::CriticalSection* m_section;
};

/// Thread id -> handle of every thread started here and not yet joined or detached.
using ThreadRegistry = std::map<std::uint32_t, platform::ThreadHandle*>;

/// Serialises the creation of statically initialised mutexes and condition variables.
extern LibraryLock g_staticInitLock;
/// Guards g_threadRegistry.
extern LibraryLock g_threadRegistryLock;
extern ThreadRegistry g_threadRegistry;

}  // namespace tessera::threads

#endif  // TESSERA_THREADS_LIBRARY_LOCKS_H
