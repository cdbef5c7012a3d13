// Per-thread pointer slots over POSIX thread-specific data.
#include <pthread.h>

#include "platform/threads.h"

namespace tessera::platform {

std::uint32_t NewTlsKey() noexcept {
    pthread_key_t key;
    if (pthread_key_create(&key, nullptr) != 0) return kNoTlsKey;
    if (static_cast<unsigned long>(key) >= kNoTlsKey) {  // cannot be told apart from failure
        pthread_key_delete(key);
        return kNoTlsKey;
    }
    return static_cast<std::uint32_t>(key);
}

bool FreeTlsKey(std::uint32_t key) noexcept { return pthread_key_delete(static_cast<pthread_key_t>(key)) == 0; }

void* GetTlsValue(std::uint32_t key) noexcept { return pthread_getspecific(static_cast<pthread_key_t>(key)); }

bool SetTlsValue(std::uint32_t key, void* value) noexcept {
    return pthread_setspecific(static_cast<pthread_key_t>(key), value) == 0;
}

}  // namespace tessera::platform
