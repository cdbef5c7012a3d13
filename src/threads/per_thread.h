// What each thread keeps in its thread-local slots: its shared object and its wait
// semaphore.
#ifndef TESSERA_THREADS_PER_THREAD_H
#define TESSERA_THREADS_PER_THREAD_H

#include "platform/threads.h"

namespace tessera::threads {

/// The calling thread's wait semaphore, created on first use and taken back to count 0;
/// null if the platform could not make one.
platform::Semaphore* WaitSemaphore() noexcept;

/// The calling thread's wait semaphore as it is, or null if it has none yet.
platform::Semaphore* PeekWaitSemaphore() noexcept;

/// Closes the ending thread's wait semaphore, if it has one (the slot keeps the value).
void CloseWaitSemaphore() noexcept;

/// Drops the ending thread's reference on its shared object (the slot keeps the value).
void ReleaseSharedObject();

}  // namespace tessera::threads

#endif  // TESSERA_THREADS_PER_THREAD_H
