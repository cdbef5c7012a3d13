// Recursive mutexes: a heap critical section behind a pointer-sized slot, created on
// first use when the slot was statically initialised.
#include <tessera/varn_pthread.h>

#include <new>

#include "threads/static_objects.h"

using tessera::platform::CriticalSection;
using tessera::threads::CreatedObject;
using tessera::threads::DestroySlotObject;

int varn_pthread_mutex_init(varn_pthread_mutex_t* mutex, const varn_pthread_mutexattr_t*) {
    void* memory = ::operator new(sizeof(CriticalSection), std::nothrow);
    if (memory == nullptr) return -1;
    auto* section = new (memory) CriticalSection;
    tessera::platform::InitCriticalSection(section);
    tessera::platform::StoreRelease(mutex, section);
    return 0;
}

int varn_pthread_mutex_lock(varn_pthread_mutex_t* mutex) {
    tessera::platform::LockCriticalSection(
        static_cast<CriticalSection*>(CreatedObject(mutex, varn_pthread_mutex_init)));
    return 0;
}

int varn_pthread_mutex_unlock(varn_pthread_mutex_t* mutex) {
    tessera::platform::UnlockCriticalSection(
        static_cast<CriticalSection*>(CreatedObject(mutex, varn_pthread_mutex_init)));
    return 0;
}

int varn_pthread_mutex_destroy(varn_pthread_mutex_t* mutex) { return DestroySlotObject(mutex); }

int varn_pthread_mutexattr_init(varn_pthread_mutexattr_t*) { return 0; }

int varn_pthread_mutexattr_settype(varn_pthread_mutexattr_t*, int) { return 0; }
