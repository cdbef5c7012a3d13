// The time-out of a timed condition wait, worked out in wrapping 64-bit arithmetic.
#include "threads/deadline.h"

namespace tessera::threads {

std::uint32_t DeadlineToTimeoutMs(const varn_timespec& deadline, std::uint64_t now) noexcept {
    constexpr std::uint64_t kTicksPerSecond = 10000000;
    constexpr std::uint64_t kNanosecondsPerTick = 100;
    constexpr std::uint64_t kNanosecondsFrom1601To1970 = 11644473600000000000ULL;
    constexpr std::uint64_t kHalfMillisecond = 500000;
    constexpr std::int64_t kNanosecondsPerMillisecond = 1000000;
    // The intermediate values overflow 64 bits; unsigned arithmetic wraps them, and the
    // true difference, which is small, comes out right.
    const std::uint64_t seconds = static_cast<std::uint64_t>(std::int64_t{deadline.tv_sec});
    const std::uint64_t nanoseconds = static_cast<std::uint64_t>(std::int64_t{deadline.tv_nsec});
    const std::uint64_t remaining =
        (seconds * kTicksPerSecond - now) * kNanosecondsPerTick + nanoseconds + kNanosecondsFrom1601To1970;
    const auto rounded = static_cast<std::int64_t>(remaining + kHalfMillisecond);
    const std::int64_t milliseconds = rounded / kNanosecondsPerMillisecond;
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(milliseconds));
    return low < 0 ? 0 : static_cast<std::uint32_t>(low);
}

}  // namespace tessera::threads
