// One-time initialisation: an interlocked counter elects the caller that runs the
// routine; the others poll the done flag with growing sleeps.
#include <tessera/varn_pthread.h>

#include "platform/threads.h"

namespace {

constexpr std::uint32_t kSleepStepMs = 5;
constexpr std::uint32_t kLongestSleepMs = 50;

}  // namespace

int varn_pthread_once(varn_pthread_once_t* control, void (*routine)(void)) {
    using namespace tessera::platform;
    if (control == nullptr || routine == nullptr) return VARN_EINVAL;
    if (LoadAcquire(&control->done) != 0) return 0;
    if (AtomicIncrement(&control->counter) == 0) {
        routine();
        StoreRelease(&control->done, 1);
        return 0;
    }
    for (std::uint32_t sleep_ms = 0;; sleep_ms += sleep_ms < kLongestSleepMs ? kSleepStepMs : 0) {
        if (LoadAcquire(&control->done) != 0) return 0;
        SleepFor(sleep_ms);
    }
}
