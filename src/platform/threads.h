// The platform's threads, locks, semaphores, thread-local slots and clock, as the
// POSIX-style thread functions need them.
#ifndef TESSERA_PLATFORM_THREADS_H
#define TESSERA_PLATFORM_THREADS_H

#include <cstdint>

namespace tessera::platform {

// ---- Recursive locks ----------------------------------------------------------------

/// Storage for one recursive lock; each platform checks that its native lock fits.
/// A critical section is trivially copyable bytes until InitCriticalSection runs on it.
struct CriticalSection {
    alignas(8) unsigned char storage[64];
};

/// Makes `section` a free lock.
void InitCriticalSection(CriticalSection* section) noexcept;
/// Frees what InitCriticalSection set up; the lock must be free.
void DestroyCriticalSection(CriticalSection* section) noexcept;
/// Takes the lock; the owning thread may take it again.
void LockCriticalSection(CriticalSection* section) noexcept;
/// Drops one level of the lock.
void UnlockCriticalSection(CriticalSection* section) noexcept;

// ---- Atomic words ---------------------------------------------------------------------

/// Adds 1 to `*value` atomically and returns the new value.
std::int32_t AtomicIncrement(std::int32_t* value) noexcept;

// Loads and stores of words that C callers own (so they cannot be std::atomic). They
// sit on every lock's path, so they are inline; every compiler that builds the library
// (GCC and Clang, MinGW included) has these builtins.

/// Reads `*value`; later reads see every write made before the matching store.
inline std::int32_t LoadAcquire(const std::int32_t* value) noexcept { return __atomic_load_n(value, __ATOMIC_ACQUIRE); }
/// Writes `*value`, publishing every earlier write to a matching load.
inline void StoreRelease(std::int32_t* value, std::int32_t desired) noexcept {
    __atomic_store_n(value, desired, __ATOMIC_RELEASE);
}
/// Reads a pointer slot with acquire ordering.
inline void* LoadAcquire(void* const* slot) noexcept { return __atomic_load_n(slot, __ATOMIC_ACQUIRE); }
/// Writes a pointer slot with release ordering.
inline void StoreRelease(void** slot, void* desired) noexcept { __atomic_store_n(slot, desired, __ATOMIC_RELEASE); }

/// Gives up the processor for at least `milliseconds` (0: lets other threads run).
void SleepFor(std::uint32_t milliseconds) noexcept;

// ---- Thread-local slots ---------------------------------------------------------------

/// What NewTlsKey returns when no key is left.
constexpr std::uint32_t kNoTlsKey = 0xFFFFFFFFu;

/// Allocates a per-thread pointer slot; every thread's value starts null.
std::uint32_t NewTlsKey() noexcept;
/// Frees a slot; false if it was not allocated.
bool FreeTlsKey(std::uint32_t key) noexcept;
/// The calling thread's value in a slot (null if never set or on error).
void* GetTlsValue(std::uint32_t key) noexcept;
/// Sets the calling thread's value in a slot; false on error.
bool SetTlsValue(std::uint32_t key, void* value) noexcept;

// ---- Threads --------------------------------------------------------------------------

/// An open handle to a thread; the thread's exit code stays readable until every handle
/// is closed.
struct ThreadHandle;
/// The code a thread runs; what it returns is the thread's exit code.
using ThreadEntry = std::uint32_t (*)(void* argument);

/// Starts `entry(argument)` on a new thread that waits for ResumeSuspendedThread before
/// it runs it; stores the new thread's id. Null if the thread could not be started.
ThreadHandle* StartSuspendedThread(ThreadEntry entry, void* argument, std::uint32_t* id) noexcept;
/// Lets a thread started suspended run.
void ResumeSuspendedThread(ThreadHandle* thread) noexcept;
/// Ends the calling thread with `exitCode` (on POSIX its stack is unwound on the way).
[[noreturn]] void EndCurrentThread(std::uint32_t exitCode);
/// A new handle to the thread with this id, or null if the platform does not know it.
ThreadHandle* OpenThreadById(std::uint32_t id) noexcept;
/// Waits without time limit until the thread has ended; false if the wait failed.
bool WaitForThread(ThreadHandle* thread) noexcept;
/// Reads the exit code of an ended thread; false on error.
bool ThreadExitCode(ThreadHandle* thread, std::uint32_t* exitCode) noexcept;
/// Closes a thread handle; false on error.
bool CloseThreadHandle(ThreadHandle* thread) noexcept;
/// The calling thread's id: a 32-bit number no other living thread has.
std::uint32_t CurrentThreadId() noexcept;

// ---- Wait semaphores ------------------------------------------------------------------

/// A counting semaphore with maximum count 1.
struct Semaphore;

/// The time-out that never ends.
constexpr std::uint32_t kInfinite = 0xFFFFFFFFu;

enum class WaitResult { kSignalled, kTimedOut, kFailed };

/// A new semaphore with count 0, or null if none could be made.
Semaphore* NewSemaphore() noexcept;
/// Raises the count to 1; false (and no change) if it is 1 already.
bool SignalSemaphore(Semaphore* semaphore) noexcept;
/// Waits up to `timeoutMilliseconds` milliseconds (measured on a clock that never jumps, kInfinite
/// for no limit) for the count to be 1, and takes it back to 0.
WaitResult WaitForSemaphore(Semaphore* semaphore, std::uint32_t timeoutMilliseconds) noexcept;
/// Frees a semaphore; false on error.
bool CloseSemaphore(Semaphore* semaphore) noexcept;

// ---- Clock ----------------------------------------------------------------------------

/// The current UTC time in 100-nanosecond ticks since 1601-01-01.
std::uint64_t SystemTimeTicks() noexcept;

}  // namespace tessera::platform

#endif  // TESSERA_PLATFORM_THREADS_H
