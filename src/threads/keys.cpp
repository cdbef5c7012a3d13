// Thread-specific keys: platform thread-local slots, without destructors.
#include <tessera/varn_pthread.h>

#include "platform/threads.h"

int varn_pthread_key_create(varn_pthread_key_t* key, void (*destructor)(void*)) {
    if (destructor != nullptr) return -1;
    const std::uint32_t index = tessera::platform::NewTlsKey();
    if (index == tessera::platform::kNoTlsKey) return -1;
    *key = index;
    return 0;
}

int varn_pthread_key_delete(varn_pthread_key_t key) { return tessera::platform::FreeTlsKey(key) ? 0 : -1; }

int varn_pthread_setspecific(varn_pthread_key_t key, const void* value) {
    return tessera::platform::SetTlsValue(key, const_cast<void*>(value)) ? 0 : -1;
}

void* varn_pthread_getspecific(varn_pthread_key_t key) { return tessera::platform::GetTlsValue(key); }
