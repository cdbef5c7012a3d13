// Mutexes and condition variables live in one pointer-sized slot that holds the address
// of a heap object starting with a critical section, the static initializer (all bits
// set) until first use, or 0 after destruction.
#ifndef TESSERA_THREADS_STATIC_OBJECTS_H
#define TESSERA_THREADS_STATIC_OBJECTS_H

#include <cstdint>

#include "platform/threads.h"

namespace tessera::threads {

/// The slot value of VARN_PTHREAD_MUTEX_INITIALIZER and VARN_PTHREAD_COND_INITIALIZER.
inline void* StaticInitializer() noexcept { return reinterpret_cast<void*>(~std::uintptr_t{0}); }

/// varn_pthread_mutex_init or varn_pthread_cond_init.
using SlotInit = int (*)(void** slot, const int* attr);

/// Runs `init` on a slot that still holds the static initializer, under g_staticInitLock,
/// and returns the slot's object.
void* CreateStaticObject(void** slot, SlotInit init) noexcept;

/// The object in a slot, created first if the slot holds the static initializer.
inline void* CreatedObject(void** slot, SlotInit init) noexcept {
    void* object = platform::LoadAcquire(slot);
    return object != StaticInitializer() ? object : CreateStaticObject(slot, init);
}

/// Frees the object in a slot (a mutex or a condition variable alike) and leaves 0.
int DestroySlotObject(void** slot) noexcept;

}  // namespace tessera::threads

#endif  // TESSERA_THREADS_STATIC_OBJECTS_H
