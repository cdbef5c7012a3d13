// The per-thread shared object: a reference-counted object that a new thread inherits
// from the thread that starts it.
#include <tessera/varn_pthread.h>

#include "threads/per_thread.h"

namespace tessera::threads {

namespace {

varn_pthread_once_t g_sharedKeyOnce = VARN_PTHREAD_ONCE_INIT;
std::uint32_t g_sharedKey = 0;  // stays 0 if the platform has no key left

extern "C" void AllocateSharedKey(void) {
    const std::uint32_t key = platform::NewTlsKey();
    if (key != platform::kNoTlsKey) g_sharedKey = key;
}

Varn::SharedObject* CurrentSharedObject() {
    varn_pthread_once(&g_sharedKeyOnce, AllocateSharedKey);
    return static_cast<Varn::SharedObject*>(platform::GetTlsValue(g_sharedKey));
}

}  // namespace

void ReleaseSharedObject() {
    if (Varn::SharedObject* object = CurrentSharedObject()) object->Release();
}

}  // namespace tessera::threads

Varn::SharedObject* varn_pthread_getshared(void) { return tessera::threads::CurrentSharedObject(); }

long varn_pthread_setshared(Varn::SharedObject* object) {
    Varn::SharedObject* previous = tessera::threads::CurrentSharedObject();
    if (object != nullptr) object->AddRef();
    const bool stored = tessera::platform::SetTlsValue(tessera::threads::g_sharedKey, object);
    if (previous != nullptr) return previous->Release();
    return stored ? 1 : 0;
}
