// The per-thread wait semaphore on which condition waits block.
#include <tessera/varn_pthread.h>

#include <atomic>

#include "threads/per_thread.h"

namespace tessera::threads {

namespace {

varn_pthread_once_t g_waitSemaphoreKeyOnce = VARN_PTHREAD_ONCE_INIT;
std::uint32_t g_waitSemaphoreKey = 0;
std::atomic<unsigned char> g_waitSemaphoreKeyReady{0};

extern "C" void AllocateWaitSemaphoreKey(void) {
    g_waitSemaphoreKey = platform::NewTlsKey();
    g_waitSemaphoreKeyReady.store(1, std::memory_order_release);
}

}  // namespace

platform::Semaphore* WaitSemaphore() noexcept {
    varn_pthread_once(&g_waitSemaphoreKeyOnce, AllocateWaitSemaphoreKey);
    auto* semaphore = static_cast<platform::Semaphore*>(platform::GetTlsValue(g_waitSemaphoreKey));
    if (semaphore == nullptr) {
        semaphore = platform::NewSemaphore();
        if (semaphore == nullptr) return nullptr;
        platform::SetTlsValue(g_waitSemaphoreKey, semaphore);
    }
    platform::WaitForSemaphore(semaphore, 0);
    return semaphore;
}

platform::Semaphore* PeekWaitSemaphore() noexcept {
    if (g_waitSemaphoreKeyReady.load(std::memory_order_acquire) == 0) return nullptr;
    return static_cast<platform::Semaphore*>(platform::GetTlsValue(g_waitSemaphoreKey));
}

void CloseWaitSemaphore() noexcept {
    if (platform::Semaphore* semaphore = PeekWaitSemaphore()) platform::CloseSemaphore(semaphore);
}

}  // namespace tessera::threads
