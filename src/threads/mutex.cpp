// Recursive mutexes: a heap critical section behind a pointer-sized slot, created on
// first use when the slot was statically initialised.
#include <tessera/varn_pthread.h>

#include <new>

#include "threads/library_locks.h"
#include "threads/static_objects.h"

namespace tessera::threads {

void CreateStaticObject(void** slot, SlotInit init) noexcept {
    SectionGuard hold(static_init_lock.get());
    if (platform::LoadAcquire(slot) == StaticInitializer()) init(slot, nullptr);
}

int DestroySlotObject(void** slot) noexcept {
    void* object = platform::LoadAcquire(slot);
    if (object != StaticInitializer() && object != nullptr) {
        // Both kinds of object start with their critical section.
        platform::DestroyCriticalSection(static_cast<platform::CriticalSection*>(object));
        ::operator delete(object);
    }
    platform::StoreRelease(slot, nullptr);
    return 0;
}

}  // namespace tessera::threads

using tessera::platform::CriticalSection;
using namespace tessera::threads;

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
