// One-time initialisation: an interlocked counter elects the caller that runs the
// routine; the others poll the done flag with growing sleeps.
#include <tessera/varn_pthread.h>

#include "platform/threads.h"

namespace {

constexpr std::uint32_t kSleepStepMs = 5;
constexpr std::uint32_t kLongestSleepMs = 50;

}  // namespace

namespace platform = tessera::platform;

int varn_pthread_once(varn_pthread_once_t* control, void (*routine)(void)) {
    if (control == nullptr || routine == nullptr) return VARN_EINVAL;
    if (platform::LoadAcquire(&control->done) != 0) return 0;
    if (platform::AtomicIncrement(&control->counter) == 0) {
        routine();
        platform::StoreRelease(&control->done, 1);
        return 0;
    }
    for (std::uint32_t sleepMs = 0;; sleepMs += sleepMs < kLongestSleepMs ? kSleepStepMs : 0) {
        if (platform::LoadAcquire(&control->done) != 0) return 0;
        platform::SleepFor(sleepMs);
    }
}
