// Wait semaphores over Win32 semaphores, and the system time as a FILETIME.
#include <windows.h>

#include "platform/threads.h"

namespace tessera::platform {

namespace {

HANDLE Native(Semaphore* semaphore) { return reinterpret_cast<HANDLE>(semaphore); }

}  // namespace

Semaphore* NewSemaphore() noexcept { return reinterpret_cast<Semaphore*>(::CreateSemaphoreW(nullptr, 0, 1, nullptr)); }

bool SignalSemaphore(Semaphore* semaphore) noexcept { return ::ReleaseSemaphore(Native(semaphore), 1, nullptr) != 0; }

WaitResult WaitForSemaphore(Semaphore* semaphore, std::uint32_t timeoutMilliseconds) noexcept {
    switch (::WaitForSingleObject(Native(semaphore), timeoutMilliseconds)) {
        case WAIT_OBJECT_0:
            return WaitResult::kSignalled;
        case WAIT_TIMEOUT:
            return WaitResult::kTimedOut;
        default:
            return WaitResult::kFailed;
    }
}

bool CloseSemaphore(Semaphore* semaphore) noexcept { return ::CloseHandle(Native(semaphore)) != 0; }

std::uint64_t SystemTimeTicks() noexcept {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}

}  // namespace tessera::platform
