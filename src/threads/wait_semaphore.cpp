// The per-thread wait semaphore on which condition waits block.
#include <tessera/varn_pthread.h>

#include <atomic>

#include "threads/per_thread.h"

namespace tessera::threads {

namespace {

varn_pthread_once_t wait_semaphore_key_once = VARN_PTHREAD_ONCE_INIT;
std::uint32_t wait_semaphore_key = 0;
std::atomic<unsigned char> wait_semaphore_key_ready{0};

extern "C" void AllocateWaitSemaphoreKey(void) {
    wait_semaphore_key = platform::NewTlsKey();
    wait_semaphore_key_ready.store(1, std::memory_order_release);
}

}  // namespace

platform::Semaphore* WaitSemaphore() noexcept {
    varn_pthread_once(&wait_semaphore_key_once, AllocateWaitSemaphoreKey);
    auto* semaphore = static_cast<platform::Semaphore*>(platform::GetTlsValue(wait_semaphore_key));
    if (semaphore == nullptr) {
        semaphore = platform::NewSemaphore();
        if (semaphore == nullptr) return nullptr;
        platform::SetTlsValue(wait_semaphore_key, semaphore);
    }
    platform::WaitForSemaphore(semaphore, 0);
    return semaphore;
}

platform::Semaphore* PeekWaitSemaphore() noexcept {
    if (wait_semaphore_key_ready.load(std::memory_order_acquire) == 0) return nullptr;
    return static_cast<platform::Semaphore*>(platform::GetTlsValue(wait_semaphore_key));
}

void CloseWaitSemaphore() noexcept {
    if (platform::Semaphore* semaphore = PeekWaitSemaphore()) platform::CloseSemaphore(semaphore);
}

}  // namespace tessera::threads
