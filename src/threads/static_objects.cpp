// First use and destruction of the objects behind mutex and condition-variable slots.
#include "threads/static_objects.h"

#include "threads/library_locks.h"

namespace tessera::threads {

void* CreateStaticObject(void** slot, SlotInit init) noexcept {
    SectionGuard hold(g_staticInitLock.Get());
    if (platform::LoadAcquire(slot) == StaticInitializer()) init(slot, nullptr);
    return platform::LoadAcquire(slot);
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
